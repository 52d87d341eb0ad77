#include "form_rig.h"
#include "link/port_menus.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct PortMenusTest : ::testing::Test {
    PortMenusTest() {
        file.open();
        for (int port : {1, 2, 3, 7})
            rig.serial.addPort(port);
        rig.serial.setCommPort(3);
        rig.serial.setPortOpen(true);
    }
    QByteArray record(int n) {
        return fileBytes(rig.rig.path(PortSettingsFile::FileName)).mid((n - 1) * 20, 20);
    }
    QByteArray portRecord(int port) {
        return PortSettingsFile::portRecord(static_cast<int16_t>(port)) + QByteArray(18, '\0');
    }

    FormRig rig;
    PortSettingsFile file{rig.rig.files, rig.rig.dialogs};
    PortMenus menus{rig.form, rig.state, rig.platform, file};
};

} // namespace

TEST_F(PortMenusTest, SpeedChoiceReconfiguresTheOpenPortAndTheCheckMarkShowsTheSpeedInForce) {
    rig.form.baud.item(19200).setChecked(true);
    menus.baud_Click(9600);
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{9600});
    menus.baud_Click(19200);
    EXPECT_EQ(rig.serial.closeCount(), 0);
    EXPECT_EQ(rig.serial.settings(), "19200,N,8,2");
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{19200});
    EXPECT_EQ(record(2).left(7), QByteArray::fromHex("0500") + "19200");
    rig.serial.failNext(ScriptedSerial::Op::SetSettings, err::CommStateFailed);
    EXPECT_THROW(menus.baud_Click(2400), RuntimeError);
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{19200});
}

TEST_F(PortMenusTest, PortChoiceClosesReopensChecksAndStores) {
    rig.form.port.item(3).setChecked(true);
    menus.port_Click(2);
    EXPECT_EQ(rig.serial.closeCount(), 1);
    EXPECT_EQ(rig.serial.openedPorts(), (std::vector<int>{3, 2}));
    EXPECT_EQ(rig.checkedPorts(), std::vector<int>{2});
    EXPECT_EQ(rig.state.portNumber, 2);
    EXPECT_EQ(record(1), portRecord(2));
    EXPECT_TRUE(rig.rig.dialogs.prompts.empty());
    EXPECT_FALSE(menus.portClosedForChange());

    menus.port_Click(2); // the port in use: closed and opened again all the same
    EXPECT_EQ(rig.serial.closeCount(), 2);
    EXPECT_EQ(rig.serial.openedPorts(), (std::vector<int>{3, 2, 2}));
}

TEST_F(PortMenusTest, MissingPortAsksUntilOneOpens) {
    rig.rig.dialogs.inputAnswers = {QStringLiteral("9"), QStringLiteral("abc"),
                                    QStringLiteral("2.5")}; // halves round to even
    menus.port_Click(5);
    ASSERT_EQ(rig.rig.dialogs.prompts.size(), 3U);
    for (const auto& prompt : rig.rig.dialogs.prompts) {
        EXPECT_EQ(prompt.prompt, "請輸入傳輸埠");
        EXPECT_EQ(prompt.title, "傳輸埠錯誤!");
    }
    EXPECT_EQ(rig.rig.dialogs.prompts[0].defaultText, "5");
    EXPECT_EQ(rig.rig.dialogs.prompts[1].defaultText, "9");
    EXPECT_EQ(rig.rig.dialogs.prompts[2].defaultText, "abc"); // a mistyped entry is shown again
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(rig.serial.commPort(), 2);
    EXPECT_EQ(rig.checkedPorts(), std::vector<int>{2});
    EXPECT_EQ(record(1), portRecord(2));
}

TEST_F(PortMenusTest, EnteredPortWithoutMenuItemOpensWithNoCheckMark) {
    rig.rig.dialogs.inputAnswers = {QStringLiteral("7")};
    menus.port_Click(5);
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_EQ(rig.serial.commPort(), 7);
    EXPECT_TRUE(rig.checkedPorts().empty());
    EXPECT_EQ(record(1), portRecord(7));
}

TEST_F(PortMenusTest, CancelledOrFailedChangeGoesBackToThePortInUse) {
    rig.serial.holdPort(2);
    for (const int chosen : {5, 2}) { // 5: no such port, prompt cancelled; 2: held elsewhere
        rig.form.port.item(3).setChecked(true);
        menus.port_Click(static_cast<int16_t>(chosen));
        EXPECT_TRUE(rig.serial.portOpen()) << chosen;
        EXPECT_EQ(rig.serial.commPort(), 3);
        EXPECT_EQ(rig.checkedPorts(), std::vector<int>{3});
        EXPECT_EQ(record(1), portRecord(3));
        EXPECT_FALSE(menus.portClosedForChange());
    }
    EXPECT_EQ(rig.rig.dialogs.prompts.size(), 1U);
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U); // told once, not retried
    EXPECT_EQ(rig.rig.dialogs.messages[0].prompt, standardDescription(err::PortInUse));
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::Exclamation);
}

TEST_F(PortMenusTest, WithNoPortToGoBackToTheProgramStaysWithoutOneAndLooksIt) {
    int ticks = 0;
    rig.form.Timer1.setHandler([&] { ++ticks; });
    rig.form.Timer1.setEnabled(true);
    rig.rig.dialogs.whilePromptOpen = [&](const ScriptedDialogs::Prompt&) {
        rig.serial.removePort(3); // the adapter in use is pulled meanwhile
        EXPECT_FALSE(rig.form.Timer1.fire()) << "no tick may meet the port closed";
    };
    rig.rig.clock.time = QStringLiteral("10:20:30");
    menus.port_Click(5);
    EXPECT_FALSE(rig.serial.portOpen());
    EXPECT_TRUE(rig.checkedPorts().empty());
    EXPECT_EQ(rig.panel(1), "傳輸埠未開啟10:20:30");
    EXPECT_EQ(rig.form.labY顯示.foreColor(), color::Grey);
    EXPECT_FALSE(rig.form.Timer1.fire());

    menus.port_Click(1); // a port that works ends the hold
    EXPECT_TRUE(rig.serial.portOpen());
    EXPECT_TRUE(rig.form.Timer1.fire());
    EXPECT_EQ(ticks, 1);
}
