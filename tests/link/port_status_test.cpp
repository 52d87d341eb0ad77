#include "form_rig.h"
#include "link/port_tooltips.h"
#include "link/serial_events.h"
#include "platform/posix_serial.h"

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

using namespace vx;
using namespace vx::testing;

// A port number named in the settings opens the named device, wherever the adapter is plugged, and
// each port item's tooltip tells its device and whether it is there.
TEST(PortToolTips, ANamedPortOpensItsStableLinkAndTheTooltipsTellEachDevice) {
    FormRig rig;
    int master = -1;
    int slave = -1;
    char pts[128] = {};
    ASSERT_EQ(::openpty(&master, &slave, pts, nullptr, nullptr), 0);
    ::close(slave);
    const QString byId = rig.rig.path(QStringLiteral("usb-FTDI_A1B2C3-if00-port0"));
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
    EXPECT_EQ(rig.form.port.item(1).caption(), "Port1");
    serial.setPortOpen(false);
    ::close(master);
    ::unlink(QFile::encodeName(byId).constData());
    EXPECT_EQ(PortToolTips::toolTipFor(describeSerialDevice(4)), byId + "（設定指定）：未連接");
    setNamedSerialDevices({});
    qunsetenv("VX_SERIAL_PORT_DIR");
    EXPECT_EQ(PortToolTips::toolTipFor({"/dev/ttyUSB0", false, true, "usb-FTDI-if00", {}}),
              "/dev/ttyUSB0（usb-FTDI-if00）：已連接");
}

// A code with a message shows it with the time; one without leaves the panel as it was.
TEST(SerialEvents, CodesWithAMessageShowItWithTheTimeOthersLeaveThePanelAlone) {
    FormRig rig;
    SerialEvents events{rig.form, rig.platform};
    rig.serial.setOnComm([&] { events.MSComm1_OnComm(); });
    const std::pair<int16_t, QString> rows[] = {
        {comm::EvCTS, "RS232傳輸狀態"},      {comm::ErBreak, "信號斷接09:03:07"},
        {comm::ErCTSTO, "信號斷接09:03:07"}, {comm::ErRxOver, "接收信號過多無法處理09:03:07"},
        {0, "接收信號過多無法處理09:03:07"}, {comm::EvEOF, "收到EOF(chr(26))09:03:07"},
    };
    rig.rig.clock.time = QStringLiteral("09:03:07");
    for (const auto& [code, panel] : rows) {
        rig.serial.raise(code);
        EXPECT_EQ(rig.panel(1), panel) << code;
    }
}
