#include "form/frame_decoding.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {
using Unit = DecodedFrame::Unit;
} // namespace

TEST(FrameDecoding, ColumnsOfALine) {
    struct Row {
        QByteArray line;
        DecodedFrame expected;
    };
    const Row rows[] = {
        {"X   -12.345 Y   250.000 Z     0.001  M\r\n",
         {"   -12.345", "   250.000", "     0.001", true, Unit::Metric, false}},
        // A record mark in either column, alone; lower-case marks count for nothing.
        {"X     1.000 Y     2.000TZ     3.000  I\r\n",
         {"     1.000", "     2.000", "     3.000", true, Unit::Imperial, true}},
        {"X     1.000 Y     2.000 Z     3.000T M\r\n",
         {"     1.000", "     2.000", "     3.000", true, Unit::Metric, true}},
        {"X     1.000 Y     2.000tZ     3.000t m\r\n",
         {"     1.000", "     2.000", "     3.000", true, Unit::Imperial, false}},
        // Two axes: no unit whatever column 38 holds; the Z field is what the line has there.
        {"X     1.000 Y     2.000 z     3.000  M\r\n",
         {"     1.000", "     2.000", "     3.000", false, Unit::None, false}},
        {"X   -12.345 Y     7.500 \r\n",
         {"   -12.345", "     7.500", "\n", false, Unit::None, false}},
        {"X   -12.345 Y     7.500 \n", {"   -12.345", "     7.500", "", false, Unit::None, false}},
        // Short lines: fields shorten or are empty where the line ends.
        {"X  12", {"  12", "", "", false, Unit::None, false}},
        {"X     1.000 Y     2.000 Z     3.000\n",
         {"     1.000", "     2.000", "     3.000", true, Unit::Imperial, false}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(decodeFrame(row.line), row.expected) << row.line.constData();
}
