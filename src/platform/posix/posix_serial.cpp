#include "posix_serial.h"

#include "platform/log_categories.h"
#include "platform/runtime_error.h"
#include "terminal_device.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vx {

using namespace terminal;

namespace {

// How long output waits for a full driver queue to take bytes before it gives up.
constexpr int kWriteTimeoutMs = 200;
// Line error counters and modem lines have no descriptor event; they are read on this tick.
constexpr int kLineTickMs = 100;
// Bytes read in one pass; a pass ends at the first read that does not fill the chunk.
constexpr size_t kReadChunk = 4096;
constexpr int kMaxReadsPerPull = 64;

} // namespace

PosixSerial::PosixSerial(const SerialDevices& devices, QObject* parent)
    : QObject(parent)
    , m_devices(devices) {
    m_lineTimer.setInterval(kLineTickMs);
    connect(&m_lineTimer, &QTimer::timeout, this, &PosixSerial::onLineTimer);
}

PosixSerial::~PosixSerial() {
    closePort();
}

void PosixSerial::setCommPort(int16_t portNumber) {
    if (m_fd >= 0)
        throw RuntimeError(err::PortAlreadyOpen, QCoreApplication::translate(
                                                     "PosixSerial", "%1：COM%2，請先關閉再換傳輸埠")
                                                     .arg(standardDescription(err::PortAlreadyOpen))
                                                     .arg(m_commPort));
    if (portNumber < 1 || portNumber > 255)
        throw RuntimeError(err::InvalidPortNumber,
                           QCoreApplication::translate("PosixSerial", "%1：%2（應為 1 到 255）")
                               .arg(standardDescription(err::InvalidPortNumber))
                               .arg(portNumber));
    m_commPort = portNumber;
}

int16_t PosixSerial::commPort() const {
    return m_commPort;
}

void PosixSerial::applyLine(const LineSettings& line) {
    const speed_t speed = lineSpeed(line);
    if (m_fd >= 0) {
        requireLive();
        if (const int e = setTerminalLine(m_fd, line.stopBits, speed); e != 0) {
            if (isGoneErrno(e)) {
                markGone();
                requireLive();
            }
            throw RuntimeError(
                err::CommStateFailed,
                QCoreApplication::translate("PosixSerial", "%1：%2 無法設為「%3」(%4)")
                    .arg(standardDescription(err::CommStateFailed), m_openPath, line.toString(),
                         reason(e)));
        }
    }
}

void PosixSerial::setPortOpen(bool open) {
    if (open)
        openPort();
    else
        closePort();
}

bool PosixSerial::portOpen() const {
    return m_fd >= 0;
}

void PosixSerial::openPort() {
    if (m_fd >= 0)
        throw RuntimeError(err::PortAlreadyOpen,
                           QCoreApplication::translate("PosixSerial", "%1：COM%2")
                               .arg(standardDescription(err::PortAlreadyOpen))
                               .arg(m_commPort));
    const int port = m_commPort;
    const QString path = m_devices.pathOf(port);
    const QByteArray native = QFile::encodeName(path);
    const LineSettings& line = this->line();
    const speed_t speed = lineSpeed(line);

    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (errno == EACCES)
            throw accessDenied(port, path);
        throw noSuchPort(port, path, QCoreApplication::translate("PosixSerial", "不存在"));
    }
    if (!S_ISCHR(st.st_mode))
        throw noSuchPort(port, path, QCoreApplication::translate("PosixSerial", "不是終端裝置"));

    int fd = -1;
    do {
        fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw openFailure(errno, port, path);
    DescriptorGuard guard(fd);
    if (::isatty(fd) == 0)
        throw noSuchPort(port, path, QCoreApplication::translate("PosixSerial", "不是終端裝置"));
    // The lock first: TIOCEXCL is a flag on the device that another holder shares, so it is only
    // ours to set (and to clear on close) once the lock says nobody else has the port. The lock
    // also holds against root, which TIOCEXCL does not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            throw portInUse(port, path);
        // A device that takes no lock: TIOCEXCL still keeps other programs out.
        qCInfo(vxSerial).noquote() << "no lock on" << path << reason(errno);
    }
    ::ioctl(fd, TIOCEXCL);
    if (const int e = setTerminalLine(fd, line.stopBits, speed); e != 0) {
        ::ioctl(fd, TIOCNXCL);
        if (isGoneErrno(e))
            throw noSuchPort(port, path, reason(e));
        throw RuntimeError(
            err::CommStateFailed,
            QCoreApplication::translate("PosixSerial", "%1：%2 無法設為「%3」(%4)")
                .arg(standardDescription(err::CommStateFailed), path, line.toString(), reason(e)));
    }
    // Whatever the device sent before we were listening belongs to no request of ours.
    ::tcflush(fd, TCIFLUSH);

    m_fd = guard.release();
    m_openPath = path;
    m_gone = false;
    m_readFault = 0;
    clearInput();
    m_parser.reset();
    m_events.clear();
    noteOpened();

    // First readings are the baseline that later ones are compared with.
    m_askCounters = true;
    readLineCounters(false);
    m_askModemLines = true;
    readModemLines(false);
    if (!m_gone && (m_askCounters || m_askModemLines))
        m_lineTimer.start();
}

