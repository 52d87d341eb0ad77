#pragma once

// What the serial component needs of a POSIX terminal device: its line settings, its answers to
// a pulled cable, and the errors that name why a port could not be had.

#include "platform/runtime_error.h"
#include "platform/serial_comm.h"

#include <QString>
#include <termios.h>
#include <utility>

namespace vx::terminal {

// The device answers like this once it has been unplugged or hung up.
bool isGoneErrno(int errnum);
// The operating system's text for an errno.
QString reason(int errnum);

// The termios speed of a line; raises 8014 for a line the terminal cannot be set to.
speed_t lineSpeed(const LineSettings& line);
// Raw bytes in both directions, no flow control; breaks and bytes received in error are marked in
// the input stream so that the reader can tell them from data. Returns 0 or the errno.
int setTerminalLine(int fd, int stopBits, speed_t speed);
// Gives bytes already written a moment to leave, so that closing neither loses the last command
// nor waits on a driver that will not send.
void letOutputDrain(int fd);

// Why port n (at path) could not be opened.
RuntimeError noSuchPort(int port, const QString& path, const QString& detail);
RuntimeError portInUse(int port, const QString& path);
RuntimeError accessDenied(int port, const QString& path);
RuntimeError openFailure(int errnum, int port, const QString& path);

// Closes a descriptor on the way out of a failed open.
class DescriptorGuard {
public:
    explicit DescriptorGuard(int fd)
        : m_fd(fd) {}
    ~DescriptorGuard() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DescriptorGuard(const DescriptorGuard&) = delete;
    DescriptorGuard& operator=(const DescriptorGuard&) = delete;
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace vx::terminal
