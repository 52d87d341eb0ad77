#include "terminal_device.h"

#include "terminal_speeds.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/ioctl.h>

namespace vx::terminal {

namespace {
// How long closing lets bytes already written leave before it discards them.
constexpr int CloseDrainMs = 50;
} // namespace

bool isGoneErrno(int errnum) {
    return errnum == EIO || errnum == ENXIO || errnum == ENODEV;
}

QString reason(int errnum) {
    return QString::fromLocal8Bit(std::strerror(errnum));
}

speed_t lineSpeed(const LineSettings& line) {
    const QString text = line.toString();
    if (line.parity != 'N' || line.dataBits != 8)
        throw RuntimeError(
            err::InvalidSettings,
            QCoreApplication::translate(
                "PosixSerial",
                "傳輸設定「%1」無法使用：只支援無同位檢查 (N)、8 個資料位元、1 或 2 個停止位元")
                .arg(text));
    if (const std::optional<speed_t> code = speedCode(line.baud))
        return *code;
    throw RuntimeError(
        err::InvalidSettings,
        QCoreApplication::translate("PosixSerial", "傳輸設定「%1」無法使用：不支援速率 %2")
            .arg(text)
            .arg(line.baud));
}

int setTerminalLine(int fd, int stopBits, speed_t speed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return errno;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    tio.c_cflag |= CLOCAL | CREAD | CS8;
    if (stopBits == 2)
        tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IGNBRK | BRKINT | IGNPAR | ISTRIP | IXON | IXOFF | IXANY);
    tio.c_iflag |= INPCK | PARMRK;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    int rc = 0;
    do {
        rc = ::tcsetattr(fd, TCSANOW, &tio);
    } while (rc != 0 && errno == EINTR);
    return rc == 0 ? 0 : errno;
}

RuntimeError noSuchPort(int port, const QString& path, const QString& detail) {
    return {err::InvalidPortNumber, QCoreApplication::translate("PosixSerial", "%1：COM%2 (%3) %4")
                                        .arg(standardDescription(err::InvalidPortNumber))
                                        .arg(port)
                                        .arg(path, detail)};
}

RuntimeError portInUse(int port, const QString& path) {
    return {
        err::PortInUse,
        QCoreApplication::translate(
            "PosixSerial", "傳輸埠 COM%1 正被其他程式使用：%2 已被鎖定，請先關閉使用這個裝置的程式")
            .arg(port)
            .arg(path)};
}

RuntimeError accessDenied(int port, const QString& path) {
    return {err::PortAccessDenied,
            QCoreApplication::translate(
                "PosixSerial", "沒有開啟傳輸埠 COM%1 (%2) 的權限：請把使用者加入 dialout 群組"
                               "（sudo usermod -aG dialout $USER），然後登出再登入")
                .arg(port)
                .arg(path)};
}

RuntimeError openFailure(int errnum, int port, const QString& path) {
    switch (errnum) {
    case EBUSY:
        return portInUse(port, path);
    case EACCES:
    case EPERM:
    case EROFS:
        return accessDenied(port, path);
    default:
        return noSuchPort(port, path, reason(errnum));
    }
}

void letOutputDrain(int fd) {
    const QDeadlineTimer deadline(CloseDrainMs);
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired()) {
        const timespec pause{0, 1'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

} // namespace vx::terminal
