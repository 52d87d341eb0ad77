#include "platform/posix_serial.h"
#include "platform/runtime_error.h"
#include "platform/serial_device.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace vx {
namespace {

// Queued events need an application object; one serves every test.
void ensureApp() {
    static int argc = 1;
    static char name[] = "serial_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// A pseudo-terminal standing in for a USB adapter: the test holds the master end, the component
// opens the slave by its path. Closing the master is pulling the cable.
class Pty {
public:
    Pty() {
        char name[128] = {};
        int slave = -1;
        if (::openpty(&m_master, &slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        ::close(slave); // nobody holds the device until the component opens it
        m_slavePath = QString::fromLocal8Bit(name);
    }
    ~Pty() { pullCable(); }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const QString& slavePath() const { return m_slavePath; }
    void pullCable() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }
    void send(const QByteArray& bytes) {
        ASSERT_EQ(::write(m_master, bytes.constData(), bytes.size()), bytes.size());
    }
    QByteArray receive(qsizetype count) {
        QByteArray got;
        const QDeadlineTimer deadline(5000);
        while (got.size() < count && !deadline.hasExpired()) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
            char chunk[512];
            const ssize_t n = ::read(m_master, chunk, sizeof chunk);
            if (n <= 0)
                break;
            got.append(chunk, n);
        }
        return got;
    }
    // On Linux the master reports the slave's line settings.
    termios line() const {
        termios tio{};
        EXPECT_EQ(::tcgetattr(m_master, &tio), 0);
        return tio;
    }

private:
    int m_master = -1;
    QString m_slavePath;
};

template <class Op> RuntimeError raised(Op&& op) {
    try {
        op();
    } catch (const RuntimeError& e) {
        return e;
    }
    ADD_FAILURE() << "no run-time error raised";
    return RuntimeError(0, QString());
}

// Waits without running the event loop, as the program's start-up loop does.
bool countReaches(PosixSerial& serial, int count) {
    const QDeadlineTimer deadline(5000);
    while (serial.inBufferCount() < count) {
        if (deadline.hasExpired())
            return false;
    }
    return true;
}

QByteArray pattern(int size) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>('A' + i % 26));
    return bytes;
}

class SerialPort : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApp();
        ASSERT_TRUE(m_ports.isValid());
        qputenv("VX_SERIAL_PORT_DIR", QFile::encodeName(m_ports.path()));
    }
    void TearDown() override { qunsetenv("VX_SERIAL_PORT_DIR"); }

    QString portPath(int port) const { return m_ports.filePath(QStringLiteral("COM%1").arg(port)); }
    void link(int port, const QString& target) {
        QFile::remove(portPath(port));
        ASSERT_TRUE(QFile::link(target, portPath(port)));
    }
    void openOn(PosixSerial& serial, const Pty& pty) {
        link(1, pty.slavePath());
        serial.setPortOpen(true);
    }

    QTemporaryDir m_ports;
};

TEST(SerialDevicePath, PortNumberNamesAUsbAdapterOrALink) {
    qunsetenv("VX_SERIAL_PORT_DIR");
    EXPECT_EQ(serialDevicePath(1), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(serialDevicePath(12), QStringLiteral("/dev/ttyUSB11"));
    qputenv("VX_SERIAL_PORT_DIR", "/tmp/ports/");
    EXPECT_EQ(serialDevicePath(3), QStringLiteral("/tmp/ports/COM3"));
    qunsetenv("VX_SERIAL_PORT_DIR");
}

TEST_F(SerialPort, DescribeTellsPresenceAndStableName) {
    Pty pty;
    link(1, pty.slavePath());
    QFile plain(portPath(2));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    QTemporaryDir byId;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), byId.filePath(QStringLiteral("a-other"))));
    ASSERT_TRUE(QFile::link(pty.slavePath(), byId.filePath(QStringLiteral("usb-FTDI_A1-port0"))));

    const SerialDeviceInfo one = describeSerialDevice(1, byId.path());
    EXPECT_EQ(one.path, portPath(1));
    EXPECT_TRUE(one.present);
    EXPECT_EQ(one.stableName, QStringLiteral("usb-FTDI_A1-port0"));
    EXPECT_FALSE(describeSerialDevice(2, byId.path()).present);
    const SerialDeviceInfo three = describeSerialDevice(3, byId.path());
    EXPECT_FALSE(three.present);
    EXPECT_TRUE(three.stableName.isEmpty());
}

