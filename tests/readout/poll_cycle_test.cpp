#include "readout_rig.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

using Op = ScriptedSerial::Op;

struct PollCycleTest : ::testing::Test {
    ReadoutRig r;
    int polls() { return static_cast<int>(r.serial.written().count('O')); }
    VbColor readings() { return r.form.labX顯示.foreColor(); }
    const std::vector<ScriptedDialogs::Message>& told() { return r.rig.dialogs.messages; }
};

} // namespace

// A poll that went unanswered until the next one greys the readings, until a line comes.
TEST_F(PollCycleTest, SilentCounterIsPolledAgainOnThe27thEmptyTick) {
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
// and one that is no frame is dropped; each is answered by a poll; the rest waits for its line end.
TEST_F(PollCycleTest, EachLineIsAFrameOfItsOwnAndTheRestWaitsForItsEnd) {
    r.openLog();
    r.state.idleTicks = 20;
    r.state.recordRequest = true;
    r.serial.feed(ThreeAxisMetric + TwoAxis + "x 1.000\n" + ThreeAxisInch.left(10));
    r.tick();
    EXPECT_EQ(r.state.idleTicks, 20); // arriving data does not reset the idle count
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
    EXPECT_EQ(r.form.資料顯示窗.caption(), QString::fromLatin1(TwoAxis));
    EXPECT_EQ(r.form.window.caption(), "二軸顯示");
    EXPECT_EQ(polls(), 3);
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisInch.left(10));
    r.serial.feed(ThreeAxisInch.mid(10));
    r.tick();
    EXPECT_EQ(r.form.labX顯示.caption(), "    1.2346");
    EXPECT_EQ(polls(), 4);
}

TEST_F(PollCycleTest, EndlessLineIsDroppedNotKeptWithoutBound) {
    for (int i = 0; i < 100; ++i) {
        r.serial.feed(QByteArray(50, 'X'));
        r.tick();
    }
    EXPECT_LE(r.state.frameBuffer.size(), PollCycle::MaxFrameBytes);
}

// The box is told with the port closed and the readings grey; no tick runs behind it; after OK the
// port is open again, and half a line from before the pull never joins the next one.
TEST_F(PollCycleTest, PulledCableIsToldTheReadingsGreyAndTheHalfLineNeverJoinsTheNext) {
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
    EXPECT_EQ(told()[0].prompt, "USB斷線或Vx515沒開機");
    EXPECT_EQ(told()[0].title, "USB無信號");
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
TEST_F(PollCycleTest, CounterStillAwayAfterOkIsOpenedByLaterTicksWhenItComesBack) {
    r.serial.pullCable();
    r.rig.dialogs.whileMessageOpen = [&](const ScriptedDialogs::Message&) {
        r.serial.removePort(1);
    };
    r.rig.clock.time = QStringLiteral("08:00:01");
    for (int i = 0; i < 3; ++i)
        r.tick();
    EXPECT_EQ(told().size(), 1U);
    EXPECT_EQ(r.host.unloads, 0);
    EXPECT_EQ(r.panel(1), "USB斷線或Vx515沒開機08:00:01");
    r.serial.holdPort(1);
    for (const char* time : {"08:00:05", "08:00:06"}) {
        r.rig.clock.time = QString::fromLatin1(time);
        r.tick();
    }
    EXPECT_EQ(r.panel(1), "傳輸埠正被其他程式使用08:00:05");
    r.serial.addPort(1);
    r.rig.clock.time = QStringLiteral("08:00:09");
    r.tick();
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(r.panel(1), "USB已重新連線08:00:09");
}

// 8002 in a tick is told and the port opened again; a closed port ends the program, saying why.
TEST_F(PollCycleTest, InvalidPortIsToldAndOpenedAgainAndAClosedPortEndsTheProgram) {
    r.serial.setPortOpen(false);
    r.serial.failNext(Op::InBufferCount, err::InvalidPortNumber);
    r.tick();
    ASSERT_EQ(told().size(), 1U);
    EXPECT_EQ(told()[0].title, "USB無信號");
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(r.host.unloads, 0);
    r.serial.setPortOpen(false);
    r.tick();
    ASSERT_EQ(told().size(), 2U);
    EXPECT_EQ(told()[1].title, "USB無信號");
    EXPECT_EQ(r.host.unloads, 1);
}

TEST_F(PollCycleTest, OtherErrorsEndTheTickQuietlyAndUndoNothing) {
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
    EXPECT_EQ(r.form.window.caption(), "二軸顯示");
    EXPECT_TRUE(r.state.frameBuffer.isEmpty());
    EXPECT_EQ(polls(), 1);
    EXPECT_TRUE(told().empty());
}

// Halt turns the readings red and stops the ticks; Go drops what was half received or asked for,
// and without a port the readings it brings back are grey.
TEST_F(PollCycleTest, HaltAndGo) {
    r.serial.feed(ThreeAxisMetric.left(20));
    r.tick();
    r.keypad.cmdRS_Click();
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.CmdHalt.caption(), "Go");
    EXPECT_EQ(readings(), color::Red);
    EXPECT_FALSE(r.tick());
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.CmdHalt.caption(), "Halt");
    EXPECT_EQ(r.form.labZ顯示.foreColor(), color::ButtonText);
    r.openLog();
    r.serial.feed(ThreeAxisMetric);
    EXPECT_TRUE(r.tick());
    EXPECT_EQ(r.logBytes(), "");
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    r.keypad.CmdHalt_Click();
    r.serial.setPortOpen(false);
    r.keypad.CmdHalt_Click();
    EXPECT_EQ(r.form.labY顯示.foreColor(), color::Grey);
}

// Handlers that run while the first of two lines is shown: a pause lets the tick finish; a closed
// window or a port closed under the tick (and opened again) end it with no poll and no message.
TEST(PollCycleEvents, HandlersRunDuringAFrame) {
    struct Row {
        std::function<void(ReadoutRig&)> during;
        int polls;
        QString caption;
    };
    const Row rows[] = {
        {[](ReadoutRig& t) {
             if (t.form.CmdHalt.caption() == "Halt")
                 t.keypad.CmdHalt_Click();
         },
         2, "二軸顯示"},
        {[](ReadoutRig& t) { t.form.window.unload(); }, 0, "三軸顯示"},
        {[](ReadoutRig& t) { t.serial.setPortOpen(false); }, 0, "三軸顯示"},
        {[](ReadoutRig& t) { t.serial.setPortOpen(false), t.serial.setPortOpen(true); }, 0,
         "三軸顯示"},
    };
    for (const Row& row : rows) {
        ReadoutRig t;
        t.rig.events.onDoEvents = [&] { row.during(t); };
        t.serial.feed(ThreeAxisMetric + TwoAxis);
        t.tick();
        EXPECT_EQ(t.serial.written().count('O'), row.polls);
        EXPECT_EQ(t.form.window.caption(), row.caption);
        EXPECT_TRUE(t.rig.dialogs.messages.empty());
    }
}
