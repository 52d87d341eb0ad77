#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace vx::sim::testing {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Lines from a port or pipe, each with its line feed; nothing at the deadline, the end of the
// input or a failed read.
class LineReader {
public:
    explicit LineReader(int fd)
        : m_fd(fd) {}
    std::optional<std::string> readLine(milliseconds timeout);

private:
    int m_fd;
    std::string m_buffer;
};

// The simulator as a child process with pipes on its standard input and output. It dies with its
// parent, and the destructor kills and reaps it, so a failing test leaves nothing behind.
class SimProcess {
public:
    SimProcess(const std::string& program, const std::vector<std::string>& args);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // The link path of its "READY <linkpath>" line, or nothing by the deadline.
    std::optional<std::string> waitReady(milliseconds timeout);
    // One command line on its standard input.
    bool command(const std::string& line);
    void closeStdin() { ::close(std::exchange(m_stdin, -1)); }
    bool signal(int signal) { return m_pid > 0 && ::kill(m_pid, signal) == 0; }
    // Its wait status once it has ended, or nothing by the deadline.
    std::optional<int> waitExit(milliseconds timeout);

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    int m_stdout = -1;
    LineReader m_output{-1};
};

// Opens a port raw, 8 data bits, 2 stop bits, no parity, at the speed: the descriptor, or -errno.
int openRawPort(const std::string& path, int baud);
bool setPortSpeed(int fd, int baud);

// Checks the condition every 2 ms until it holds or the deadline passes; its last result.
bool waitUntil(const std::function<bool()>& condition, milliseconds timeout);

} // namespace vx::sim::testing