TEST_F(SerialPort, OpenSetsRawLineAndSettingsApplyAtOnce) {
    Pty pty;
    PosixSerial serial;
    EXPECT_EQ(serial.commPort(), 1);
    EXPECT_EQ(serial.settings(), QStringLiteral("9600,N,8,2"));
    openOn(serial, pty);
    ASSERT_TRUE(serial.portOpen());

    termios line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B9600));
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(line.c_cflag & (CSTOPB | CLOCAL | CREAD), tcflag_t(CSTOPB | CLOCAL | CREAD));
    EXPECT_EQ(line.c_cflag & (PARENB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IGNBRK | BRKINT | IGNPAR | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(line.c_iflag & (INPCK | PARMRK), tcflag_t(INPCK | PARMRK));
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VMIN], 1);
    EXPECT_EQ(line.c_cc[VTIME], 0);

    serial.setSettings(QStringLiteral("115200,N,8,1"));
    line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B115200));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(serial.settings(), QStringLiteral("115200,N,8,1"));

    for (const char* refused : {"9600,E,8,1", "9600,N,7,2", "12345,N,8,2", "fast"}) {
        SCOPED_TRACE(refused);
        EXPECT_EQ(raised([&] { serial.setSettings(QString::fromLatin1(refused)); }).number(),
                  err::InvalidSettings);
        EXPECT_EQ(serial.settings(), QStringLiteral("115200,N,8,1"));
        line = pty.line();
        EXPECT_EQ(::cfgetospeed(&line), speed_t(B115200));
        EXPECT_EQ(line.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
    }

    // Settings given to a closed port wait for the next open.
    serial.setPortOpen(false);
    serial.setSettings(QStringLiteral("19200,N,8,2"));
    serial.setPortOpen(true);
    line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B19200));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPort, PortNumberThatIsNoPort) {
    PosixSerial serial;
    for (const int16_t bad : {0, 256, -1}) {
        EXPECT_EQ(raised([&] { serial.setCommPort(bad); }).number(), err::InvalidPortNumber);
        EXPECT_EQ(serial.commPort(), 1);
    }

    serial.setCommPort(2); // no link at all
    RuntimeError missing = raised([&] { serial.setPortOpen(true); });
    EXPECT_EQ(missing.number(), err::InvalidPortNumber);
    EXPECT_TRUE(missing.description().contains(QStringLiteral("COM2")));
    EXPECT_TRUE(missing.description().contains(portPath(2)));

    QFile plain(portPath(3));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    serial.setCommPort(3);
    RuntimeError notTerminal = raised([&] { serial.setPortOpen(true); });
    EXPECT_EQ(notTerminal.number(), err::InvalidPortNumber);
    EXPECT_TRUE(notTerminal.description().contains(portPath(3)));
    EXPECT_FALSE(serial.portOpen());

    Pty pty;
    serial.setCommPort(1);
    openOn(serial, pty);
    EXPECT_EQ(raised([&] { serial.setPortOpen(true); }).number(), err::PortAlreadyOpen);
    EXPECT_EQ(raised([&] { serial.setCommPort(2); }).number(), err::PortAlreadyOpen);
    EXPECT_EQ(serial.commPort(), 1);
    EXPECT_TRUE(serial.portOpen());
}

TEST_F(SerialPort, PortHeldElsewhereIsInUse) {
    Pty pty;
    link(1, pty.slavePath());
    {
        PosixSerial first;
        PosixSerial second;
        first.setPortOpen(true);
        RuntimeError held = raised([&] { second.setPortOpen(true); });
        EXPECT_EQ(held.number(), err::PortInUse);
        EXPECT_TRUE(held.description().contains(portPath(1)));
        EXPECT_FALSE(second.portOpen());
        first.setPortOpen(false);
        second.setPortOpen(true); // free again once the holder lets go
    }

    const int holder = ::open(QFile::encodeName(pty.slavePath()).constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    PosixSerial serial;
    EXPECT_EQ(raised([&] { serial.setPortOpen(true); }).number(), err::PortInUse);
    ::close(holder);
    serial.setPortOpen(true);
    EXPECT_TRUE(serial.portOpen());
}

TEST_F(SerialPort, PermissionDeniedTellsHowToGetAccess) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root opens every device";
    Pty pty;
    ASSERT_EQ(::chmod(QFile::encodeName(pty.slavePath()).constData(), 0), 0);
    PosixSerial serial;
    link(1, pty.slavePath());
    RuntimeError denied = raised([&] { serial.setPortOpen(true); });
    EXPECT_EQ(denied.number(), err::PortAccessDenied);
    EXPECT_TRUE(denied.description().contains(QStringLiteral("dialout")));
}

