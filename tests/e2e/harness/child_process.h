#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vx::e2e {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Variables to set (a value) or to remove (no value) in a child's environment; the rest is
// inherited.
using Environment = std::map<std::string, std::optional<std::string>>;

struct Launch {
    std::vector<std::string> args; // args[0]: a path, or a name looked up on PATH
    Environment env;
    std::string workDir;     // empty: the test's own
    std::string outputFile;  // standard output and error appended here; empty: discarded
    bool pipeStdout = false; // standard output to a pipe instead (see ChildProcess::stdoutFd)
    int descriptor3 = -1;    // handed to the child as its descriptor 3
};

// The program's full path: as given when it holds a slash, else the first match on PATH.
std::optional<std::string> findProgram(const std::string& name);

// A started program. It dies with the test process, and the destructor kills and reaps it if it
// still runs, so no test leaves one behind, whether it passes, fails or throws.
class ChildProcess {
public:
    // Throws std::runtime_error when the program cannot be found or started.
    explicit ChildProcess(const Launch& launch);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return m_pid; }
    int stdoutFd() const { return m_stdout; }

    // Whether it still runs; an ended child is reaped here.
    bool running();
    // Its wait status once it has ended, or nothing by the deadline.
    std::optional<int> waitExit(milliseconds timeout);
    // Kills and reaps it now, if it still runs.
    void kill();

private:
    bool reap(bool block);

    pid_t m_pid = -1;
    int m_stdout = -1;
    std::optional<int> m_status;
};

// What a short helper command printed and how it ended.
struct CommandResult {
    bool timedOut = false;
    int status = -1; // wait status
    std::string out;
    std::string err;
    bool ok() const;
};

// Runs a command to its end, or kills it at the deadline.
CommandResult runCommand(const std::vector<std::string>& args, const Environment& env,
                         milliseconds timeout);

// "exit 0", "killed by signal 9", ...: a wait status for messages.
std::string describeStatus(int status);

} // namespace vx::e2e
