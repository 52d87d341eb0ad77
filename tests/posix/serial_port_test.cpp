#include "form_rig.h"
#include "link/port_tooltips.h"
#include "platform/error_trap.h"
#include "platform/posix/posix_serial.h"
#include "platform/posix/posix_serial_devices.h"
#include "platform/posix/terminal_device.h"
#include "platform/testing/test_process.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtCore/qtestsupport_core.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace vx;
using vx::testing::errorOf;
using vx::testing::waitUntil;

namespace {

// A pseudo-terminal standing in for a USB adapter: the test holds the master end, the component
// opens the other by its path. Closing the master is pulling the cable.
struct Pty {
    Pty() {
        char name[128] = {};
        int slave = -1;
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            ::close(slave); // nobody holds the device until the component opens it
        path = QString::fromLocal8Bit(name);
    }
    ~Pty() { ::close(master); }
    void send(const QByteArray& bytes) const {
        ASSERT_EQ(::write(master, bytes.constData(), bytes.size()), bytes.size());
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

// Every byte value in turn, so that a lost, doubled or changed byte shows.
QByteArray pattern(int size, int from = 0) {
    QByteArray bytes;
    for (int i = from; i < from + size; ++i)
        bytes.append(static_cast<char>(i));
    return bytes;
}

class SerialPort : public ::testing::Test {
protected:
    SerialPort() {
        vx::testing::coreApplication(); // for the socket notifier and queued events
        qputenv("VX_SERIAL_PORT_DIR", QFile::encodeName(m_ports.path()));
    }

    QString portPath(int port) const { return m_ports.filePath(QStringLiteral("COM%1").arg(port)); }
    void openOn(PosixSerial& serial, const Pty& pty) {
        QFile::remove(portPath(1));
        ASSERT_TRUE(QFile::link(pty.path, portPath(1)));
        serial.setPortOpen(true);
    }

    QTemporaryDir m_ports;
    PosixSerialDevices m_devices{{}};
};

TEST_F(SerialPort, PortNumbersNameADeviceAndTellWhetherItIsThere) {
    Pty pty;
    ASSERT_TRUE(QFile::link(pty.path, portPath(1)));
    QTemporaryDir byId;
    ASSERT_TRUE(QFile::link(pty.path, byId.filePath(QStringLiteral("usb-FTDI_A1-port0"))));
    const PosixSerialDevices devices({}, byId.path());
    EXPECT_EQ(devices.describe(1).stableName, "usb-FTDI_A1-port0");
    EXPECT_TRUE(devices.describe(1).present);
    const SerialDeviceInfo none = devices.describe(3);
    EXPECT_FALSE(none.present || !none.stableName.isEmpty());
    qunsetenv("VX_SERIAL_PORT_DIR");
    EXPECT_EQ(devices.pathOf(1), "/dev/ttyUSB0");
}

// A port number named in the settings opens the named device, wherever the adapter is plugged, and
// each port item's tooltip tells its device and whether it is there.
TEST_F(SerialPort, ANamedPortOpensItsStableLinkAndTheTooltipsTellEachDevice) {
    vx::testing::FormRig rig;
    std::optional<Pty> pty(std::in_place);
    const QString byId = rig.rig.path(QStringLiteral("usb-FTDI_A1B2C3-if00-port0"));
    ASSERT_TRUE(QFile::link(pty->path, byId));
    const PosixSerialDevices devices([&](int port) { return port == 4 ? byId : QString(); });
    PosixSerial serial{devices};
    serial.setCommPort(4);
    serial.setPortOpen(true); // no numbered device is there: only the named one can open
    PortToolTips(rig.form, devices).refresh();
    EXPECT_EQ(rig.form.port.item(4).toolTip(),
              byId + QStringLiteral("（設定指定，現為 %1）：已連接").arg(pty->path));
    EXPECT_EQ(rig.form.port.item(3).toolTip(), portPath(3) + "：未連接");
    serial.setPortOpen(false);
    pty.reset();
    ::unlink(QFile::encodeName(byId).constData());
    EXPECT_EQ(PortToolTips::toolTipFor(devices.describe(4)), byId + "（設定指定）：未連接");
}

TEST_F(SerialPort, OpenSetsARawLineAndSettingsApplyAtOnce) {
    Pty pty;
    PosixSerial serial{m_devices};
    openOn(serial, pty);
    termios line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B9600));
    EXPECT_EQ(line.c_cflag & (CSIZE | CSTOPB | CLOCAL | CREAD | PARENB | CRTSCTS),
              tcflag_t(CS8 | CSTOPB | CLOCAL | CREAD));
    EXPECT_EQ((line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN)) | (line.c_oflag & OPOST), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | IGNPAR | ICRNL | ISTRIP | INPCK | PARMRK),
              tcflag_t(INPCK | PARMRK)); // line errors marked in the stream

    serial.setSettings(QStringLiteral("115200,N,8,1"));
    EXPECT_EQ(::cfgetospeed(&(line = pty.line())), speed_t(B115200));
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);
    for (const char* refused : {"9600,E,8,1", "12345,N,8,2", "fast"}) { // and change nothing
        EXPECT_EQ(errorOf([&] { serial.setSettings(QString::fromLatin1(refused)); }),
                  err::InvalidSettings);
        EXPECT_EQ(serial.settings(), "115200,N,8,1") << refused;
    }
    // Settings given to a closed port wait for the next open.
    serial.setPortOpen(false);
    serial.setSettings(QStringLiteral("19200,N,8,2"));
    serial.setPortOpen(true);
    EXPECT_EQ(::cfgetospeed(&(line = pty.line())), speed_t(B19200));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPort, OpeningTellsWhyAPortCannotBeHad) {
    PosixSerial serial{m_devices};
    for (const int16_t bad : {0, 256})
        EXPECT_EQ(errorOf([&] { serial.setCommPort(bad); }), err::InvalidPortNumber) << bad;
    QString why;
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }, &why), err::InvalidPortNumber);
    EXPECT_TRUE(why.contains("COM1") && why.contains(portPath(1))) << why.toStdString();

    Pty pty;
    PosixSerial holder{m_devices};
    openOn(holder, pty);
    EXPECT_EQ(errorOf([&] { holder.setCommPort(2); }), err::PortAlreadyOpen);
    EXPECT_EQ(errorOf([&] { serial.setPortOpen(true); }), err::PortInUse);
    holder.setPortOpen(false);
    serial.setPortOpen(true);
    EXPECT_TRUE(serial.portOpen());

    // The device's own refusals (root never meets them): held elsewhere, or not ours to open.
    const std::pair<int, int> causes[] = {
        {EBUSY, err::PortInUse}, {EACCES, err::PortAccessDenied}, {ENOENT, err::InvalidPortNumber}};
    for (const auto& [errnum, number] : causes)
        EXPECT_EQ(terminal::openFailure(errnum, 1, pty.path).number(), number) << errnum;
}

