#include "vx515sim/counter.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace vx::sim;

static Counter counterWith(int axes) {
    Counter counter({axes, Unit::Millimetre, 1});
    counter.setPosition(Axis::X, 10.0);
    counter.setPosition(Axis::Y, -4.0);
    counter.setPosition(Axis::Z, 30.0);
    return counter;
}

// Relative (r), diameter (d), inch (i), DIV waiting for an axis (v).
static std::string modes(const Counter& c) {
    return std::string(c.relative() ? "r" : "") + (c.diameter() ? "d" : "") +
           (c.unit() == Unit::Inch ? "i" : "") + (c.divPending() ? "v" : "");
}

// The key codes of each layout, as the program sends them, and the readings and modes they leave.
TEST(CounterKeys, EachLayoutActsOnItsOwnCodes) {
    const double skip = NAN;
    const struct {
        int axes;
        const char* keys;
        double x, y, z;
        const char* modes;
    } rows[] = {
        {3, "2", 10, -4, 0, ""},     // zero Z
        {2, "2", 20, -4, skip, "d"}, // diameter: X doubled
        {2, "1", 10, 0, skip, ""},
        {3, "61", 10, -2, 30, ""}, // DIV, then the axis to halve
        {3, "6", 10, -4, 30, "v"},
        {2, "2402", 5, -4, skip, ""}, // the shown, doubled reading is halved
        {3, "640", 0, -4, 30, "r"},   // another key cancels DIV and acts as itself
        {3, "4044", 0, -4, 30, "r"},  // relative and absolute keep their own origins
        {2, "303", 10, -4, skip, ""},
        {3, "5", 10 / 25.4, -4 / 25.4, 30 / 25.4, "i"},
        {3, "08", 10, -4, 30, ""}, // undo, one level
        {3, "358", 20, -4, 30, "d"},
        {3, "8", 10, -4, 30, ""},
        {3, "79A\r", 10, -4, 30, ""}, // no keys
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.axes) + " axes, keys " + row.keys);
        Counter counter = counterWith(row.axes);
        for (const char* key = row.keys; *key != '\0'; ++key)
            counter.key(*key);
        EXPECT_DOUBLE_EQ(counter.shown(Axis::X), row.x);
        EXPECT_DOUBLE_EQ(counter.shown(Axis::Y), row.y);
        if (!std::isnan(row.z)) {
            EXPECT_DOUBLE_EQ(counter.shown(Axis::Z), row.z);
        }
        EXPECT_EQ(modes(counter), row.modes);
    }
}

TEST(CounterPolls, AnswersShowTheStateThenDriftSlowlyAsTheSeedSays) {
    Counter counter = counterWith(3);
    counter.requestRecord();
    const std::string marked = counter.answerPoll();
    EXPECT_EQ(marked.substr(23, 1) + marked.substr(35, 1), "TT");
    EXPECT_EQ(counter.answerPoll()[23], ' ') << "the record marker is on one line only";

    Counter a({3, Unit::Millimetre, 7}), b({3, Unit::Millimetre, 7}), c({3, Unit::Millimetre, 8});
    std::string linesA, linesB, linesC;
    for (int i = 0; i < 50; ++i) {
        const double before = a.position(Axis::Y);
        linesA += a.answerPoll();
        EXPECT_LE(std::abs(a.position(Axis::Y) - before), 0.0031);
        linesB += b.answerPoll();
        linesC += c.answerPoll();
    }
    EXPECT_EQ(linesA, linesB);
    EXPECT_NE(linesA, linesC) << "another seed, another drift (and it drifts)";
}
