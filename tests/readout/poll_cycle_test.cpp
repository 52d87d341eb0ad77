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
};

} // namespace

TEST_F(PollCycleTest, SilentCounterIsPolledAgainOnEvery27thEmptyTick) {
    std::vector<int> pollTicks;
    std::vector<int> idle;
    for (int tick = 1; tick <= 82; ++tick) {
        const int before = polls();
        r.tick();
        if (polls() > before)
            pollTicks.push_back(tick);
        idle.push_back(r.state.idleTicks);
    }
    EXPECT_EQ(pollTicks, (std::vector<int>{27, 54, 81}));
    EXPECT_EQ(idle[0], 1);
    EXPECT_EQ(idle[25], 26);
    EXPECT_EQ(idle[26], 0);
    EXPECT_EQ(idle[27], 1);
    EXPECT_EQ(readings(), color::Grey); // unanswered polls: the readings are no longer live
    r.serial.feed(ThreeAxisMetric);
    r.tick();
    EXPECT_EQ(readings(), color::ButtonText);
}

TEST_F(PollCycleTest, EachLineOfAReadIsAFrameOfItsOwnAndTheRestWaitsForItsEnd) {
    r.openLog();
    r.serial.setInputLen(100);
    r.state.idleTicks = 20;
    r.state.recordRequest = true;
    r.serial.feed(ThreeAxisMetric + TwoAxis + ThreeAxisInch.left(10));
    r.tick();
    EXPECT_EQ(r.state.idleTicks, 20); // arriving data does not reset the idle count
    EXPECT_EQ(r.logBytes(), ThreeAxisMetric + "\r\n");
    EXPECT_EQ(r.form.window.caption(), "二軸顯示");
    EXPECT_EQ(r.rig.events.calls, 2);
    EXPECT_EQ(polls(), 2);
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisInch.left(10));
    r.serial.feed(ThreeAxisInch.mid(10));
    r.tick();
    EXPECT_EQ(r.form.labX顯示.caption(), "    1.2346");
    EXPECT_TRUE(r.state.frameBuffer.isEmpty());
    EXPECT_EQ(polls(), 3);
}

TEST_F(PollCycleTest, LinesThatAreNoFrameAreDroppedAndStillAnswered) {
    for (const QByteArray& noise : {QByteArray(" X 1.000\r\n"), QByteArray("x   1.000\n"),
                                    QByteArray("\xff\x00garbage\n", 10), QByteArray("\n")}) {
        r.serial.feed(noise);
        r.tick();
    }
    EXPECT_EQ(r.form.資料顯示窗.caption(), "無資料輸入");
    EXPECT_EQ(r.form.labX顯示.caption(), "");
    EXPECT_TRUE(r.state.frameBuffer.isEmpty());
    EXPECT_EQ(polls(), 4);
}

TEST_F(PollCycleTest, LongLinesArriveInReadsOfFiftyAndEndTheLineOnlyAtTheLineFeed) {
    const QByteArray longLine = ThreeAxisMetric.left(38) + QByteArray(30, ' ') + "\r\n";
    r.serial.feed(longLine);
    r.tick();
    EXPECT_EQ(r.state.lastChunk, longLine.mid(50));
    EXPECT_EQ(r.form.資料顯示窗.caption(), QString::fromLatin1(longLine));
}

TEST_F(PollCycleTest, EndlessLineIsDroppedNotKeptWithoutBound) {
    for (int i = 0; i < 200; ++i) {
        r.serial.feed(QByteArray(50, 'X'));
        r.tick();
        ASSERT_LE(r.state.frameBuffer.size(), PollCycle::MaxFrameBytes + 50);
    }
    r.serial.feed(QByteArray("\n"));
    r.tick();
    r.serial.feed(ThreeAxisMetric);
    r.tick();
    EXPECT_EQ(r.form.labZ顯示.caption(), "     0.001");
}

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
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(r.rig.dialogs.messages[0].prompt, "USB斷線或Vx515沒開機");
    EXPECT_EQ(r.rig.dialogs.messages[0].title, "USB無信號");
    EXPECT_EQ(r.rig.dialogs.messages[0].type, mb::Exclamation);
    EXPECT_FALSE(tickDuringBox);
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(readings(), color::Grey);                       // until a line comes
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisMetric.left(10)); // an error undoes nothing
    r.state.recordRequest = true;
    r.serial.feed(ThreeAxisInch);
    r.tick();
    EXPECT_EQ(r.logBytes(), ThreeAxisInch + "\r\n");
    EXPECT_EQ(readings(), color::ButtonText);
}