void PosixSerial::closePort() {
    if (m_fd < 0)
        return;
    m_lineTimer.stop();
    if (!m_gone) {
        letOutputDrain(m_fd);
        ::tcflush(m_fd, TCIOFLUSH);
        ::ioctl(m_fd, TIOCNXCL);
    }
    ::close(m_fd);
    m_fd = -1;
    m_openPath.clear();
    m_gone = false;
    m_readFault = 0;
    clearInput();
    m_parser.reset();
    m_events.clear();
}

void PosixSerial::requireOpen() const {
    if (m_fd < 0)
        throw RuntimeError(err::PortNotOpen, QCoreApplication::translate("PosixSerial", "%1：COM%2")
                                                 .arg(standardDescription(err::PortNotOpen))
                                                 .arg(m_commPort));
}

void PosixSerial::requireLive() {
    if (m_gone)
        throw RuntimeError(err::DeviceGone,
                           QCoreApplication::translate("PosixSerial", "%1：COM%2 (%3)")
                               .arg(standardDescription(err::DeviceGone))
                               .arg(m_commPort)
                               .arg(m_openPath));
    if (m_readFault != 0) {
        const int e = std::exchange(m_readFault, 0);
        throw RuntimeError(
            err::CommReadFailed,
            QCoreApplication::translate("PosixSerial", "%1：%2 (%3)")
                .arg(standardDescription(err::CommReadFailed), m_openPath, reason(e)));
    }
}

void PosixSerial::output(const QByteArray& bytes) {
    requireOpen();
    requireLive();
    const QDeadlineTimer deadline(kWriteTimeoutMs);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
            continue;
        }
        const int e = n < 0 ? errno : EAGAIN;
        if (e == EINTR)
            continue;
        if (isGoneErrno(e)) {
            markGone();
            requireLive();
        }
        if (e != EAGAIN && e != EWOULDBLOCK)
            throw RuntimeError(
                err::CommWriteFailed,
                QCoreApplication::translate("PosixSerial", "%1：%2 (%3)")
                    .arg(standardDescription(err::CommWriteFailed), m_openPath, reason(e)));
        pollfd p{m_fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            markGone();
            requireLive();
        }
        if (ready == 0 || deadline.hasExpired())
            throw RuntimeError(
                err::CommWriteFailed,
                QCoreApplication::translate("PosixSerial", "%1：%2 沒有在 %3 毫秒內收下資料")
                    .arg(standardDescription(err::CommWriteFailed), m_openPath)
                    .arg(kWriteTimeoutMs));
    }
}

void PosixSerial::pullInput() {
    if (m_fd < 0 || m_gone || m_readFault != 0)
        return;
    char chunk[kReadChunk];
    for (int pass = 0; pass < kMaxReadsPerPull; ++pass) {
        const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
        if (n > 0) {
            takeBytes(QByteArrayView(chunk, n));
            if (static_cast<size_t>(n) < sizeof chunk)
                return; // the driver had no more; what comes next waits for the next call
            continue;
        }
        if (n == 0) { // VMIN=1 on a non-blocking descriptor: an empty read is a hang-up
            markGone();
            return;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        if (isGoneErrno(errno))
            markGone();
        else
            m_readFault = errno;
        return;
    }
}

void PosixSerial::takeBytes(QByteArrayView raw) {
    const LineErrorParser::Result parsed = m_parser.feed(raw);
    if (parsed.breaks > 0 || parsed.badBytes > 0) {
        // Where the driver counts line errors, its counters tell framing from parity; the marks
        // in the stream cannot.
        if (m_askCounters)
            readLineCounters(true);
        if (!m_askCounters) {
            if (parsed.breaks > 0)
                queueEvent(comm::ErBreak);
            if (parsed.badBytes > 0)
                queueEvent(comm::ErRxParity);
        }
    }
    if (keepBytes(parsed.bytes))
        queueEvent(comm::ErRxOver);
}

void PosixSerial::markGone() {
    m_gone = true;
    m_lineTimer.stop();
}

void PosixSerial::setParityReplace(const QString& replacement) {
    m_parser.setReplacement(
        replacement.isEmpty() ? std::nullopt : std::optional<char>(replacement.at(0).toLatin1()));
}

} // namespace vx
