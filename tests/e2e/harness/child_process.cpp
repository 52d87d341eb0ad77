#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace vx::e2e {

namespace {

// Everything the child needs, built before the fork: after it only async-signal-safe calls run.
struct ExecImage {
    std::string program;
    std::vector<std::string> argStrings;
    std::vector<std::string> envStrings;
    std::vector<char*> argv;
    std::vector<char*> envp;
};

ExecImage prepare(const std::vector<std::string>& args, const Environment& env) {
    if (args.empty())
        throw std::runtime_error("no program to start");
    const std::optional<std::string> program = findProgram(args[0]);
    if (!program)
        throw std::runtime_error(args[0] + " not found on PATH");
    ExecImage image;
    image.program = *program;
    image.argStrings = args;
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::size_t eq = text.find('=');
        if (eq != std::string::npos)
            merged[text.substr(0, eq)] = text.substr(eq + 1);
    }
    for (const auto& [name, value] : env) {
        if (value)
            merged[name] = *value;
        else
            merged.erase(name);
    }
    for (const auto& [name, value] : merged)
        image.envStrings.push_back(name + "=" + value);
    for (std::string& arg : image.argStrings)
        image.argv.push_back(arg.data());
    image.argv.push_back(nullptr);
    for (std::string& entry : image.envStrings)
        image.envp.push_back(entry.data());
    image.envp.push_back(nullptr);
    return image;
}

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
    return left < 0 ? 0 : static_cast<int>(left);
}

// In the child, between fork and exec.
[[noreturn]] void becomeChild(const ExecImage& image, pid_t parent, int in, int out, int err,
                              int fd3, const char* workDir) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent)
        ::_exit(127);
    // Its own process group: a signal for the test's group does not reach it twice.
    ::setpgid(0, 0);
    ::dup2(in, STDIN_FILENO);
    ::dup2(out, STDOUT_FILENO);
    ::dup2(err, STDERR_FILENO);
    if (fd3 >= 0)
        ::dup2(fd3, 3);
    if (workDir != nullptr && ::chdir(workDir) != 0)
        ::_exit(127);
    ::execve(image.program.c_str(), image.argv.data(), image.envp.data());
    ::_exit(127);
}

void closeIfOpen(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

} // namespace

std::optional<std::string> findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos)
        return ::access(name.c_str(), X_OK) == 0 ? std::optional(name) : std::nullopt;
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        if (dir.empty())
            dir = ".";
        const std::string candidate = dir + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (end == std::string::npos)
            return std::nullopt;
        start = end + 1;
    }
}

ChildProcess::ChildProcess(const Launch& launch) {
    // A write to a pipe of a child that has died must fail, not end the test.
    std::signal(SIGPIPE, SIG_IGN);
    const ExecImage image = prepare(launch.args, launch.env);

    int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int out = -1;
    int readEnd = -1;
    if (launch.pipeStdout) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
        readEnd = fds[0];
        out = fds[1];
    } else {
        const std::string target = launch.outputFile.empty() ? "/dev/null" : launch.outputFile;
        out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    int err = launch.outputFile.empty() ? ::open("/dev/null", O_WRONLY | O_CLOEXEC)
                                        : ::open(launch.outputFile.c_str(),
                                                 O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (in < 0 || out < 0 || err < 0) {
        const std::string why = std::strerror(errno);
        closeIfOpen(in);
        closeIfOpen(out);
        closeIfOpen(err);
        closeIfOpen(readEnd);
        throw std::runtime_error("cannot prepare the descriptors of " + image.program + ": " + why);
    }

    const char* workDir = launch.workDir.empty() ? nullptr : launch.workDir.c_str();
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        becomeChild(image, parent, in, out, err, launch.descriptor3, workDir);
    closeIfOpen(in);
    closeIfOpen(out);
    closeIfOpen(err);
    if (pid < 0) {
        closeIfOpen(readEnd);
        throw std::runtime_error("fork: " + std::string(std::strerror(errno)));
    }
    m_pid = pid;
    m_stdout = readEnd;
}

ChildProcess::~ChildProcess() {
    kill();
    closeIfOpen(m_stdout);
}

bool ChildProcess::reap(bool block) {
    if (m_pid <= 0 || m_status)
        return true;
    int status = 0;
    for (;;) {
        const pid_t result = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
        if (result == m_pid) {
            m_status = status;
            return true;
        }
        if (result < 0 && errno == EINTR)
            continue;
        if (result < 0) {
            m_status = -1; // not ours to wait for any more
            return true;
        }
        return false;
    }
}

bool ChildProcess::running() {
    return !reap(false);
}

std::optional<int> ChildProcess::waitExit(milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (!reap(false)) {
        if (Clock::now() >= deadline)
            return std::nullopt;
        std::this_thread::sleep_for(milliseconds(5));
    }
    return m_status;
}

void ChildProcess::kill() {
    if (m_pid <= 0 || m_status)
        return;
    ::kill(m_pid, SIGKILL);
    reap(true);
}

bool CommandResult::ok() const {
    return !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

CommandResult runCommand(const std::vector<std::string>& args, const Environment& env,
                         milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    const ExecImage image = prepare(args, env);
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    }
    int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0)
        becomeChild(image, parent, in, outPipe[1], errPipe[1], -1, nullptr);
    closeIfOpen(in);
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    if (pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        throw std::runtime_error("fork: " + std::string(std::strerror(errno)));
    }

    CommandResult result;
    int fds[2] = {outPipe[0], errPipe[0]};
    std::string* sinks[2] = {&result.out, &result.err};
    while (fds[0] >= 0 || fds[1] >= 0) {
        pollfd polled[2];
        nfds_t count = 0;
        int which[2];
        for (int i = 0; i < 2; ++i)
            if (fds[i] >= 0) {
                which[count] = i;
                polled[count++] = {fds[i], POLLIN, 0};
            }
        const int ready = ::poll(polled, count, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            result.timedOut = true;
            break;
        }
        for (nfds_t k = 0; k < count; ++k) {
            if (polled[k].revents == 0)
                continue;
            const int i = which[k];
            char buffer[4096];
            const ssize_t n = ::read(fds[i], buffer, sizeof buffer);
            if (n > 0)
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            else if (n == 0 || errno != EINTR)
                closeIfOpen(fds[i]);
        }
    }
    closeIfOpen(fds[0]);
    closeIfOpen(fds[1]);

    // Both outputs closed: the command is ending. At the deadline it is ended.
    int status = 0;
    for (;;) {
        if (result.timedOut)
            ::kill(pid, SIGKILL);
        const pid_t done = ::waitpid(pid, &status, result.timedOut ? 0 : WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR))
            break;
        if (done == 0) {
            if (Clock::now() >= deadline)
                result.timedOut = true;
            else
                std::this_thread::sleep_for(milliseconds(1));
        }
    }
    result.status = status;
    return result;
}

std::string describeStatus(int status) {
    if (WIFEXITED(status))
        return "exit " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

} // namespace vx::e2e
