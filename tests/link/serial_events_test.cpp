#include "form_rig.h"
#include "link/serial_events.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct SerialEventsTest : ::testing::Test {
    FormRig rig;
    SerialEvents events{rig.form, rig.platform};
    void raise(int16_t code) {
        rig.serial.setOnComm([this] { events.MSComm1_OnComm(); });
        rig.serial.raise(code);
    }
};

} // namespace

TEST_F(SerialEventsTest, EveryCodeOfTheTableShowsItsMessageAndTheTime) {
    const std::vector<std::pair<int16_t, QString>> table = {
        {1001, QStringLiteral("信號斷接")},
        {1004, QStringLiteral("接收信號框架錯誤")},
        {1006, QStringLiteral("發射信號過多無法處理")},
        {1008, QStringLiteral("接收信號過多無法處理")},
        {1009, QStringLiteral("接收信號檢查碼錯誤")},
        {1010, QStringLiteral("發射緩衝器滿載")},
        {1011, QStringLiteral("Unexpected error retrieving DCB")},
        {4, QStringLiteral("DSR信號有變化")},
        {6, QStringLiteral("收到震鈴信號")},
        {2, QStringLiteral("收得足夠字元")},
        {1, QStringLiteral("送出足夠字元")},
        {7, QStringLiteral("收到EOF(chr(26))")},
    };
    rig.rig.clock.time = QStringLiteral("09:03:07");
    for (const auto& [code, message] : table) {
        raise(code);
        EXPECT_EQ(rig.panel(1), message + "09:03:07") << code;
    }
}

TEST_F(SerialEventsTest, UnknownCodesLeaveThePanelAlone) {
    EXPECT_EQ(rig.panel(1), "RS232傳輸狀態");
    for (int16_t code : {3, 5, 1002, 1003, 1007, 0, -1}) {
        raise(code);
        EXPECT_EQ(rig.panel(1), "RS232傳輸狀態") << code;
    }
    rig.rig.clock.time = QStringLiteral("14:05:09");
    raise(1001);
    raise(3); // a CTS change after a break keeps the break shown
    EXPECT_EQ(rig.panel(1), "信號斷接14:05:09");
    rig.rig.clock.time = QStringLiteral("14:05:10");
    raise(1004);
    EXPECT_EQ(rig.panel(1), "接收信號框架錯誤14:05:10");
}
