#include "readout_rig.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct FrameHandlerTest : ::testing::Test {
    ReadoutRig r;

    // The window's caption, the unit's first character, the hidden controls in the order of
    // definition and the frames' heights.
    QString layout() {
        QStringList shown{r.form.window.caption(), r.form.lab公英制.caption().left(1)};
        for (Control* control : r.form.controls())
            if (!control->visible())
                shown << control->name();
        for (Control* frame : {&r.form.Frame歸零, &r.form.Frame顯示, &r.form.Frame功能鍵})
            shown << QString::number(frame->height());
        return shown.join(' ');
    }
    void lock() { r.keypad.mnu鎖住按鍵_Click(); }
};

} // namespace

TEST(FrameDecoding, ColumnsOfALine) {
    using Unit = DecodedFrame::Unit;
    const std::pair<QByteArray, DecodedFrame> rows[] = {
        {"X   -12.345 Y   250.000 Z     0.001  M\r\n",
         {"   -12.345", "   250.000", "     0.001", true, Unit::Metric, false}},
        // A record mark in either column, alone; lower-case marks count for nothing.
        {"X     1.000 Y     2.000TZ     3.000  I\r\n",
         {"     1.000", "     2.000", "     3.000", true, Unit::Imperial, true}},
        {"X     1.000 Y     2.000 Z     3.000T M\r\n",
         {"     1.000", "     2.000", "     3.000", true, Unit::Metric, true}},
        // Two axes: no unit whatever column 38 holds; the Z field is what the line has there.
        {"X     1.000 Y     2.000tz     3.000t M\r\n",
         {"     1.000", "     2.000", "     3.000", false, Unit::None, false}},
        {"X   -12.345 Y     7.500 \r\n",
         {"   -12.345", "     7.500", "\n", false, Unit::None, false}},
        // Short lines: fields shorten or are empty where the line ends.
        {"X  12", {"  12", "", "", false, Unit::None, false}},
    };
    for (const auto& [line, expected] : rows)
        EXPECT_EQ(decodeFrame(line), expected) << line.constData();
}

// Each line sets the layout and the unit (a two-axis line shows none); a three-axis line while the
// keypad is locked leaves the layout alone, and unlocking shows the keys.
TEST_F(FrameHandlerTest, EachLineArrangesTheWindowForItsAxesUnlessTheKeypadIsLocked) {
    const QString three = "三軸顯示 %1 3375 3375 3375";
    const QString two = "二軸顯示  cmdZ labZ顯示 cmdIM cmdTF 2295 2295 2295";
    const QString keys = "%1 Frame歸零 cmdX cmdY cmdZ %2cmdDR cmdDIV cmdABS cmdIM cmdTF %3";
    const std::pair<std::function<void()>, QString> steps[] = {
        {[&] { r.handle(ThreeAxisInch); }, three.arg("英")},
        {[&] { r.handle(TwoAxis); }, two},
        {[&] { r.handle(ThreeAxisMetric); }, three.arg("公")},
        {[&] { lock(); }, keys.arg("三軸顯示 公", "", "3375 3375 3375")},
        {[&] { r.handle(TwoAxis); }, keys.arg("二軸顯示 ", "labZ顯示 ", "2295 2295 2295")},
        {[&] { r.handle(ThreeAxisMetric); },
         keys.arg("二軸顯示 公", "labZ顯示 ", "2295 2295 2295")},
        {[&] { lock(); }, "二軸顯示 公 labZ顯示 2295 2295 2295"},
        {[&] { r.handle(ThreeAxisMetric); }, three.arg("公")},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(layout(), expected);
    }
    EXPECT_TRUE(r.form.cmdRS.visible() && r.form.CmdHalt.visible());
    EXPECT_EQ(r.form.資料顯示窗.caption(), QString::fromLatin1(ThreeAxisMetric)); // line end kept
    EXPECT_EQ(r.form.labY顯示.caption(), "   250.000");
    EXPECT_EQ(r.form.lab公英制.caption(), text::MetricCaption);
}

