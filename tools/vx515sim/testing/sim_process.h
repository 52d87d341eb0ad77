#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vx::sim::testing {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The simulator as a child process with pipes on its standard input and output. The destructor
// kills and reaps it if it still runs, so a failing test leaves nothing behind; the child also dies
// with its parent.
class SimProcess {
public:
    SimProcess(const std::string& program, const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool started() const { return m_pid > 0; }
    pid_t pid() const { return m_pid; }

    // The link path of the "READY <linkpath>" line, or nothing by the deadline.
    std::optional<std::string> waitReady(milliseconds timeout);

    // One command line on the simulator's standard input.
    bool command(const std::string& line);
    void closeStdin();
    bool signal(int signal);

    // The wait status once the child has ended, or nothing by the deadline.
    std::optional<int> waitExit(milliseconds timeout);

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    std::string m_output;
};

// Opens a port raw, 8 data bits, 2 stop bits, no parity, at the speed: the descriptor, or -errno.
int openRawPort(const std::string& path, int baud);
bool setPortSpeed(int fd, int baud);

// Lines from a port or pipe, each with its line feed. On failure lastError() tells why:
// 0 for the deadline, -1 for end of file, or the errno of the read.
class LineReader {
public:
    explicit LineReader(int fd)
        : m_fd(fd) {}
    std::optional<std::string> readLine(milliseconds timeout);
    int lastError() const { return m_lastError; }

private:
    int m_fd;
    std::string m_buffer;
    int m_lastError = 0;
};

// Checks the condition until it holds or the deadline passes; its last result.
// Looks again every `interval`.
bool waitUntil(const std::function<bool()>& condition, milliseconds timeout,
               milliseconds interval = milliseconds(2));

} // namespace vx::sim::testing
