#include "platform/error_trap.h"
#include "platform/posix_serial.h"
#include "platform/serial_device.h"
#include "platform/terminal_device.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace vx;

namespace {

// A pseudo-terminal standing in for a USB adapter: the test holds the master end, the component
// opens the other by its path. Closing the master is pulling the cable.
struct Pty {
    Pty() {
        char name[128] = {};
        int slave = -1;
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        ::close(slave); // nobody holds the device until the component opens it
        path = QString::fromLocal8Bit(name);
    }
    ~Pty() { pull(); }
    void pull() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void send(const QByteArray& bytes) const {
        ASSERT_EQ(::write(master, bytes.constData(), bytes.size()), bytes.size());
    }
    QByteArray receive(qsizetype count) const {
        QByteArray got;
        char chunk[512];
        for (pollfd p{master, POLLIN, 0}; got.size() < count && ::poll(&p, 1, 5000) > 0;) {
            const ssize_t n = ::read(master, chunk, sizeof chunk);
            got.append(chunk, n > 0 ? n : 0);
            if (n <= 0)
                break;
        }
        return got;
    }
    // On Linux the master reports the line settings of the other end.
    termios line() const {
        termios tio{};
        ::tcgetattr(master, &tio);
        return tio;
    }
    int master = -1;
    QString path;
};

// The run-time error of the operation, or 0; its description goes to the text if one is given.
int errorOf(const std::function<void()>& op, QString* description = nullptr) {
    ResumeNext step;
    step(op);
    if (description && step.error())
        *description = step.error()->description();
    return step.number();
}

// Waits without running the event loop, as the program's start-up loop does.
bool countReaches(PosixSerial& serial, int count) {
    const QDeadlineTimer deadline(5000);
    while (serial.inBufferCount() < count)
        if (deadline.hasExpired())
            return false;
    return true;
}

// Every byte value in turn, so that a lost, doubled or changed byte shows.
QByteArray pattern(int size) {
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(static_cast<char>(i));
    return bytes;
}

class SerialPort : public ::testing::Test {
protected:
    SerialPort() {
        // The socket notifier and queued events need an application object.
        static int argc = 1;
        static char name[] = "serial_tests", *argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
        qputenv("VX_SERIAL_PORT_DIR", QFile::encodeName(m_ports.path()));
    }
    ~SerialPort() override { qunsetenv("VX_SERIAL_PORT_DIR"); }

    QString portPath(int port) const { return m_ports.filePath(QStringLiteral("COM%1").arg(port)); }
    void link(int port, const QString& target) {
        QFile::remove(portPath(port));
        ASSERT_TRUE(QFile::link(target, portPath(port)));
    }
    void openOn(PosixSerial& serial, const Pty& pty) {
        link(1, pty.path);
        serial.setPortOpen(true);
    }

    QTemporaryDir m_ports;
};

TEST_F(SerialPort, PortNumbersNameADeviceAndTellWhetherItIsThere) {
    EXPECT_EQ(serialDevicePath(3), portPath(3));
    qunsetenv("VX_SERIAL_PORT_DIR");
    EXPECT_EQ(serialDevicePath(1), "/dev/ttyUSB0");
    EXPECT_EQ(serialDevicePath(12), "/dev/ttyUSB11");
    qputenv("VX_SERIAL_PORT_DIR", QFile::encodeName(m_ports.path()));

    Pty pty;
    link(1, pty.path);
    QFile plain(portPath(2));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    QTemporaryDir byId;
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), byId.filePath(QStringLiteral("a-other"))));
    ASSERT_TRUE(QFile::link(pty.path, byId.filePath(QStringLiteral("usb-FTDI_A1-port0"))));
    const SerialDeviceInfo one = describeSerialDevice(1, byId.path());
    EXPECT_TRUE(one.present);
    EXPECT_EQ(one.stableName, "usb-FTDI_A1-port0");
    EXPECT_FALSE(describeSerialDevice(2, byId.path()).present);
    EXPECT_TRUE(describeSerialDevice(3, byId.path()).stableName.isEmpty());
}

TEST_F(SerialPort, OpenSetsARawLineAndSettingsApplyAtOnce) {
    Pty pty;
    PosixSerial serial;
    openOn(serial, pty);
    termios line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B9600));
    EXPECT_EQ(line.c_cflag & (CSIZE | CSTOPB | CLOCAL | CREAD | PARENB | CRTSCTS),
              tcflag_t(CS8 | CSTOPB | CLOCAL | CREAD));
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_iflag &
                  (IXON | IXOFF | IGNBRK | BRKINT | IGNPAR | ICRNL | ISTRIP | INPCK | PARMRK),
              tcflag_t(INPCK | PARMRK)); // line errors marked in the stream
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VMIN], 1);

    serial.setSettings(QStringLiteral("115200,N,8,1"));
    line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B115200));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    // Refused settings change nothing.
    for (const char* refused : {"9600,E,8,1", "9600,N,7,2", "12345,N,8,2", "fast"}) {
        EXPECT_EQ(errorOf([&] { serial.setSettings(QString::fromLatin1(refused)); }),
                  err::InvalidSettings);
        EXPECT_EQ(serial.settings(), "115200,N,8,1") << refused;
    }
    // Settings given to a closed port wait for the next open.
    serial.setPortOpen(false);
    serial.setSettings(QStringLiteral("19200,N,8,2"));
    serial.setPortOpen(true);
    line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B19200));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
}

