#include "readout_rig.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct KeypadTest : ::testing::Test {
    ReadoutRig r;
    QByteArray press(void (Keypad::*handler)()) {
        r.serial.clearOutputs();
        (r.keypad.*handler)();
        return r.serial.written();
    }
    std::vector<Control*> keypadControls() {
        return {&r.form.cmdX,   &r.form.cmdY,  &r.form.cmdZ,   &r.form.Frame歸零, &r.form.cmdDR,
                &r.form.cmdABS, &r.form.cmdIM, &r.form.cmdDIV, &r.form.cmdTF};
    }
};

} // namespace

TEST_F(KeypadTest, KeyCodesFollowTheAxisCountOfTheLastLine) {
    struct Row {
        void (Keypad::*handler)();
        const char* twoAxes;
        const char* threeAxes;
    };
    const Row rows[] = {
        {&Keypad::cmdX_Click, "0", "0"},       {&Keypad::cmdY_Click, "1", "1"},
        {&Keypad::cmdZ_Click, "2", "2"},       {&Keypad::cmdDR_Click, "2", "3"},
        {&Keypad::cmdABS_Click, "3", "4"},     {&Keypad::cmdDIV_Click, "4", "6"},
        {&Keypad::cmdIM_Click, "5", "5"},      {&Keypad::cmdTF_Click, "8", "8"},
        {&Keypad::mnuX軸歸零_Click, "0", "0"}, {&Keypad::mnuY軸歸零_Click, "1", "1"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(press(row.handler), row.threeAxes); // before any line: three axes
    r.handle(TwoAxis);
    for (const Row& row : rows)
        EXPECT_EQ(press(row.handler), row.twoAxes);
    r.handle(ThreeAxisMetric);
    for (const Row& row : rows)
        EXPECT_EQ(press(row.handler), row.threeAxes);
    EXPECT_EQ(press(&Keypad::cmdRS_Click), "");
    EXPECT_EQ(press(&Keypad::CmdHalt_Click), "");
}

TEST_F(KeypadTest, ZeroCommandsWorkWhileTheKeypadIsLocked) {
    r.keypad.mnu鎖住按鍵_Click();
    EXPECT_EQ(press(&Keypad::mnuX軸歸零_Click), "0");
    EXPECT_EQ(press(&Keypad::mnuY軸歸零_Click), "1");
}

TEST_F(KeypadTest, KeyThatCannotReachTheCounterIsTold) {
    r.serial.setPortOpen(false);
    r.keypad.cmdX_Click();
    r.serial.setPortOpen(true);
    r.serial.pullCable();
    r.keypad.cmdABS_Click();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 2U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(standardDescription(err::PortNotOpen)));
    EXPECT_TRUE(r.rig.dialogs.messages[1].prompt.contains(standardDescription(err::DeviceGone)));
}

TEST_F(KeypadTest, HaltTurnsTheReadingsRedAndGoBringsThemBack) {
    Control* readings[] = {&r.form.labX顯示, &r.form.labY顯示, &r.form.labZ顯示};
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.CmdHalt.caption(), "Go");
    EXPECT_FALSE(r.form.Timer1.enabled());
    for (Control* reading : readings)
        EXPECT_EQ(reading->foreColor(), color::Red);
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.CmdHalt.caption(), "Halt");
    EXPECT_TRUE(r.form.Timer1.enabled());
    for (Control* reading : readings)
        EXPECT_EQ(reading->foreColor(), color::ButtonText);
    r.keypad.CmdHalt_Click();
    r.serial.setPortOpen(false);
    r.keypad.CmdHalt_Click(); // without a port nothing refreshes them
    EXPECT_EQ(r.form.labZ顯示.foreColor(), color::Grey);
}

TEST_F(KeypadTest, KeyLockHidesAndShowsTheNineKeypadControls) {
    r.keypad.mnu鎖住按鍵_Click();
    EXPECT_TRUE(r.form.mnu鎖住按鍵.checked());
    for (Control* control : keypadControls())
        EXPECT_FALSE(control->visible()) << control->name().toStdString();
    EXPECT_TRUE(r.form.cmdRS.visible() && r.form.CmdHalt.visible() &&
                r.form.Frame功能鍵.visible() && r.form.Frame顯示.visible());
    r.keypad.mnu鎖住按鍵_Click();
    EXPECT_FALSE(r.form.mnu鎖住按鍵.checked());
    for (Control* control : keypadControls())
        EXPECT_TRUE(control->visible()) << control->name().toStdString();
}