TEST_F(SerialPort, InputComesInPiecesOfInputLenUnchangedAndAFullBufferTellsOnce) {
    Pty pty;
    PosixSerial serial{m_devices};
    serial.setInputLen(50);
    openOn(serial, pty);
    const QByteArray line = pattern(120);
    pty.send(line);
    ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() >= 120; }));
    EXPECT_EQ(serial.input(), line.left(50));
    EXPECT_EQ(serial.inBufferCount(), 70);
    serial.setInputLen(0); // everything
    EXPECT_EQ(serial.input(), line.mid(50));

    const QDeadlineTimer bound(1000); // a device that takes nothing: output gives up in time
    EXPECT_EQ(errorOf([&] { serial.output(QByteArray(1 << 20, 'x')); }), err::CommWriteFailed);
    EXPECT_FALSE(bound.hasExpired());

    // A full buffer drops the rest, tells once per episode (from the event loop), counts the loss.
    std::vector<int16_t> events;
    serial.setOnComm([&] { events.push_back(serial.commEvent()); });
    for (const int episode : {1, 2}) { // one byte too many for 1024, then reads of 4096 too many
        const QByteArray bytes = pattern(episode == 1 ? 1025 : 9000, episode);
        pty.send(bytes);
        ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() >= 1024; }));
        EXPECT_EQ(events.size(), episode - 1u) << "events come from the event loop only";
        ASSERT_TRUE(QTest::qWaitFor([&] { return events.size() == std::size_t(episode); }));
        EXPECT_EQ(events.back(), comm::ErRxOver);
        EXPECT_EQ(serial.input(), bytes.left(1024));
        EXPECT_EQ(serial.lossCount(), episode);
    }
    EXPECT_FALSE(QTest::qWaitFor([&] { return events.size() > 2; }, 200)) << "once per episode";
    // Two episodes before the program has seen the first: the one event waiting says both.
    for (const int episode : {3, 4}) {
        pty.send(pattern(1025, episode));
        ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() >= 1024; }));
        serial.input();
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return events.size() == 3; }));
    EXPECT_FALSE(QTest::qWaitFor([&] { return events.size() > 3; }, 200)) << "one for both";
}

TEST_F(SerialPort, APulledCableIsDeviceGoneUntilTheNextOpen) {
    const std::pair<std::function<void(PosixSerial&)>, int> rows[] = {
        {[](PosixSerial& s) { s.input(); }, err::PortNotOpen},
        {[](PosixSerial& s) { s.output(QByteArray("O")); }, err::PortNotOpen},
        {[](PosixSerial& s) { s.setSettings(QStringLiteral("19200,N,8,2")); }, 0},
    };
    for (const auto& row : rows) {
        PosixSerial serial{m_devices};
        EXPECT_EQ(errorOf([&] { row.first(serial); }), row.second);
        {
            Pty pty;
            openOn(serial, pty);
            pty.send("abc");
            ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() >= 3; }));
        }
        EXPECT_EQ(errorOf([&] { row.first(serial); }), err::DeviceGone);
        EXPECT_EQ(errorOf([&] { serial.inBufferCount(); }), err::DeviceGone);
        serial.setPortOpen(false);
        Pty replugged;
        openOn(serial, replugged);
        EXPECT_EQ(serial.inBufferCount(), 0) << "nothing left over from before";
        replugged.send("ok");
        ASSERT_TRUE(waitUntil([&] { return serial.inBufferCount() >= 2; }));
        EXPECT_EQ(serial.input(), "ok");
    }
}

} // namespace
