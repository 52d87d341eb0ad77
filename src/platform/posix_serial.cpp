#include "posix_serial.h"

#include "runtime_error.h"
#include "serial_device.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>
#include <utility>

namespace vx {

namespace {

// How long output waits for a full driver queue to take bytes before it gives up.
constexpr int kWriteTimeoutMs = 200;
// How long closing lets bytes already written leave before it discards them.
constexpr int kCloseDrainMs = 50;
// Line error counters and modem lines have no descriptor event; they are read on this tick.
constexpr int kLineTickMs = 100;
// Bytes read in one pass; a pass ends at the first empty read.
constexpr size_t kReadChunk = 4096;
constexpr int kMaxReadsPerPull = 64;

struct Speed {
    int baud;
    speed_t code;
};

constexpr Speed kSpeeds[] = {
    {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

// The device answers like this once it has been unplugged or hung up.
bool isGoneErrno(int errnum) {
    return errnum == EIO || errnum == ENXIO || errnum == ENODEV;
}

QString reason(int errnum) {
    return QString::fromLocal8Bit(std::strerror(errnum));
}

// The termios speed of an accepted settings text; refuses what the line cannot be set to.
speed_t lineSpeed(const LineSettings& line, const QString& text) {
    if (line.parity != 'N' || line.dataBits != 8)
        throw RuntimeError(
            err::InvalidSettings,
            QStringLiteral(
                "傳輸設定「%1」無法使用：只支援無同位檢查 (N)、8 個資料位元、1 或 2 個停止位元")
                .arg(text));
    for (const Speed& s : kSpeeds) {
        if (s.baud == line.baud)
            return s.code;
    }
    throw RuntimeError(
        err::InvalidSettings,
        QStringLiteral("傳輸設定「%1」無法使用：不支援速率 %2").arg(text).arg(line.baud));
}

// Raw bytes in both directions, no flow control; breaks and bytes received in error are marked in
// the input stream so that the reader can tell them from data. Returns 0 or the errno.
int applyLine(int fd, int stopBits, speed_t speed) {
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
    return {err::InvalidPortNumber, QStringLiteral("%1：COM%2 (%3) %4")
                                        .arg(standardDescription(err::InvalidPortNumber))
                                        .arg(port)
                                        .arg(path, detail)};
}

RuntimeError portInUse(int port, const QString& path) {
    return {err::PortInUse,
            QStringLiteral("傳輸埠 COM%1 正被其他程式使用：%2 已被鎖定，請先關閉使用這個裝置的程式")
                .arg(port)
                .arg(path)};
}

RuntimeError accessDenied(int port, const QString& path) {
    return {err::PortAccessDenied,
            QStringLiteral("沒有開啟傳輸埠 COM%1 (%2) 的權限：請把使用者加入 dialout 群組"
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

// Gives bytes already written a moment to leave, so that closing neither loses the last command
// nor waits on a driver that will not send.
void letOutputDrain(int fd) {
    const QDeadlineTimer deadline(kCloseDrainMs);
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired()) {
        const timespec pause{0, 1'000'000};
        ::nanosleep(&pause, nullptr);
    }
}

} // namespace

PosixSerial::PosixSerial(QObject* parent)
    : QObject(parent) {
    m_lineTimer.setInterval(kLineTickMs);
    connect(&m_lineTimer, &QTimer::timeout, this, &PosixSerial::onLineTimer);
}

PosixSerial::~PosixSerial() {
    closePort();
}

void PosixSerial::setCommPort(int16_t portNumber) {
    if (m_fd >= 0)
        throw RuntimeError(err::PortAlreadyOpen, QStringLiteral("%1：COM%2，請先關閉再換傳輸埠")
                                                     .arg(standardDescription(err::PortAlreadyOpen))
                                                     .arg(m_commPort));
    if (portNumber < 1 || portNumber > 255)
        throw RuntimeError(err::InvalidPortNumber,
                           QStringLiteral("%1：%2（應為 1 到 255）")
                               .arg(standardDescription(err::InvalidPortNumber))
                               .arg(portNumber));
    m_commPort = portNumber;
}

int16_t PosixSerial::commPort() const {
    return m_commPort;
}

void PosixSerial::setSettings(const QString& settings) {
    const LineSettings line = LineSettings::parse(settings);
    const speed_t speed = lineSpeed(line, settings);
    if (m_fd >= 0) {
        requireLive();
        if (const int e = applyLine(m_fd, line.stopBits, speed); e != 0) {
            if (isGoneErrno(e)) {
                markGone();
                requireLive();
            }
            throw RuntimeError(err::CommStateFailed,
                               QStringLiteral("%1：%2 無法設為「%3」(%4)")
                                   .arg(standardDescription(err::CommStateFailed), m_openPath,
                                        settings, reason(e)));
        }
    }
    m_settings = settings;
}

QString PosixSerial::settings() const {
    return m_settings;
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
        throw RuntimeError(err::PortAlreadyOpen, QStringLiteral("%1：COM%2")
                                                     .arg(standardDescription(err::PortAlreadyOpen))
                                                     .arg(m_commPort));
    const int port = m_commPort;
    const QString path = serialDevicePath(port);
    const QByteArray native = QFile::encodeName(path);
    const LineSettings line = LineSettings::parse(m_settings);
    const speed_t speed = lineSpeed(line, m_settings);

    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        if (errno == EACCES)
            throw accessDenied(port, path);
        throw noSuchPort(port, path, QStringLiteral("不存在"));
    }
    if (!S_ISCHR(st.st_mode))
        throw noSuchPort(port, path, QStringLiteral("不是終端裝置"));

    int fd = -1;
    do {
        fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throw openFailure(errno, port, path);
    DescriptorGuard guard(fd);
    if (::isatty(fd) == 0)
        throw noSuchPort(port, path, QStringLiteral("不是終端裝置"));
    // The lock first: TIOCEXCL is a flag on the device that another holder shares, so it is only
    // ours to set (and to clear on close) once the lock says nobody else has the port. The lock
    // also holds against root, which TIOCEXCL does not.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        throw portInUse(port, path);
    ::ioctl(fd, TIOCEXCL);
    if (const int e = applyLine(fd, line.stopBits, speed); e != 0) {
        ::ioctl(fd, TIOCNXCL);
        if (isGoneErrno(e))
            throw noSuchPort(port, path, reason(e));
        throw RuntimeError(err::CommStateFailed, QStringLiteral("%1：%2 無法設為「%3」(%4)")
                                                     .arg(standardDescription(err::CommStateFailed),
                                                          path, m_settings, reason(e)));
    }
    // Whatever the device sent before we were listening belongs to no request of ours.
    ::tcflush(fd, TCIFLUSH);

    m_fd = guard.release();
    m_openPath = path;
    m_gone = false;
    m_readFault = 0;
    m_inBuffer.clear();
    m_overflowing = false;
    m_parser.reset();
    m_pendingEvents.clear();

    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &PosixSerial::onReadable);

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
    m_notifier.reset();
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
    m_inBuffer.clear();
    m_overflowing = false;
    m_parser.reset();
    m_pendingEvents.clear();
}

void PosixSerial::requireOpen() const {
    if (m_fd < 0)
        throw RuntimeError(
            err::PortNotOpen,
            QStringLiteral("%1：COM%2").arg(standardDescription(err::PortNotOpen)).arg(m_commPort));
}

void PosixSerial::requireLive() {
    if (m_gone)
        throw RuntimeError(err::DeviceGone, QStringLiteral("%1：COM%2 (%3)")
                                                .arg(standardDescription(err::DeviceGone))
                                                .arg(m_commPort)
                                                .arg(m_openPath));
    if (m_readFault != 0) {
        const int e = std::exchange(m_readFault, 0);
        if (m_notifier)
            m_notifier->setEnabled(true);
        throw RuntimeError(err::CommReadFailed, QStringLiteral("%1：%2 (%3)")
                                                    .arg(standardDescription(err::CommReadFailed),
                                                         m_openPath, reason(e)));
    }
}

int PosixSerial::inBufferCount() {
    requireOpen();
    pullInput();
    requireLive();
    return static_cast<int>(m_inBuffer.size());
}

QByteArray PosixSerial::input() {
    requireOpen();
    pullInput();
    requireLive();
    const qsizetype n =
        inputLen() > 0 ? std::min<qsizetype>(inputLen(), m_inBuffer.size()) : m_inBuffer.size();
    QByteArray chunk = m_inBuffer.left(n);
    m_inBuffer.remove(0, n);
    if (n > 0)
        m_overflowing = false;
    return chunk;
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
                QStringLiteral("%1：%2 (%3)")
                    .arg(standardDescription(err::CommWriteFailed), m_openPath, reason(e)));
        pollfd p{m_fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(deadline.remainingTime()));
        if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            markGone();
            requireLive();
        }
        if (ready == 0 || deadline.hasExpired())
            throw RuntimeError(err::CommWriteFailed,
                               QStringLiteral("%1：%2 沒有在 %3 毫秒內收下資料")
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
    const qsizetype capacity = std::max<qsizetype>(inBufferSize(), 1);
    const qsizetype room = std::max<qsizetype>(capacity - m_inBuffer.size(), 0);
    m_inBuffer.append(parsed.bytes.left(room));
    if (parsed.bytes.size() > room && !m_overflowing) {
        m_overflowing = true;
        queueEvent(comm::ErRxOver);
    }
}

void PosixSerial::markGone() {
    m_gone = true;
    // A hung-up descriptor stays readable for ever: stop listening, or the loop would spin.
    if (m_notifier)
        m_notifier->setEnabled(false);
    m_lineTimer.stop();
}

void PosixSerial::onReadable() {
    pullInput();
    if (m_readFault != 0 && m_notifier)
        m_notifier->setEnabled(false);
}

void PosixSerial::onLineTimer() {
    if (m_fd < 0 || m_gone)
        return;
    if (m_askCounters)
        readLineCounters(true);
    if (m_askModemLines && !m_gone)
        readModemLines(true);
    if (!m_askCounters && !m_askModemLines)
        m_lineTimer.stop();
}

void PosixSerial::readLineCounters(bool report) {
    serial_icounter_struct now{};
    if (::ioctl(m_fd, TIOCGICOUNT, &now) != 0) {
        // Pseudo-terminals and some adapters keep no counters (ENOTTY, EINVAL): stop asking.
        if (isGoneErrno(errno))
            markGone();
        else
            m_askCounters = false;
        return;
    }
    const LineCounters counted{now.brk, now.frame, now.overrun, now.parity, now.buf_overrun};
    if (report) {
        if (counted.breaks != m_counters.breaks)
            queueEvent(comm::ErBreak);
        if (counted.frame != m_counters.frame)
            queueEvent(comm::ErFrame);
        if (counted.overrun != m_counters.overrun)
            queueEvent(comm::ErOverrun);
        if (counted.parity != m_counters.parity)
            queueEvent(comm::ErRxParity);
        if (counted.bufferOverrun != m_counters.bufferOverrun)
            queueEvent(comm::ErRxOver);
    }
    m_counters = counted;
}

void PosixSerial::readModemLines(bool report) {
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0) {
        if (isGoneErrno(errno))
            markGone();
        else
            m_askModemLines = false;
        return;
    }
    if (report) {
        if (((lines ^ m_modemLines) & TIOCM_DSR) != 0)
            queueEvent(comm::EvDSR);
        if ((lines & ~m_modemLines & TIOCM_RNG) != 0)
            queueEvent(comm::EvRing);
    }
    m_modemLines = lines;
}

void PosixSerial::queueEvent(int16_t code) {
    // One pending event of a kind says all there is to say until the program has seen it.
    if (std::find(m_pendingEvents.begin(), m_pendingEvents.end(), code) != m_pendingEvents.end())
        return;
    m_pendingEvents.push_back(code);
    scheduleDelivery();
}

void PosixSerial::scheduleDelivery() {
    if (m_deliveryScheduled)
        return;
    m_deliveryScheduled = true;
    QMetaObject::invokeMethod(
        this, [this] { deliverNextEvent(); }, Qt::QueuedConnection);
}

// One event per pass of the event loop, so that a handler that runs a modal dialog (and with it a
// nested loop) still sees the rest in order.
void PosixSerial::deliverNextEvent() {
    m_deliveryScheduled = false;
    if (m_pendingEvents.empty())
        return;
    const int16_t code = m_pendingEvents.front();
    m_pendingEvents.pop_front();
    if (!m_pendingEvents.empty())
        scheduleDelivery();
    raiseOnComm(code);
}

void PosixSerial::setParityReplace(const QString& replacement) {
    SerialComm::setParityReplace(replacement);
    m_parser.setReplacement(
        replacement.isEmpty() ? std::nullopt : std::optional<char>(replacement.at(0).toLatin1()));
}

} // namespace vx
