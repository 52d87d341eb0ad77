#include "vx515sim/counter.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace vx::sim {
namespace {

// A counter at known positions: X 10, Y -4, Z 30 mm.
Counter counterWith(int axes, Unit unit = Unit::Millimetre) {
    Counter counter({axes, unit, 1});
    counter.setPosition(Axis::X, 10.0);
    counter.setPosition(Axis::Y, -4.0);
    counter.setPosition(Axis::Z, 30.0);
    return counter;
}

void press(Counter& counter, const std::string& keys) {
    for (const char key : keys)
        ASSERT_TRUE(counter.key(key).known) << "key " << key;
}

TEST(CounterKeys, ZeroSetsOnlyThatAxisInEachLayout) {
    Counter three = counterWith(3);
    press(three, "2");
    EXPECT_DOUBLE_EQ(three.shown(Axis::Z), 0.0);
    EXPECT_DOUBLE_EQ(three.shown(Axis::X), 10.0);
    EXPECT_FALSE(three.diameter()) << "\"2\" is zero-Z on three axes";
    press(three, "01");
    EXPECT_DOUBLE_EQ(three.shown(Axis::X), 0.0);
    EXPECT_DOUBLE_EQ(three.shown(Axis::Y), 0.0);

    Counter two = counterWith(2);
    press(two, "2");
    EXPECT_TRUE(two.diameter()) << "\"2\" is diameter/radius on two axes";
    EXPECT_DOUBLE_EQ(two.shown(Axis::X), 20.0);
    EXPECT_DOUBLE_EQ(two.shown(Axis::Y), -4.0);
    press(two, "1");
    EXPECT_DOUBLE_EQ(two.shown(Axis::Y), 0.0);
}

TEST(CounterKeys, AbsoluteAndRelativeKeepTheirOwnOrigins) {
    for (const auto& [axes, absRel] : {std::pair{2, '3'}, std::pair{3, '4'}}) {
        SCOPED_TRACE(axes);
        Counter counter = counterWith(axes);
        press(counter, std::string(1, absRel));
        ASSERT_TRUE(counter.relative());
        press(counter, "0");
        EXPECT_DOUBLE_EQ(counter.shown(Axis::X), 0.0);
        press(counter, std::string(1, absRel));
        EXPECT_FALSE(counter.relative());
        EXPECT_DOUBLE_EQ(counter.shown(Axis::X), 10.0);
        counter.setPosition(Axis::X, 12.0);
        press(counter, std::string(1, absRel));
        EXPECT_DOUBLE_EQ(counter.shown(Axis::X), 2.0);
    }
}

TEST(CounterKeys, DivThenAxisHalvesTheShownReading) {
    Counter three = counterWith(3);
    press(three, "61");
    EXPECT_DOUBLE_EQ(three.shown(Axis::Y), -2.0);
    EXPECT_DOUBLE_EQ(three.shown(Axis::X), 10.0);
    press(three, "62");
    EXPECT_DOUBLE_EQ(three.shown(Axis::Z), 15.0);
    EXPECT_FALSE(three.divPending());

    // In diameter mode the shown (doubled) reading is what is halved.
    Counter two = counterWith(2);
    press(two, "240");
    EXPECT_DOUBLE_EQ(two.shown(Axis::X), 10.0);
    press(two, "2");
    EXPECT_DOUBLE_EQ(two.shown(Axis::X), 5.0);
}

TEST(CounterKeys, AnotherKeyCancelsDivAndActsAsItself) {
    Counter counter = counterWith(3);
    press(counter, "64");
    EXPECT_FALSE(counter.divPending());
    EXPECT_TRUE(counter.relative());
    press(counter, "0");
    EXPECT_DOUBLE_EQ(counter.shown(Axis::X), 0.0) << "zero, not halve, after the cancelled DIV";

    // A different counter on the cable forgets a DIV in progress.
    press(counter, "6");
    counter.setAxes(2);
    EXPECT_FALSE(counter.divPending());
}

TEST(CounterKeys, MetricImperialConvertsEveryReadingAndTheUnitColumn) {
    Counter counter = counterWith(3);
    press(counter, "5");
    EXPECT_EQ(counter.unit(), Unit::Inch);
    EXPECT_DOUBLE_EQ(counter.shown(Axis::Z), 30.0 / 25.4);
    const std::string inch = counter.line();
    EXPECT_EQ(inch.substr(1, 10), "    0.3937");
    EXPECT_EQ(inch.substr(25, 10), "    1.1811");
    EXPECT_EQ(inch[37], 'I');
    press(counter, "5");
    EXPECT_EQ(counter.line().substr(1, 10), "    10.000");
    EXPECT_EQ(counter.line()[37], 'M');
}

TEST(CounterKeys, UndoRevertsTheLastKeyOneLevel) {
    Counter counter = counterWith(3);
    press(counter, "08");
    EXPECT_DOUBLE_EQ(counter.shown(Axis::X), 10.0);
    EXPECT_EQ(counter.key('8').text, "undo: nothing to undo");

    press(counter, "618");
    EXPECT_DOUBLE_EQ(counter.shown(Axis::Y), -4.0) << "DIV and its axis undo as one";
    EXPECT_FALSE(counter.divPending());

    press(counter, "358");
    EXPECT_EQ(counter.unit(), Unit::Millimetre);
    EXPECT_TRUE(counter.diameter()) << "only the last key is undone";

    Counter two = counterWith(2);
    press(two, "28");
    EXPECT_FALSE(two.diameter());
}

TEST(CounterKeys, UnknownBytesChangeNothing) {
    Counter three = counterWith(3);
    Counter two = counterWith(2);
    const std::string threeBefore = three.line();
    const std::string twoBefore = two.line();
    for (const char code : {'7', '9', 'A', '\r'}) {
        EXPECT_FALSE(three.key(code).known) << code;
        EXPECT_FALSE(two.key(code).known) << code;
    }
    EXPECT_FALSE(two.key('6').known) << "two axes have no key 6";
    EXPECT_EQ(three.line(), threeBefore);
    EXPECT_EQ(two.line(), twoBefore);
}

TEST(CounterPolls, AnswerShowsTheStateThenDriftsSlowly) {
    Counter counter = counterWith(3);
    press(counter, "0");
    counter.requestRecord();
    const std::string first = counter.answerPoll();
    EXPECT_EQ(first.substr(1, 10), "     0.000");
    EXPECT_EQ(first[23], 'T');
    EXPECT_EQ(first[35], 'T');
    EXPECT_EQ(counter.answerPoll()[23], ' ') << "the record marker is on one line only";

    bool moved = false;
    for (int i = 0; i < 50; ++i) {
        const double before = counter.position(Axis::Y);
        counter.answerPoll();
        const double step = std::abs(counter.position(Axis::Y) - before);
        EXPECT_LE(step, 0.0031);
        moved = moved || step > 0.0;
    }
    EXPECT_TRUE(moved);
}

TEST(CounterPolls, DriftDependsOnTheSeedOnly) {
    Counter a({3, Unit::Millimetre, 42});
    Counter b({3, Unit::Millimetre, 42});
    Counter c({3, Unit::Millimetre, 43});
    std::string linesA, linesB, linesC;
    for (int i = 0; i < 20; ++i) {
        linesA += a.answerPoll();
        linesB += b.answerPoll();
        linesC += c.answerPoll();
    }
    EXPECT_EQ(linesA, linesB);
    EXPECT_NE(linesA, linesC);
}

} // namespace
} // namespace vx::sim
