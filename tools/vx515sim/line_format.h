#pragma once

#include <chrono>
#include <string>

namespace vx::sim {

enum class Unit { Millimetre, Inch };

inline constexpr double MillimetresPerInch = 25.4;
inline constexpr int ReadingWidth = 10;
inline constexpr int TwoAxisLineLength = 24;
inline constexpr int ThreeAxisLineLength = 38;
// One start bit, eight data bits, two stop bits.
inline constexpr int BitsPerCharacter = 11;

int decimalsFor(Unit unit);

// A reading as the counter shows it: right-aligned in ten columns, "-" for a negative value and no
// sign for a positive one, three decimals in millimetres and four in inches. A value beyond the ten
// columns shows the largest reading that fits, with its sign.
std::string formatReading(double value, Unit unit);

struct LineFields {
    int axes = 3;
    double x = 0.0; // in the unit shown
    double y = 0.0;
    double z = 0.0;
    Unit unit = Unit::Millimetre;
    bool record = false;
};

// The answer to a poll without its line end. On a three-axis counter the record marker "T" is in
// both column 24 and column 36.
std::string formatLine(const LineFields& fields);

// Time that one character occupies on the line at the given speed.
std::chrono::nanoseconds characterTime(int baud);

} // namespace vx::sim