TEST_F(FrameHandlerTest, ImperialIsMagentaAndTwoAxesLeaveTheColour) {
    for (const QByteArray& line : {ThreeAxisInch, TwoAxis})
        r.handle(line);
    EXPECT_EQ(r.form.lab公英制.foreColor(), color::Magenta);
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.form.lab公英制.foreColor(), color::ButtonText);
}

// Without a log file the count shows 0 and nothing beeps.
TEST_F(FrameHandlerTest, RecordsAreTheLineThenCrLfCountedAndBeepedOncePerLine) {
    r.state.recordCount = 5;
    r.state.recordRequest = true;
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.form.lab計數顯示.caption(), "0");
    EXPECT_EQ(r.rig.sound.beeps, 0);
    r.openLog();
    r.handle("X     1.000 Y     2.000TZ     3.000T M\r\n"); // T in both columns: one record
    r.handle("X     1.000 Y     2.000tZ     3.000t M\r\n"); // lower case: none
    r.state.recordRequest = true;
    r.handle(TwoAxis);
    r.handle(TwoAxis); // the request is used up
    EXPECT_EQ(r.logBytes(),
              QByteArray("X     1.000 Y     2.000TZ     3.000T M\r\n\r\n") + TwoAxis + "\r\n");
    EXPECT_EQ(r.form.lab計數顯示.caption(), "2");
    EXPECT_EQ(r.rig.sound.beeps, 2);
}

// The disk fills part way through the second record: it is told, not counted, and not left in part.
TEST_F(FrameHandlerTest, RecordThatFillsTheDiskIsToldAndLeavesNoPartBehind) {
    r.openLog();
    r.state.recordRequest = true;
    r.handle(ThreeAxisMetric);
    r.rig.files.fillDiskAfter(15);
    r.state.recordRequest = true;
    r.handle(ThreeAxisInch);
    EXPECT_EQ(r.form.lab計數顯示.caption(), "1");
    EXPECT_EQ(r.rig.sound.beeps, 1);
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(standardDescription(err::DiskFull)));
    r.rig.files.clearFaults();
    r.state.recordRequest = true;
    r.handle(TwoAxis);
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n");
}

// Pending events run while the readings paint: RS pressed then records this line; a window closed
// then is left alone.
TEST_F(FrameHandlerTest, HandlersRunWhileTheReadingsPaint) {
    r.openLog();
    r.rig.events.onDoEvents = [&] { r.keypad.cmdRS_Click(); };
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
    r.rig.events.onDoEvents = [&] { r.form.window.unload(); };
    r.state.recordRequest = true;
    r.handle(TwoAxis);
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    EXPECT_EQ(r.form.window.caption(), "三軸顯示"); // the layout step did not run
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
}

TEST_F(FrameHandlerTest, KeysSendTheCodesOfTheLastLinesAxisCount) {
    const auto pressAll = [&] {
        r.serial.clearOutputs();
        for (auto key : {&Keypad::cmdX_Click, &Keypad::cmdY_Click, &Keypad::cmdZ_Click,
                         &Keypad::cmdDR_Click, &Keypad::cmdABS_Click, &Keypad::cmdDIV_Click,
                         &Keypad::cmdIM_Click, &Keypad::cmdTF_Click, &Keypad::mnuX軸歸零_Click,
                         &Keypad::mnuY軸歸零_Click, &Keypad::cmdRS_Click})
            (r.keypad.*key)();
        return r.serial.written();
    };
    EXPECT_EQ(pressAll(), "0123465801"); // before any line: three axes
    r.handle(TwoAxis);
    EXPECT_EQ(pressAll(), "0122345801");
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(pressAll(), "0123465801");
    r.serial.pullCable();
    r.keypad.cmdABS_Click(); // a key that cannot reach the counter is told
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(standardDescription(err::DeviceGone)));
}
