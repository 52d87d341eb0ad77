#include "form_rig.h"
#include "link/port_tooltips.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

TEST(PortToolTips, EachPortItemTellsItsDeviceAndWhetherItIsThere) {
    FormRig rig;
    std::vector<int> asked;
    PortToolTips tips(rig.form, [&](int port) {
        asked.push_back(port);
        SerialDeviceInfo info;
        info.path = QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
        info.present = port == 1;
        if (port == 1)
            info.stableName = QStringLiteral("usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0");
        return info;
    });
    tips.refresh();
    EXPECT_EQ(asked, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rig.form.port.item(1).toolTip(),
              "/dev/ttyUSB0（usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0）：已連接");
    EXPECT_EQ(rig.form.port.item(6).toolTip(), "/dev/ttyUSB5：未連接");
    EXPECT_EQ(rig.form.port.item(1).caption(), "Port1");
}