TEST_F(SerialPort, InputWithoutEventLoopInPiecesOfInputLen) {
    Pty pty;
    PosixSerial serial;
    serial.setInputLen(50);
    openOn(serial, pty);
    EXPECT_EQ(serial.inBufferCount(), 0);
    EXPECT_TRUE(serial.input().isEmpty());

    const QByteArray line = pattern(120);
    pty.send(line);
    ASSERT_TRUE(countReaches(serial, 120));
    EXPECT_EQ(serial.input(), line.left(50));
    EXPECT_EQ(serial.inBufferCount(), 70);
    EXPECT_EQ(serial.input(), line.mid(50, 50));
    EXPECT_EQ(serial.input(), line.mid(100));
    EXPECT_TRUE(serial.input().isEmpty());

    // Every byte value passes unchanged, 0xFF and NUL included.
    serial.setInputLen(0);
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    pty.send(all);
    ASSERT_TRUE(countReaches(serial, 256));
    EXPECT_EQ(serial.input(), all);

    serial.output(all);
    EXPECT_EQ(pty.receive(all.size()), all);
}

TEST_F(SerialPort, OutputThatTheDeviceDoesNotTakeGivesUpWithinTheBound) {
    Pty pty; // never reads what the component sends
    PosixSerial serial;
    openOn(serial, pty);
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(raised([&] { serial.output(QByteArray(1 << 20, 'x')); }).number(),
              err::CommWriteFailed);
    EXPECT_LT(waited.elapsed(), 1000);
}

TEST_F(SerialPort, FullBufferDropsAndRaisesOverflowFromEventLoop) {
    Pty pty;
    PosixSerial serial;
    std::vector<int16_t> events;
    serial.setOnComm([&] { events.push_back(serial.commEvent()); });
    serial.setInBufferSize(1024);
    openOn(serial, pty);

    // One byte too many: the overflow can only be seen once every byte has arrived.
    const QByteArray first = pattern(1025);
    pty.send(first);
    ASSERT_TRUE(countReaches(serial, 1024));
    EXPECT_TRUE(events.empty()) << "events come from the event loop, not from inside calls";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }));
    EXPECT_EQ(events, std::vector<int16_t>{comm::ErRxOver});
    EXPECT_EQ(serial.inBufferCount(), 1024);
    EXPECT_EQ(serial.input(), first.left(1024));

    // Bytes wait in the driver until the next call takes them in; a new episode reports.
    const QByteArray second = pattern(1100).mid(3, 1025);
    pty.send(second);
    ASSERT_TRUE(countReaches(serial, 1024));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == 2; }));
    EXPECT_EQ(events, (std::vector<int16_t>{comm::ErRxOver, comm::ErRxOver}));
    EXPECT_EQ(serial.input(), second.left(1024));
}

TEST_F(SerialPort, PulledCableIsDeviceGoneUntilClosedAndReopened) {
    const std::vector<std::pair<const char*, std::function<void(PosixSerial&)>>> operations = {
        {"InBufferCount", [](PosixSerial& s) { s.inBufferCount(); }},
        {"Input", [](PosixSerial& s) { s.input(); }},
        {"Output", [](PosixSerial& s) { s.output(QByteArray("P")); }},
        {"Settings", [](PosixSerial& s) { s.setSettings(QStringLiteral("19200,N,8,2")); }},
    };
    for (const auto& row : operations) {
        SCOPED_TRACE(row.first);
        const auto& operation = row.second;
        PosixSerial serial;
        {
            Pty pty;
            openOn(serial, pty);
            pty.send("abc");
            ASSERT_TRUE(countReaches(serial, 3));
        }
        EXPECT_EQ(raised([&] { operation(serial); }).number(), err::DeviceGone);
        EXPECT_EQ(raised([&] { serial.inBufferCount(); }).number(), err::DeviceGone);
        EXPECT_TRUE(serial.portOpen());
        EXPECT_EQ(serial.settings(), QStringLiteral("9600,N,8,2"));
        serial.setPortOpen(false);
        EXPECT_FALSE(serial.portOpen());

        Pty replugged;
        openOn(serial, replugged);
        EXPECT_EQ(serial.inBufferCount(), 0);
        replugged.send("ok");
        ASSERT_TRUE(countReaches(serial, 2));
        EXPECT_EQ(serial.input(), QByteArray("ok"));
    }
}

TEST_F(SerialPort, ClosedPortIsNotOpenAndClosingTwiceIsQuiet) {
    PosixSerial serial;
    EXPECT_EQ(raised([&] { serial.inBufferCount(); }).number(), err::PortNotOpen);
    EXPECT_EQ(raised([&] { serial.input(); }).number(), err::PortNotOpen);
    EXPECT_EQ(raised([&] { serial.output(QByteArray("P")); }).number(), err::PortNotOpen);
    serial.setPortOpen(false);

    Pty pty;
    openOn(serial, pty);
    pty.send("left over");
    ASSERT_TRUE(countReaches(serial, 9));
    serial.setPortOpen(false);
    serial.setPortOpen(false);
    EXPECT_EQ(raised([&] { serial.inBufferCount(); }).number(), err::PortNotOpen);
    serial.setPortOpen(true);
    EXPECT_EQ(serial.inBufferCount(), 0);
}

} // namespace
} // namespace vx