TEST_F(PollCycleTest, CounterStillAwayAfterOkIsOpenedByLaterTicksWhenItComesBack) {
    r.serial.pullCable();
    r.rig.dialogs.whileMessageOpen = [&](const ScriptedDialogs::Message&) {
        r.serial.removePort(1);
    };
    r.rig.clock.time = QStringLiteral("08:00:01");
    r.tick();
    EXPECT_FALSE(r.serial.portOpen());
    EXPECT_EQ(r.panel(1), "USB斷線或Vx515沒開機08:00:01");
    for (int i = 0; i < 5; ++i)
        r.tick();
    EXPECT_EQ(r.rig.dialogs.messages.size(), 1U); // told once, the program stays
    EXPECT_EQ(r.host.unloads, 0);
    r.serial.addPort(1); // back, but another program has it first: that is no cable
    r.serial.failNext(Op::Open, err::PortInUse, 2);
    for (const char* time : {"08:00:05", "08:00:06"}) {
        r.rig.clock.time = QString::fromLatin1(time);
        r.tick();
    }
    EXPECT_EQ(r.panel(1), "傳輸埠正被其他程式使用08:00:05");
    r.rig.clock.time = QStringLiteral("08:00:09");
    r.tick();
    EXPECT_TRUE(r.serial.portOpen());
    EXPECT_EQ(r.panel(1), "USB已重新連線08:00:09");
    r.serial.feed(ThreeAxisMetric);
    r.tick();
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
}

TEST_F(PollCycleTest, InvalidPortIsToldAndThePortOpenedAgain) {
    r.serial.setPortOpen(false);
    r.serial.failNext(Op::InBufferCount, err::InvalidPortNumber);
    r.tick();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(r.rig.dialogs.messages[0].title, "USB無信號");
    EXPECT_TRUE(r.serial.portOpen());
}

TEST_F(PollCycleTest, ClosedPortEndsTheProgramAfterSayingWhy) {
    r.serial.setPortOpen(false);
    r.tick();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(r.rig.dialogs.messages[0].title, "USB無信號");
    EXPECT_EQ(r.host.unloads, 1);
    EXPECT_FALSE(r.form.window.loaded());
}

TEST_F(PollCycleTest, OtherErrorsEndTheTickQuietlyAndUndoNothing) {
    r.serial.feed(ThreeAxisMetric.left(20));
    r.tick();
    r.serial.feed(ThreeAxisMetric.mid(20));
    r.serial.failNext(Op::Input, err::CommReadFailed);
    r.tick();
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisMetric.left(20));
    EXPECT_EQ(polls(), 0);
    r.tick(); // the next tick starts again and completes the line
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
    EXPECT_EQ(polls(), 1);
    r.serial.feed(TwoAxis);
    r.serial.failNext(Op::Output, err::CommWriteFailed);
    r.tick(); // the answering poll fails after the line was handled and emptied
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
    EXPECT_EQ(r.form.window.caption(), "二軸顯示");
    EXPECT_TRUE(r.state.frameBuffer.isEmpty());
    EXPECT_EQ(polls(), 1);
}

TEST_F(PollCycleTest, PauseStopsTheTicksAndContinueDropsWhatWasHalfReceived) {
    r.serial.feed(ThreeAxisMetric.left(20));
    r.tick();
    r.keypad.cmdRS_Click();
    r.keypad.CmdHalt_Click();
    EXPECT_FALSE(r.tick());
    r.keypad.CmdHalt_Click();
    EXPECT_TRUE(r.state.frameBuffer.isEmpty());
    r.openLog();
    r.serial.feed(ThreeAxisMetric);
    EXPECT_TRUE(r.tick());
    EXPECT_EQ(r.logBytes(), ""); // the record asked for before the pause is not written
    EXPECT_EQ(r.form.labX顯示.caption(), "   -12.345");
}

TEST_F(PollCycleTest, PauseDuringTheFrameLetsTheTickFinish) {
    r.rig.events.onDoEvents = [&] {
        if (r.form.CmdHalt.caption() == "Halt")
            r.keypad.CmdHalt_Click();
    };
    r.serial.feed(TwoAxis + TwoAxis); // the second line is shown while paused
    r.tick();
    EXPECT_FALSE(r.form.Timer1.enabled());
    EXPECT_EQ(r.form.window.caption(), "二軸顯示"); // the layout step still ran
    EXPECT_EQ(readings(), color::Red);
    EXPECT_EQ(polls(), 2);
}

TEST_F(PollCycleTest, WindowClosedDuringTheFrameEndsTheTickUntouched) {
    r.rig.events.onDoEvents = [&] { r.form.window.unload(); };
    r.serial.feed(ThreeAxisMetric);
    r.tick();
    EXPECT_EQ(polls(), 0);
    EXPECT_EQ(r.state.frameBuffer, ThreeAxisMetric);
}

TEST_F(PollCycleTest, PortChangedDuringTheFrameEndsTheTickQuietly) {
    for (const bool reopened : {false, true}) {
        ReadoutRig t;
        t.rig.events.onDoEvents = [&] {
            t.serial.setPortOpen(false);
            if (reopened)
                t.serial.setPortOpen(true);
        };
        t.serial.setInputLen(100);
        t.serial.feed(ThreeAxisMetric + TwoAxis);
        t.tick();
        EXPECT_TRUE(t.serial.written().isEmpty()) << reopened;
        EXPECT_TRUE(t.rig.dialogs.messages.empty()) << reopened;
        EXPECT_EQ(t.host.unloads, 0);
        EXPECT_EQ(t.form.window.caption(), "三軸顯示") << reopened; // the old port's next line
    }
}
