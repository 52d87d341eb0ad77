#include "form_rig.h"
#include "link/port_tooltips.h"
#include "platform/posix_serial.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

using namespace vx;
using namespace vx::testing;

TEST(PortToolTips, EachPortItemTellsItsDeviceAndWhetherItIsThere) {
    FormRig rig;
    PortToolTips tips(rig.form, [](int port) {
        return SerialDeviceInfo{QStringLiteral("/dev/ttyUSB%1").arg(port - 1),
                                false,
                                port == 1,
                                port == 1 ? QStringLiteral("usb-FTDI-if00") : QString(),
                                {}};
    });
    tips.refresh();
    EXPECT_EQ(rig.form.port.item(1).toolTip(), "/dev/ttyUSB0（usb-FTDI-if00）：已連接");
    EXPECT_EQ(rig.form.port.item(6).toolTip(), "/dev/ttyUSB5：未連接");
    EXPECT_EQ(rig.form.port.item(1).caption(), "Port1");
}

// A port number named in the settings opens the named device, wherever the adapter is plugged.
TEST(PortToolTips, ANamedPortOpensItsStableLinkAndTheTooltipShowsIt) {
    FormRig rig;
    int master = -1, slave = -1;
    char pts[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, pts, nullptr, nullptr), 0);
    ::close(slave);
    const QString byId = rig.rig.path(QStringLiteral("by-id/usb-FTDI_A1B2C3-if00-port0"));
    QDir().mkpath(rig.rig.path(QStringLiteral("by-id")));
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(pts), byId));
    qputenv("VX_SERIAL_PORT_DIR", rig.rig.path(QStringLiteral("none")).toLocal8Bit());
    setNamedSerialDevices([&](int port) { return port == 4 ? byId : QString(); });

    PosixSerial serial;
    serial.setCommPort(4);
    serial.setPortOpen(true);
    serial.output("O");
    char got = 0;
    EXPECT_EQ(::read(master, &got, 1), 1);
    EXPECT_EQ(got, 'O');

    PortToolTips(rig.form).refresh();
    EXPECT_EQ(rig.form.port.item(4).toolTip(),
              byId + QStringLiteral("（設定指定，現為 %1）：已連接").arg(pts));
    EXPECT_EQ(rig.form.port.item(3).toolTip(), rig.rig.path("none/COM3") + "：未連接");
    serial.setPortOpen(false);
    ::close(master);
    ::unlink(QFile::encodeName(byId).constData());
    EXPECT_EQ(PortToolTips::toolTipFor(describeSerialDevice(4)), byId + "（設定指定）：未連接");
    setNamedSerialDevices({});
    qunsetenv("VX_SERIAL_PORT_DIR");
}
