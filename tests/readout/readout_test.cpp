#include "readout_rig.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

using Op = ScriptedSerial::Op;

struct ReadoutTest : ::testing::Test {
    ReadoutRig r;

    // The window's caption and the unit shown, by identity (a caption that is not the one of its
    // state shows as itself; the unit starred in magenta), the hidden controls in the order of
    // definition and the frames' heights.
    QString layout() {
        const QString& caption = r.form.window.caption();
        const QString axes = caption == MainForm::axesCaption(true)    ? "three"
                             : caption == MainForm::axesCaption(false) ? "two"
                                                                       : caption;
        const MainForm::Unit unit = r.form.unit();
        QString shownUnit = unit == MainForm::Unit::Metric     ? "mm"
                            : unit == MainForm::Unit::Imperial ? "in"
                                                               : "";
        if (r.form.lab公英制.caption() != MainForm::unitCaption(unit))
            shownUnit += "(" + r.form.lab公英制.caption() + ")";
        const QString star = r.form.lab公英制.foreColor() == color::Magenta ? "*" : "";
        QStringList shown{axes, shownUnit + star};
        for (Control* control : r.form.controls())
            if (!control->visible())
                shown << control->name();
        for (Control* frame : {&r.form.Frame歸零, &r.form.Frame顯示, &r.form.Frame功能鍵})
            shown << QString::number(frame->height());
        return shown.join(' ');
    }
    void lock() { r.keypad.mnu鎖住按鍵_Click(); }
    int polls() { return static_cast<int>(r.serial.written().count('O')); }
    VbColor readings() { return r.form.labX顯示.foreColor(); }
    const std::vector<ScriptedDialogs::Message>& told() { return r.rig.dialogs.messages; }
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

// Each line sets the layout and the unit (a two-axis line shows none and leaves its colour); a
// three-axis line while the keypad is locked leaves the layout alone, and unlocking shows the keys.
TEST_F(ReadoutTest, EachLineArrangesTheWindowForItsAxesUnlessTheKeypadIsLocked) {
    const QString three = "three %1 3375 3375 3375";
    const QString two = "two * cmdZ labZ顯示 cmdIM cmdTF 2295 2295 2295";
    const QString keys = "%1 Frame歸零 cmdX cmdY cmdZ %2cmdDR cmdDIV cmdABS cmdIM cmdTF %3";
    const std::pair<std::function<void()>, QString> steps[] = {
        {[&] { r.handle(ThreeAxisInch); }, three.arg("in*")},
        {[&] { r.handle(TwoAxis); }, two},
        {[&] { r.handle(ThreeAxisMetric); }, three.arg("mm")},
        {[&] { lock(); }, keys.arg("three mm", "", "3375 3375 3375")},
        {[&] { r.handle(TwoAxis); }, keys.arg("two ", "labZ顯示 ", "2295 2295 2295")},
        {[&] { r.handle(ThreeAxisMetric); }, keys.arg("two mm", "labZ顯示 ", "2295 2295 2295")},
        {[&] { lock(); }, "two mm labZ顯示 2295 2295 2295"},
        {[&] { r.handle(ThreeAxisMetric); }, three.arg("mm")},
    };
    for (const auto& [step, expected] : steps) {
        step();
        EXPECT_EQ(layout(), expected);
    }
    EXPECT_TRUE(r.form.cmdRS.visible() && r.form.CmdHalt.visible());
    EXPECT_EQ(r.form.labY顯示.caption(), "   250.000");
}

// Without a log file the count shows 0 and nothing beeps.
TEST_F(ReadoutTest, RecordsAreTheLineThenCrLfCountedAndBeepedOncePerLine) {
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

// The disk fills part way through the second record, or the log was deleted or replaced while
// open: it is told, not counted, not beeped, and nothing of it is left in the file.
TEST_F(ReadoutTest, RecordThatCannotBeWrittenWholeIsToldAndNotCounted) {
    const std::pair<std::function<void(ReadoutRig&)>, int> faults[] = {
        {[](ReadoutRig& t) { t.rig.files.fillDiskAfter(15); }, err::DiskFull},
#ifndef _WIN32 // Windows lets nobody delete or replace a file that the program holds open
        {[](ReadoutRig& t) { QFile::remove(t.logPath()); }, err::FileNotFound},
        {[](ReadoutRig& t) { QFile::remove(t.logPath()), writeFileBytes(t.logPath(), ""); },
         err::FileNotFound},
#endif
    };
    for (const auto& [fault, number] : faults) {
        ReadoutRig t;
        t.openLog();
        t.state.recordRequest = true;
        t.handle(ThreeAxisMetric);
        fault(t);
        t.state.recordRequest = true;
        t.handle(ThreeAxisInch);
        EXPECT_EQ(t.form.lab計數顯示.caption(), "1");
        EXPECT_EQ(t.rig.sound.beeps, 1);
        ASSERT_EQ(t.rig.dialogs.messages.size(), 1U);
        EXPECT_TRUE(t.rig.dialogs.messages[0].prompt.contains(standardDescription(number)));
        EXPECT_FALSE(t.logBytes().contains(ThreeAxisInch));
    }
}

// Pending events run while the readings paint: RS pressed then records this line.
TEST_F(ReadoutTest, RsPressedWhileTheReadingsPaintRecordsThisLine) {
    r.openLog();
    r.rig.events.onDoEvents = [&] { r.keypad.cmdRS_Click(); };
    r.handle(ThreeAxisMetric);
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
}

TEST_F(ReadoutTest, KeysSendTheCodesOfTheLastLinesAxisCount) {
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

// A poll that went unanswered until the next one greys the readings, until a line comes.
TEST_F(ReadoutTest, SilentCounterIsPolledAgainOnThe27thEmptyTick) {
    for (int tick = 1; tick <= 26; ++tick)
        r.tick();
    EXPECT_EQ(polls(), 0);
    for (int tick = 0; tick <= 27; ++tick)
        r.tick();
    EXPECT_EQ(polls(), 2);
    EXPECT_EQ(readings(), color::Grey);
    r.serial.feed(ThreeAxisMetric);
    r.tick();
    EXPECT_EQ(readings(), color::ButtonText);
}

// 84 bytes come in two reads of at most 50 in one tick: each complete line is a frame of its own,
// and one that is no frame is dropped; a poll answers each frame; the rest waits for its line end.
TEST_F(ReadoutTest, EachLineIsAFrameOfItsOwnAndTheRestWaitsForItsEnd) {
    r.openLog();
    r.state.idleTicks = 20;
    r.state.recordRequest = true;
    r.serial.feed(ThreeAxisMetric + TwoAxis + "x 1.000\n" + ThreeAxisInch.left(10));
    r.tick();
    EXPECT_EQ(r.state.idleTicks, 20); // arriving data does not reset the idle count
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
    EXPECT_EQ(r.form.資料顯示窗.caption(), QString::fromLatin1(TwoAxis));
    EXPECT_EQ(polls(), 2);
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisInch.left(10));
    r.serial.feed(ThreeAxisInch.mid(10));
    r.tick();
    EXPECT_EQ(r.form.labX顯示.caption(), "    1.2346");
    EXPECT_EQ(polls(), 3);
    // A line that lost bytes to a full input buffer is no line, neither its start nor its end.
    r.state.recordRequest = true;
    r.serial.feed(ThreeAxisInch.left(20) + QByteArray(3000, '9') + "\n");
    r.tick();
    r.serial.feed(QByteArray(500, '9') + "\n" + TwoAxis);
    r.tick();
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n");
    for (int i = 0; i < 100; ++i) { // a line that never ends is dropped, not kept without bound
        r.serial.feed(QByteArray(50, 'X'));
        r.tick();
    }
    EXPECT_LE(r.state.frameBuffer.size(), PollCycle::MaxFrameBytes);
    r.state.recordRequest = true; // and its end, that may begin with an X, is no line either
    r.serial.feed(QByteArray(30, 'X') + "\n" + TwoAxis);
    r.tick();
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n" + TwoAxis + "\r\n");
}

// Only a frame answers a poll, and the idle poll goes out only for one unanswered as long: with a
// counter that answers by the next tick or every other one, one poll is outstanding at any time.
TEST_F(ReadoutTest, OnePollIsOutstandingAtAnyTimeWhateverLinesOfNoiseCome) {
    for (const int every : {1, 2}) {
        ReadoutRig t;
        int asked = 1; // the start-up's poll
        t.serial.onOutput = [&](int, const QByteArray& bytes) { asked += bytes.count('O'); };
        t.serial.feed(QByteArray("#noise\n").repeated(40));
        for (int tick = 1; tick <= 80; ++tick) {
            ASSERT_LE(asked, 1) << "tick " << tick << ", an answer every " << every;
            if (tick % every == 0)
                t.serial.feed(ThreeAxisMetric.repeated(std::exchange(asked, 0)));
            t.tick();
        }
    }
}

// The box is told with the port closed and the readings grey; no tick runs behind it; after OK the
// port is open again, and half a line from before the pull never joins the next one.
TEST_F(ReadoutTest, PulledCableIsToldTheReadingsGreyAndTheHalfLineNeverJoinsTheNext) {
    r.openLog();
    r.serial.feed(ThreeAxisMetric + ThreeAxisMetric.left(10));
    r.tick();
    r.serial.pullCable();
    bool tickDuringBox = true;
    r.rig.dialogs.whileMessageOpen = [&](const ScriptedDialogs::Message&) {
        EXPECT_FALSE(r.serial.portOpen());
        EXPECT_EQ(readings(), color::Grey);
        tickDuringBox = r.tick();
    };
    r.tick();
    ASSERT_EQ(told().size(), 1U);
    EXPECT_EQ(told()[0].prompt, PollCycle::linkLostMessage());
    EXPECT_FALSE(tickDuringBox);
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(readings(), color::Grey); // until a line comes
    r.state.recordRequest = true;
    r.serial.feed(ThreeAxisInch);
    r.tick();
    EXPECT_EQ(r.logBytes(), ThreeAxisInch + "\r\n");
    EXPECT_EQ(readings(), color::ButtonText);
}

// Still away after OK: told once, later ticks open the port when it is back. Back but held by
// another program is no cable, and the status bar says so.
TEST_F(ReadoutTest, CounterStillAwayAfterOkIsOpenedByLaterTicksWhenItComesBack) {
    r.serial.pullCable();
    r.rig.dialogs.whileMessageOpen = [&](const ScriptedDialogs::Message&) {
        r.serial.removePort(1);
    };
    r.rig.clock.time = QStringLiteral("08:00:01");
    for (int i = 0; i < 3; ++i)
        r.tick();
    EXPECT_EQ(told().size(), 1U);
    EXPECT_EQ(r.host.unloads, 0);
    EXPECT_EQ(r.panel(1), MainForm::linkStatusText(PollCycle::linkLostMessage(), "08:00:01"));
    r.serial.holdPort(1);
    for (const char* time : {"08:00:05", "08:00:06"}) {
        r.rig.clock.time = QString::fromLatin1(time);
        r.tick();
    }
    EXPECT_EQ(r.panel(1),
              MainForm::linkStatusText(standardDescription(err::PortInUse), "08:00:05"));
    r.serial.addPort(1);
    r.rig.clock.time = QStringLiteral("08:00:09");
    r.tick();
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(r.panel(1), MainForm::linkStatusText(PollCycle::linkBackMessage(), "08:00:09"));
}

// 8002 in a tick is told and the port opened again; a closed port ends the program, saying why.
TEST_F(ReadoutTest, InvalidPortIsToldAndOpenedAgainAndAClosedPortEndsTheProgram) {
    r.serial.setPortOpen(false);
    r.serial.failNext(Op::InBufferCount, err::InvalidPortNumber);
    r.tick();
    ASSERT_EQ(told().size(), 1U);
    EXPECT_EQ(told()[0].title, PollCycle::linkLostTitle());
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(r.host.unloads, 0);
    r.serial.setPortOpen(false);
    r.tick();
    EXPECT_EQ(told().size(), 2U);
    EXPECT_EQ(r.host.unloads, 1);
}

TEST_F(ReadoutTest, OtherErrorsEndTheTickQuietlyAndUndoNothing) {
    r.serial.feed(ThreeAxisMetric.left(20));
    r.tick();
    r.serial.feed(ThreeAxisMetric.mid(20));
    r.serial.failNext(Op::Input, err::CommReadFailed);
    r.tick();
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisMetric.left(20));
    r.tick(); // the next tick completes the line
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    r.serial.feed(TwoAxis);
    r.serial.failNext(Op::Output, err::CommWriteFailed);
    r.tick(); // the answering poll fails after the line was handled and emptied
    EXPECT_TRUE(r.state.twoAxis);
    EXPECT_TRUE(r.state.frameBuffer.isEmpty());
    EXPECT_EQ(polls(), 1);
    EXPECT_TRUE(told().empty());
}

// Halt turns the readings red and stops the ticks; Go drops what was half received or asked for,
// and without a port the readings it brings back are grey.
TEST_F(ReadoutTest, HaltAndGo) {
    r.serial.feed(ThreeAxisMetric.left(20));
    r.tick();
    r.keypad.cmdRS_Click();
    r.keypad.CmdHalt_Click();
    EXPECT_TRUE(r.state.paused);
    EXPECT_EQ(r.form.CmdHalt.caption(), MainForm::haltCaption(true));
    EXPECT_EQ(readings(), color::Red);
    EXPECT_FALSE(r.tick());
    r.keypad.CmdHalt_Click();
    EXPECT_FALSE(r.state.paused);
    EXPECT_EQ(r.form.CmdHalt.caption(), MainForm::haltCaption(false));
    EXPECT_EQ(r.form.labZ顯示.foreColor(), color::ButtonText);
    r.openLog();
    r.serial.feed(ThreeAxisMetric);
    EXPECT_TRUE(r.tick());
    EXPECT_EQ(r.logBytes(), "");
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    r.form.markReadingsStale(); // the counter went silent, then a pause: Go keeps them grey
    r.keypad.CmdHalt_Click();
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.labY顯示.foreColor(), color::Grey);
    r.form.markReadingsFresh();
    r.keypad.CmdHalt_Click();
    r.serial.setPortOpen(false);
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.labY顯示.foreColor(), color::Grey);
}

