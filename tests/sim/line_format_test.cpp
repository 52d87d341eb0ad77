#include "vx515sim/line_format.h"

#include <gtest/gtest.h>

using namespace vx::sim;

// The columns the program reads: X 2-11, Y 14-23, "T" 24, "Z" 25, Z 26-35, "T" 36, unit 38.
TEST(LineFormat, LinesInTheColumnsOfTheCounter) {
    EXPECT_EQ(formatLine({3, 1.23456, -0.5, -123.4567, Unit::Inch, true}),
              "X    1.2346 Y   -0.5000TZ -123.4567T I");
    EXPECT_EQ(formatLine({3, 0.0, 250.0, 0.001, Unit::Millimetre, false}),
              "X     0.000 Y   250.000 Z     0.001  M");
}

TEST(LineFormat, ReadingsRoundWithoutNegativeZeroAndSaturateBeyondTheColumns) {
    const std::tuple<double, Unit, const char*> rows[] = {
        {1.2345, Unit::Millimetre, "     1.235"},    {-0.0004, Unit::Millimetre, "     0.000"},
        {99999.999, Unit::Millimetre, " 99999.999"}, {-1e300, Unit::Millimetre, "-99999.999"},
        {1e6, Unit::Millimetre, " 99999.999"},       {12345.0, Unit::Inch, " 9999.9999"},
    };
    for (const auto& [value, unit, text] : rows)
        EXPECT_EQ(formatReading(value, unit), text) << value;
}
