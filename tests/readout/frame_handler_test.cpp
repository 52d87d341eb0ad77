#include "readout_rig.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct FrameHandlerTest : ::testing::Test {
    ReadoutRig r;

    bool threeAxisShown() {
        return r.form.cmdZ.visible() && r.form.cmdIM.visible() && r.form.cmdTF.visible() &&
               r.form.labZ顯示.visible() && r.form.Frame歸零.height() == 3375 &&
               r.form.Frame顯示.height() == 3375 && r.form.Frame功能鍵.height() == 3375 &&
               r.form.window.caption() == "三軸顯示";
    }
    bool twoAxisShown() {
        return !r.form.cmdZ.visible() && !r.form.cmdIM.visible() && !r.form.cmdTF.visible() &&
               !r.form.labZ顯示.visible() && r.form.Frame歸零.height() == 2295 &&
               r.form.Frame顯示.height() == 2295 && r.form.Frame功能鍵.height() == 2295 &&
               r.form.window.caption() == "二軸顯示";
    }
};

} // namespace

TEST_F(FrameHandlerTest, ThreeAxisLineFillsTheReadoutAsItCame) {
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.form.資料顯示窗.caption(), QString::fromLatin1(ThreeAxisMetric)); // line end kept
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    EXPECT_EQ(r.form.labY顯示.caption(), "   250.000");
    EXPECT_EQ(r.form.labZ顯示.caption(), "     0.001");
    EXPECT_FALSE(r.state.twoAxis);
    EXPECT_TRUE(threeAxisShown());
    EXPECT_EQ(r.form.lab公英制.caption(), QStringLiteral("公\u3000  \u3000\u3000制"));
    EXPECT_EQ(r.form.lab公英制.foreColor(), color::ButtonText);
    EXPECT_EQ(r.rig.sound.beeps, 0);
    EXPECT_EQ(r.rig.events.calls, 1);
}

TEST_F(FrameHandlerTest, TwoAxisLineShrinksTheWindowAndEmptiesTheUnit) {
    r.handle(ThreeAxisInch);
    EXPECT_EQ(r.form.lab公英制.caption(), QStringLiteral("英\u3000  \u3000\u3000制"));
    r.handle(TwoAxis.left(24) + "\n"); // 24 characters and a line feed: no column 26
    EXPECT_TRUE(r.state.twoAxis);
    EXPECT_TRUE(twoAxisShown());
    EXPECT_EQ(r.form.labZ顯示.caption(), "");
    r.handle(TwoAxis); // with CR LF the Z field holds the line feed, hidden all the same
    EXPECT_EQ(r.form.labZ顯示.caption(), "\n");
    EXPECT_TRUE(twoAxisShown());
    EXPECT_EQ(r.form.lab公英制.caption(), "");
    EXPECT_EQ(r.form.lab公英制.foreColor(), color::Magenta); // colour left as it was
    r.handle(ThreeAxisMetric);
    EXPECT_TRUE(threeAxisShown());
}

TEST_F(FrameHandlerTest, RecordsAreTheLineThenCrLfAndCountOncePerLine) {
    r.openLog();
    r.handle("X     1.000 Y     2.000TZ     3.000T M\r\n"); // T in both columns: one record
    r.handle("X     1.000 Y     2.000tZ     3.000t M\r\n"); // lower case: none
    r.state.recordRequest = true;
    r.handle(TwoAxis);
    r.handle(TwoAxis); // the request is used up
    EXPECT_EQ(r.logBytes(),
              QByteArray("X     1.000 Y     2.000TZ     3.000T M\r\n\r\n") + TwoAxis + "\r\n");
    EXPECT_EQ(r.state.recordCount, 2);
    EXPECT_EQ(r.form.lab計數顯示.caption(), "2");
    EXPECT_EQ(r.rig.sound.beeps, 2);
    EXPECT_FALSE(r.state.recordRequest);
}

TEST_F(FrameHandlerTest, RecordWithoutLogFileShowsZeroAndDoesNotBeep) {
    r.state.recordCount = 5;
    r.state.recordRequest = true;
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.state.recordCount, 0);
    EXPECT_EQ(r.form.lab計數顯示.caption(), "0");
    EXPECT_EQ(r.rig.sound.beeps, 0);
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
}

TEST_F(FrameHandlerTest, RecordThatFillsTheDiskIsNotCountedNorKeptInPartAndIsTold) {
    r.openLog();
    r.state.recordRequest = true;
    r.handle(ThreeAxisMetric);
    r.rig.files.fillDiskAfter(15);
    r.state.recordRequest = true;
    r.handle(ThreeAxisInch);
    EXPECT_EQ(r.state.recordCount, 1);
    EXPECT_EQ(r.form.lab計數顯示.caption(), "1");
    EXPECT_EQ(r.rig.sound.beeps, 1);
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(r.rig.dialogs.messages[0].type, mb::Exclamation);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(standardDescription(err::DiskFull)));
    r.rig.files.clearFaults();
    r.state.recordRequest = true;
    r.handle(TwoAxis);
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n");
}

TEST_F(FrameHandlerTest, RecordButtonPressedWhileTheReadingsPaintIsWrittenWithThisLine) {
    r.openLog();
    r.rig.events.onDoEvents = [&] { r.keypad.cmdRS_Click(); };
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
}

TEST_F(FrameHandlerTest, WindowClosedWhileTheReadingsPaintIsLeftAlone) {
    r.openLog();
    r.state.recordRequest = true;
    r.rig.events.onDoEvents = [&] { r.form.window.unload(); };
    r.handle(TwoAxis);
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    EXPECT_TRUE(threeAxisShown()); // the layout step did not run
    EXPECT_EQ(r.logBytes(), "");
    EXPECT_EQ(r.rig.sound.beeps, 0);
}

TEST_F(FrameHandlerTest, KeyLockKeepsTheLayoutOnThreeAxisLinesOnly) {
    r.keypad.mnu鎖住按鍵_Click();
    r.handle(TwoAxis);
    EXPECT_TRUE(twoAxisShown()); // two axes apply whatever the lock
    r.handle(ThreeAxisMetric);
    EXPECT_FALSE(r.state.twoAxis);
    EXPECT_EQ(r.form.window.caption(), "二軸顯示");
    EXPECT_FALSE(r.form.labZ顯示.visible());
    EXPECT_EQ(r.form.Frame顯示.height(), 2295);
    EXPECT_FALSE(r.form.cmdZ.visible());
    r.keypad.mnu鎖住按鍵_Click(); // unlocking shows the keys before the next line
    EXPECT_TRUE(r.form.cmdZ.visible() && r.form.cmdIM.visible() && r.form.cmdTF.visible());
    EXPECT_FALSE(r.form.labZ顯示.visible());
    r.handle(ThreeAxisMetric);
    EXPECT_TRUE(threeAxisShown());
}
