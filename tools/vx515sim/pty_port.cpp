#include "vx515sim/pty_port.h"

#include "platform/posix/terminal_speeds.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace vx::sim {

namespace {

bool addFlags(int fd, int getCommand, int setCommand, int flags) {
    const int old = ::fcntl(fd, getCommand);
    return old >= 0 && ::fcntl(fd, setCommand, old | flags) == 0;
}

std::string describe(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

} // namespace

bool PtyPort::plug(std::string& error) {
    if (plugged())
        return true;
    termios settings{};
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD | CSTOPB;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, &settings, nullptr) != 0) {
        error = describe("openpty");
        return false;
    }
    char name[PATH_MAX] = {};
    if (!addFlags(master, F_GETFD, F_SETFD, FD_CLOEXEC) ||
        !addFlags(slave, F_GETFD, F_SETFD, FD_CLOEXEC) ||
        !addFlags(master, F_GETFL, F_SETFL, O_NONBLOCK) ||
        ::ttyname_r(slave, name, sizeof name) != 0) {
        error = describe("pseudo-terminal set-up");
        ::close(master);
        ::close(slave);
        return false;
    }
    // A link made beside the final name and renamed over it: a program never finds the name
    // missing or half made.
    const std::string temporary = m_linkPath + ".new" + std::to_string(::getpid());
    ::unlink(temporary.c_str());
    if (::symlink(name, temporary.c_str()) != 0 ||
        ::rename(temporary.c_str(), m_linkPath.c_str()) != 0) {
        error = describe(("link " + m_linkPath).c_str());
        ::unlink(temporary.c_str());
        ::close(master);
        ::close(slave);
        return false;
    }
    m_master = master;
    m_slave = slave;
    m_slaveName = name;
    return true;
}

void PtyPort::pull() {
    if (!plugged())
        return;
    ::close(m_master);
    ::close(m_slave);
    m_master = -1;
    m_slave = -1;
    // Leave a link alone that someone else has pointed elsewhere meanwhile.
    char target[PATH_MAX] = {};
    const ssize_t length = ::readlink(m_linkPath.c_str(), target, sizeof target - 1);
    if (length > 0 && m_slaveName == std::string(target, static_cast<std::size_t>(length)))
        ::unlink(m_linkPath.c_str());
    m_slaveName.clear();
}

int PtyPort::baud() const {
    termios settings{};
    // On Linux the master reports the slave's settings, which are the program's.
    if (!plugged() || ::tcgetattr(m_master, &settings) != 0)
        return 9600;
    return vx::baudOf(::cfgetospeed(&settings)).value_or(9600);
}

} // namespace vx::sim
