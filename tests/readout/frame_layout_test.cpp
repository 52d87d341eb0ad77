#include "readout/frame_layout.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(FrameLayout, FieldsAreCutByColumnAndShortenWhereTheLineEnds) {
    const QByteArray line = "X   -12.345 Y   250.000TZ     0.001T M\r\n";
    struct Row {
        int column, width;
        QByteArray expected;
    };
    const Row rows[] = {
        {2, 10, "   -12.345"}, {14, 10, "   250.000"}, {26, 10, "     0.001"}, {1, 1, "X"},
        {39, 10, "\r\n"},      {40, 10, "\n"},         {41, 10, ""},           {0, 5, ""},
        {200, 1, ""},
    };
    for (const Row& row : rows)
        EXPECT_EQ(frame::field(line, row.column, row.width), row.expected)
            << row.column << "," << row.width;
    EXPECT_EQ(frame::field("X  12", 2, 10), "  12");
}

TEST(FrameLayout, MarkersCompareExactlyAndOnlyWhereTheLineReaches) {
    const QByteArray line = "X   -12.345 Y   250.000tZ     0.001T m\r\n";
    EXPECT_TRUE(frame::hasMarker(line, 1, 'X'));
    EXPECT_FALSE(frame::hasMarker(line, 24, 'T')); // lower case does not count
    EXPECT_TRUE(frame::hasMarker(line, 25, 'Z'));
    EXPECT_TRUE(frame::hasMarker(line, 36, 'T'));
    EXPECT_FALSE(frame::hasMarker(line, 38, 'M'));
    EXPECT_FALSE(frame::hasMarker("X  12", 25, 'Z'));
    EXPECT_FALSE(frame::hasMarker("", 1, 'X'));
}
