#include "form_rig.h"
#include "link/port_menus.h"
#include "link/port_settings_file.h"
#include "link/serial_events.h"

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
        rig.form.port.item(3).setChecked(true);
    }
    int storedPort() { return file.readPort(); }
    QString filePath() { return rig.rig.path(PortSettingsFile::FileName); }

    FormRig rig;
    PortSettingsFile file{rig.rig.files, rig.rig.dialogs};
    PortMenus menus{rig.form, rig.state, rig.platform, file};
    ScriptedDialogs& dialogs = rig.rig.dialogs;
};

} // namespace

// The open port takes the speed without closing; the check mark moves only once it has.
TEST_F(PortMenusTest, SpeedChoiceReconfiguresTheOpenPortAndTheCheckMarkShowsTheSpeedInForce) {
    rig.form.baud.item(19200).setChecked(true);
    menus.baud_Click(9600);
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{9600});
    menus.baud_Click(19200);
    EXPECT_EQ(rig.serial.openedPorts().size(), 1U);
    EXPECT_EQ(rig.serial.settings(), "19200,N,8,2");
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{19200});
    EXPECT_EQ(file.readSpeed(), "19200");
    rig.serial.failNext(ScriptedSerial::Op::SetSettings, err::CommStateFailed);
    EXPECT_THROW(menus.baud_Click(2400), RuntimeError);
    EXPECT_EQ(rig.checkedSpeeds(), std::vector<int>{19200});
}

// The port in use is closed and opened again all the same.
TEST_F(PortMenusTest, PortChoiceClosesReopensChecksAndStores) {
    for (const int port : {2, 2}) {
        menus.port_Click(port);
        EXPECT_EQ(rig.checkedPorts(), std::vector<int>{port});
        EXPECT_EQ(storedPort(), port);
        EXPECT_FALSE(menus.portClosedForChange());
    }
    EXPECT_EQ(rig.serial.openedPorts(), (std::vector<int>{3, 2, 2}));
    EXPECT_TRUE(dialogs.prompts.empty());
}

// A port that is not there asks for one until one opens; an entry that is no number comes back.
// A port without a menu item carries no check mark.
TEST_F(PortMenusTest, MissingPortAsksUntilOneOpens) {
    for (const auto& [answer, opened] : {std::pair{"2.5", 2}, std::pair{"7", 7}}) {
        dialogs.inputAnswers = {QStringLiteral("9"), QStringLiteral("abc"), answer};
        dialogs.prompts.clear();
        menus.port_Click(5);
        ASSERT_EQ(dialogs.prompts.size(), 3U);
        EXPECT_EQ(dialogs.prompts[0].prompt, PortMenus::portPrompt());
        EXPECT_EQ(dialogs.prompts[0].title, PortMenus::portPromptTitle());
        EXPECT_EQ(dialogs.prompts[0].defaultText, "5");
        EXPECT_EQ(dialogs.prompts[2].defaultText, "abc"); // a mistyped entry is shown again
        EXPECT_EQ(rig.serial.commPort(), opened);
        EXPECT_EQ(rig.checkedPorts(), opened == 2 ? std::vector<int>{2} : std::vector<int>{});
        EXPECT_EQ(storedPort(), opened);
    }
}

// 5: no such port and the prompt cancelled; 2: held by another program, told once, not retried.
TEST_F(PortMenusTest, CancelledOrFailedChangeGoesBackToThePortInUse) {
    rig.serial.holdPort(2);
    for (const int chosen : {5, 2}) {
        menus.port_Click(chosen);
        EXPECT_TRUE(rig.serial.portOpen()) << chosen;
        EXPECT_EQ(rig.serial.commPort(), 3);
        EXPECT_EQ(rig.checkedPorts(), std::vector<int>{3});
        EXPECT_EQ(storedPort(), 3);
        EXPECT_FALSE(menus.portClosedForChange());
    }
    EXPECT_EQ(dialogs.prompts.size(), 1U);
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].prompt, standardDescription(err::PortInUse));
}

// The adapter in use is pulled while the prompt is open: no tick meets the port closed meanwhile,
// and the program stays without a port and looks it until a port that works is chosen.
TEST_F(PortMenusTest, WithNoPortToGoBackToTheProgramStaysWithoutOneAndLooksIt) {
    int ticks = 0;
    rig.form.Timer1.setHandler([&] { ++ticks; });
    rig.form.Timer1.setEnabled(true);
    dialogs.whilePromptOpen = [&](const ScriptedDialogs::Prompt&) {
        rig.serial.removePort(3);
        rig.form.Timer1.fire();
    };
    rig.rig.clock.time = QStringLiteral("10:20:30");
    menus.port_Click(5);
    EXPECT_FALSE(rig.serial.portOpen());
    EXPECT_TRUE(rig.checkedPorts().empty());
    EXPECT_EQ(rig.panel(1), "傳輸埠未開啟10:20:30");
    EXPECT_EQ(rig.form.labY顯示.foreColor(), color::Grey);
    rig.form.Timer1.fire();
    EXPECT_EQ(ticks, 0);
    menus.port_Click(1);
    EXPECT_TRUE(rig.form.Timer1.fire());
    EXPECT_EQ(ticks, 1);
}

// Record 1: the port, signed 16-bit little-endian; record 2: the speed's length, then its text. A
// full disk is told once and the record keeps its old bytes; a speed longer than a record is
// refused.
TEST_F(PortMenusTest, SettingsFileRecords) {
    EXPECT_EQ(fileBytes(filePath()), "");
    EXPECT_EQ(file.readPort(), 0);
    EXPECT_EQ(file.readSpeed(), "");
    file.writeSpeed(QStringLiteral("19200"));
    file.writePort(-2);
    const QByteArray written = QByteArray::fromHex("feff") + QByteArray(18, '\0') +
                               QByteArray::fromHex("0500") + "19200" + QByteArray(13, '\0');
    EXPECT_EQ(fileBytes(filePath()), written);
    file.writePort(300);
    EXPECT_EQ(file.readPort(), 300);
    EXPECT_EQ(file.readSpeed(), "19200");
    rig.rig.files.fillDiskAfter(0);
    file.writePort(5);
    file.writeSpeed(QStringLiteral("2400"));
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].prompt.contains(standardDescription(err::DiskFull)));
    EXPECT_EQ(file.readPort(), 300);
    writeFileBytes(filePath(), QByteArray(20, '\0') + QByteArray::fromHex("1300"));
    EXPECT_THROW(file.readSpeed(), RuntimeError);
}

TEST_F(PortMenusTest, SerialEventsWithAMessageShowItWithTheTimeOthersLeaveThePanelAlone) {
    SerialEvents events{rig.form, rig.platform};
    rig.serial.setOnComm([&] { events.MSComm1_OnComm(); });
    const std::pair<int16_t, QString> rows[] = {
        {comm::EvCTS, "RS232傳輸狀態"},
        {comm::ErRxOver, "接收信號過多無法處理09:03:07"},
        {0, "接收信號過多無法處理09:03:07"},
    };
    rig.rig.clock.time = QStringLiteral("09:03:07");
    for (const auto& [code, panel] : rows) {
        rig.serial.raise(code);
        EXPECT_EQ(rig.panel(1), panel) << code;
    }
}
