#include "vx515sim/line_format.h"

#include <gtest/gtest.h>

namespace vx::sim {
namespace {

// Columns counted from 1, as the program reads them.
std::string columns(const std::string& line, int first, int width = 1) {
    return line.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(width));
}

TEST(LineFormat, TwoAxisMetricLineColumnByColumn) {
    const std::string line = formatLine({2, -12.345, 7.5, 99.0, Unit::Millimetre, false});
    ASSERT_EQ(line.size(), 24u);
    EXPECT_EQ(columns(line, 1), "X");
    EXPECT_EQ(columns(line, 2, 10), "   -12.345");
    EXPECT_EQ(columns(line, 12, 2), " Y");
    EXPECT_EQ(columns(line, 14, 10), "     7.500");
    EXPECT_EQ(columns(line, 24), " ");
}

TEST(LineFormat, ThreeAxisImperialLineWithRecordMarker) {
    const std::string line = formatLine({3, 1.23456, -0.5, -123.4567, Unit::Inch, true});
    ASSERT_EQ(line.size(), 38u);
    EXPECT_EQ(columns(line, 1), "X");
    EXPECT_EQ(columns(line, 2, 10), "    1.2346");
    EXPECT_EQ(columns(line, 12, 2), " Y");
    EXPECT_EQ(columns(line, 14, 10), "   -0.5000");
    EXPECT_EQ(columns(line, 24), "T");
    EXPECT_EQ(columns(line, 25), "Z");
    EXPECT_EQ(columns(line, 26, 10), " -123.4567");
    EXPECT_EQ(columns(line, 36), "T");
    EXPECT_EQ(columns(line, 37), " ");
    EXPECT_EQ(columns(line, 38), "I");
}

TEST(LineFormat, ThreeAxisMetricLineWithoutRecord) {
    const std::string line = formatLine({3, 0.0, 250.0, 0.001, Unit::Millimetre, false});
    ASSERT_EQ(line.size(), 38u);
    EXPECT_EQ(line, "X     0.000 Y   250.000 Z     0.001  M");
}

TEST(LineFormat, ReadingsRoundWithoutNegativeZero) {
    EXPECT_EQ(formatReading(1.2345, Unit::Millimetre), "     1.235");
    EXPECT_EQ(formatReading(-0.0004, Unit::Millimetre), "     0.000");
    EXPECT_EQ(formatReading(-0.00004, Unit::Inch), "    0.0000");
    EXPECT_EQ(formatReading(-0.0006, Unit::Millimetre), "    -0.001");
    EXPECT_EQ(formatReading(0.07, Unit::Inch), "    0.0700");
}

TEST(LineFormat, LargeReadingsFillTheColumnsAndSaturateBeyond) {
    EXPECT_EQ(formatReading(99999.999, Unit::Millimetre), " 99999.999");
    EXPECT_EQ(formatReading(-99999.999, Unit::Millimetre), "-99999.999");
    EXPECT_EQ(formatReading(1e6, Unit::Millimetre), " 99999.999");
    EXPECT_EQ(formatReading(-1e300, Unit::Millimetre), "-99999.999");
    EXPECT_EQ(formatReading(-9999.9999, Unit::Inch), "-9999.9999");
    EXPECT_EQ(formatReading(12345.0, Unit::Inch), " 9999.9999");
}

TEST(LineFormat, CharacterTimeIsElevenBitsAtTheLineSpeed) {
    EXPECT_EQ(characterTime(9600).count(), 11'000'000'000LL / 9600);
    EXPECT_EQ(characterTime(19200).count(), 11'000'000'000LL / 19200);
}

} // namespace
} // namespace vx::sim
