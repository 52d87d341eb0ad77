#include "form_rig.h"
#include "link/port_tooltips.h"
#include "platform/posix/posix_serial.h"
#include "platform/posix/posix_serial_devices.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

using namespace vx;
using namespace vx::testing;

// A port number named in the settings opens the named device, wherever the adapter is plugged, and
// each port item's tooltip tells its device and whether it is there.
TEST(PortNames, ANamedPortOpensItsStableLinkAndTheTooltipsTellEachDevice) {
    FormRig rig;
    int master = -1, slave = -1;
    char pts[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, pts, nullptr, nullptr), 0);
    ::close(slave);
    const QString byId = rig.rig.path(QStringLiteral("usb-FTDI_A1B2C3-if00-port0"));
    ASSERT_TRUE(QFile::link(QString::fromLocal8Bit(pts), byId));
    qputenv("VX_SERIAL_PORT_DIR", rig.rig.path(QStringLiteral("none")).toLocal8Bit());
    const PosixSerialDevices devices([&](int port) { return port == 4 ? byId : QString(); });

    PosixSerial serial{devices};
    serial.setCommPort(4);
    serial.setPortOpen(true); // no numbered device is there: only the named one can open

    PortToolTips(rig.form, devices).refresh();
    EXPECT_EQ(rig.form.port.item(4).toolTip(),
              byId + QStringLiteral("（設定指定，現為 %1）：已連接").arg(pts));
    EXPECT_EQ(rig.form.port.item(3).toolTip(), rig.rig.path("none/COM3") + "：未連接");
    serial.setPortOpen(false);
    ::close(master);
    ::unlink(QFile::encodeName(byId).constData());
    EXPECT_EQ(PortToolTips::toolTipFor(devices.describe(4)), byId + "（設定指定）：未連接");
    qunsetenv("VX_SERIAL_PORT_DIR");
}
