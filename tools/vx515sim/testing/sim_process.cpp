#include "vx515sim/testing/sim_process.h"

#include "platform/posix/terminal_speeds.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace vx::sim::testing {

std::optional<std::string> LineReader::readLine(milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (m_buffer.find('\n') == std::string::npos) {
        const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
        pollfd fd{m_fd, POLLIN, 0};
        char buffer[256];
        const int ready = ::poll(&fd, 1, left < 0 ? 0 : static_cast<int>(left));
        if (ready == 0)
            return std::nullopt;
        const ssize_t n = ready > 0 ? ::read(m_fd, buffer, sizeof buffer) : -1;
        if (n > 0)
            m_buffer.append(buffer, static_cast<std::size_t>(n));
        else if (errno != EINTR || n == 0)
            return std::nullopt;
    }
    const std::size_t end = m_buffer.find('\n') + 1;
    std::string line = m_buffer.substr(0, end);
    m_buffer.erase(0, end);
    return line;
}

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& args) {
    std::signal(SIGPIPE, SIG_IGN); // a command to a child that has died fails, not the test
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        return;
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    argv.reserve(all.size() + 1);
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const pid_t parent = ::getpid();
    m_pid = ::fork();
    if (m_pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() == parent && ::dup2(in[0], STDIN_FILENO) >= 0 &&
            ::dup2(out[1], STDOUT_FILENO) >= 0)
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    m_stdin = in[1];
    m_stdout = out[0];
    m_output = LineReader(m_stdout);
}

SimProcess::~SimProcess() {
    closeStdin();
    ::close(m_stdout);
    if (m_pid > 0 && ::kill(m_pid, SIGKILL) == 0)
        while (::waitpid(m_pid, nullptr, 0) < 0 && errno == EINTR) {
        }
}

std::optional<std::string> SimProcess::waitReady(milliseconds timeout) {
    const std::string marker = "READY ";
    const Clock::time_point deadline = Clock::now() + timeout;
    while (const std::optional<std::string> line =
               m_output.readLine(std::chrono::ceil<milliseconds>(deadline - Clock::now())))
        if (line->rfind(marker, 0) == 0)
            return line->substr(marker.size(), line->size() - marker.size() - 1);
    return std::nullopt;
}

bool SimProcess::command(const std::string& line) {
    const std::string text = line + "\n";
    return m_stdin >= 0 &&
           ::write(m_stdin, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::optional<int> SimProcess::waitExit(milliseconds timeout) {
    int status = 0;
    if (m_pid <= 0 ||
        !waitUntil([&] { return ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeout))
        return std::nullopt;
    m_pid = -1;
    return status;
}

int openRawPort(const std::string& path, int baud) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 || setPortSpeed(fd, baud))
        return fd < 0 ? -errno : fd;
    const int error = errno;
    ::close(fd);
    return -error;
}

bool setPortSpeed(int fd, int baud) {
    termios settings{};
    const std::optional<speed_t> speed = speedCode(baud);
    if (!speed) {
        errno = EINVAL;
        return false;
    }
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings); // and one byte at a time, without waiting
    settings.c_cflag |= CLOCAL | CREAD | CSTOPB;
    return ::cfsetspeed(&settings, *speed) == 0 && ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

bool waitUntil(const std::function<bool()>& condition, milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (; !condition(); std::this_thread::sleep_for(milliseconds(2)))
        if (Clock::now() >= deadline)
            return false;
    return true;
}

} // namespace vx::sim::testing