// Handlers that run while the first of two lines is shown: a pause lets the tick finish; a closed
// window is left alone (its layout step does not run); a port closed under the tick (and opened
// again) ends it with no poll and no message.
TEST(PollCycleEvents, HandlersRunDuringAFrame) {
    struct Row {
        std::function<void(ReadoutRig&)> during;
        int polls;
        bool threeAxesShown;
    };
    const Row rows[] = {
        {[](ReadoutRig& t) {
             if (!t.state.paused)
                 t.keypad.CmdHalt_Click();
         },
         2, true},
        {[](ReadoutRig& t) { t.form.window.unload(); }, 0, true},
        {[](ReadoutRig& t) { t.serial.setPortOpen(false); }, 0, false},
        {[](ReadoutRig& t) { t.serial.setPortOpen(false), t.serial.setPortOpen(true); }, 0, false},
    };
    for (const Row& row : rows) {
        ReadoutRig t;
        t.rig.events.onDoEvents = [&] { row.during(t); };
        t.serial.feed(TwoAxis + ThreeAxisMetric);
        t.tick();
        EXPECT_EQ(t.serial.written().count('O'), row.polls);
        EXPECT_EQ(t.form.window.caption(), MainForm::axesCaption(row.threeAxesShown));
        EXPECT_TRUE(t.rig.dialogs.messages.empty());
    }
}