// Each reason a port cannot be had has its number, and its description names the port.
TEST_F(SerialPort, OpeningTellsWhyAPortCannotBeHad) {
    PosixSerial serial;
    for (const int16_t bad : {0, 256, -1})
        EXPECT_EQ(errorOf([&] { serial.setCommPort(bad); }), err::InvalidPortNumber) << bad;
    QString why;
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }, &why), err::InvalidPortNumber);
    EXPECT_TRUE(why.contains("COM1") && why.contains(portPath(1))) << why.toStdString();
    QFile plain(portPath(1));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }), err::InvalidPortNumber) << "no terminal";

    Pty pty;
    link(1, pty.path);
    PosixSerial holder;
    holder.setPortOpen(true);
    EXPECT_EQ(errorOf([&] { holder.setPortOpen(true); }), err::PortAlreadyOpen);
    EXPECT_EQ(errorOf([&] { holder.setCommPort(2); }), err::PortAlreadyOpen);
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }, &why), err::PortInUse);
    EXPECT_TRUE(why.contains(portPath(1)));
    holder.setPortOpen(false);
    const int other =
        ::open(QFile::encodeName(pty.path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0); // another program's lock
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }), err::PortInUse);
    ::close(other);
    serial.setPortOpen(true);
    EXPECT_TRUE(serial.portOpen());
    serial.setPortOpen(false);

    // The device's own refusals (root never meets them): held elsewhere, or not ours to open.
    const std::pair<int, int> causes[] = {
        {EBUSY, err::PortInUse}, {EACCES, err::PortAccessDenied}, {ENOENT, err::InvalidPortNumber}};
    for (const auto& [errnum, number] : causes)
        EXPECT_EQ(terminal::openFailure(errnum, 1, pty.path).number(), number) << errnum;
    if (::geteuid() != 0) { // root opens every device
        ASSERT_EQ(::chmod(QFile::encodeName(pty.path).constData(), 0), 0);
        EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }, &why), err::PortAccessDenied);
        EXPECT_TRUE(why.contains("dialout"));
    }
}

TEST_F(SerialPort, InputComesInPiecesOfInputLenUnchangedAndAFullBufferTellsOnce) {
    Pty pty;
    PosixSerial serial;
    serial.setInputLen(50);
    openOn(serial, pty);
    EXPECT_TRUE(serial.input().isEmpty());
    const QByteArray line = pattern(120);
    pty.send(line);
    ASSERT_TRUE(countReaches(serial, 120));
    EXPECT_EQ(serial.input(), line.left(50));
    EXPECT_EQ(serial.inBufferCount(), 70);
    EXPECT_EQ(serial.input(), line.mid(50, 50));
    EXPECT_EQ(serial.input(), line.mid(100));

    serial.setInputLen(0);
    const QByteArray all = pattern(256);
    pty.send(all);
    ASSERT_TRUE(countReaches(serial, int(all.size())));
    EXPECT_EQ(serial.input(), all);
    serial.output(all);
    EXPECT_EQ(pty.receive(all.size()), all);

    // A device that takes nothing: output gives up within the bound.
    QElapsedTimer waited;
    waited.start();
    EXPECT_EQ(errorOf([&] { serial.output(QByteArray(1 << 20, 'x')); }), err::CommWriteFailed);
    EXPECT_LT(waited.elapsed(), 1000);

    // A full buffer drops what comes beyond it and tells once per episode, from the event loop.
    std::vector<int16_t> events;
    serial.setOnComm([&] { events.push_back(serial.commEvent()); });
    const QByteArray first = pattern(1025); // one byte too many for 1024
    pty.send(first);
    ASSERT_TRUE(countReaches(serial, 1024));
    EXPECT_TRUE(events.empty()) << "events come from the event loop, not from inside calls";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !events.empty(); }));
    EXPECT_EQ(serial.input(), first.left(1024));

    // Bytes wait in the driver until the next call takes them in; a new episode reports.
    const QByteArray second = pattern(1100).mid(3, 1025);
    pty.send(second);
    ASSERT_TRUE(countReaches(serial, 1024));
    ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == 2; }));
    EXPECT_EQ(events, (std::vector<int16_t>{comm::ErRxOver, comm::ErRxOver}));
    EXPECT_EQ(serial.input(), second.left(1024));
}

// A closed port is 8018; a pulled cable is 8021 for every operation until the port is closed and
// opened again.
TEST_F(SerialPort, APulledCableIsDeviceGoneUntilTheNextOpen) {
    const struct {
        const char* name;
        std::function<void(PosixSerial&)> operation;
        int whenClosed;
    } rows[] = {
        {"InBufferCount", [](PosixSerial& s) { s.inBufferCount(); }, err::PortNotOpen},
        {"Input", [](PosixSerial& s) { s.input(); }, err::PortNotOpen},
        {"Output", [](PosixSerial& s) { s.output(QByteArray("O")); }, err::PortNotOpen},
        {"Settings", [](PosixSerial& s) { s.setSettings(QStringLiteral("19200,N,8,2")); }, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PosixSerial serial;
        EXPECT_EQ(errorOf([&] { row.operation(serial); }), row.whenClosed);
        {
            Pty pty;
            openOn(serial, pty);
            pty.send("abc");
            ASSERT_TRUE(countReaches(serial, 3));
        }
        EXPECT_EQ(errorOf([&] { row.operation(serial); }), err::DeviceGone);
        EXPECT_EQ(errorOf([&] { serial.inBufferCount(); }), err::DeviceGone);
        serial.setPortOpen(false);
        Pty replugged;
        openOn(serial, replugged);
        EXPECT_EQ(serial.inBufferCount(), 0) << "nothing left over from before";
        replugged.send("ok");
        ASSERT_TRUE(countReaches(serial, 2));
        EXPECT_EQ(serial.input(), "ok");
    }
}

} // namespace
