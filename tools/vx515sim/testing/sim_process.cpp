#include "vx515sim/testing/sim_process.h"

#include "platform/line_speeds.h"

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

namespace {

int pollTimeout(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

} // namespace

SimProcess::SimProcess(const std::string& program, const std::vector<std::string>& args) {
    // A write to the stdin of a child that has died must fail, not kill the test.
    std::signal(SIGPIPE, SIG_IGN);
    int toChild[2];
    int fromChild[2];
    if (::pipe2(toChild, O_CLOEXEC) != 0)
        return;
    if (::pipe2(fromChild, O_CLOEXEC) != 0) {
        ::close(toChild[0]);
        ::close(toChild[1]);
        return;
    }
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(toChild[0], STDIN_FILENO);
        ::dup2(fromChild[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    if (pid < 0) {
        ::close(toChild[1]);
        ::close(fromChild[0]);
        return;
    }
    m_pid = pid;
    m_stdin = toChild[1];
    m_stdout = fromChild[0];
}

SimProcess::~SimProcess() {
    closeStdin();
    if (m_stdout >= 0)
        ::close(m_stdout);
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

std::optional<std::string> SimProcess::waitReady(milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    const std::string marker = "READY ";
    for (;;) {
        for (std::size_t end; (end = m_output.find('\n')) != std::string::npos;) {
            const std::string line = m_output.substr(0, end);
            m_output.erase(0, end + 1);
            if (line.rfind(marker, 0) == 0)
                return line.substr(marker.size());
        }
        pollfd fd{m_stdout, POLLIN, 0};
        if (m_stdout < 0 || ::poll(&fd, 1, pollTimeout(deadline)) <= 0)
            return std::nullopt;
        char buffer[256];
        const ssize_t n = ::read(m_stdout, buffer, sizeof buffer);
        if (n <= 0)
            return std::nullopt;
        m_output.append(buffer, static_cast<std::size_t>(n));
    }
}

bool SimProcess::command(const std::string& line) {
    if (m_stdin < 0)
        return false;
    const std::string text = line + "\n";
    return ::write(m_stdin, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void SimProcess::closeStdin() {
    if (m_stdin >= 0)
        ::close(m_stdin);
    m_stdin = -1;
}

bool SimProcess::signal(int signal) {
    return m_pid > 0 && ::kill(m_pid, signal) == 0;
}

std::optional<int> SimProcess::waitExit(milliseconds timeout) {
    int status = 0;
    const bool ended = waitUntil(
        [&] { return m_pid <= 0 || ::waitpid(m_pid, &status, WNOHANG) == m_pid; }, timeout);
    if (!ended || m_pid <= 0)
        return std::nullopt;
    m_pid = -1;
    return status;
}

int openRawPort(const std::string& path, int baud) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    if (!setPortSpeed(fd, baud)) {
        const int error = errno;
        ::close(fd);
        return -error;
    }
    return fd;
}

bool setPortSpeed(int fd, int baud) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return false;
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD | CSTOPB;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    const std::optional<speed_t> speed = speedCode(baud);
    if (!speed) {
        errno = EINVAL;
        return false;
    }
    ::cfsetispeed(&settings, *speed);
    ::cfsetospeed(&settings, *speed);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::optional<std::string> LineReader::readLine(milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    m_lastError = 0;
    for (;;) {
        if (const std::size_t end = m_buffer.find('\n'); end != std::string::npos) {
            std::string line = m_buffer.substr(0, end + 1);
            m_buffer.erase(0, end + 1);
            return line;
        }
        pollfd fd{m_fd, POLLIN, 0};
        const int ready = ::poll(&fd, 1, pollTimeout(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[256];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_lastError = n == 0 ? -1 : errno;
            return std::nullopt;
        }
        m_buffer.append(buffer, static_cast<std::size_t>(n));
    }
}

bool waitUntil(const std::function<bool()>& condition, milliseconds timeout,
               milliseconds interval) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (condition())
            return true;
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(interval);
    }
}

} // namespace vx::sim::testing
