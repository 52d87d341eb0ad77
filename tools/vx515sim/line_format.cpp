#include "vx515sim/line_format.h"

#include <cmath>
#include <cstdio>

namespace vx::sim {

namespace {

// Eight digits fill the ten columns beside the sign and the decimal point.
constexpr long long LargestScaled = 99'999'999;

long long powerOfTen(int exponent) {
    long long result = 1;
    for (int i = 0; i < exponent; ++i)
        result *= 10;
    return result;
}

} // namespace

int decimalsFor(Unit unit) {
    return unit == Unit::Inch ? 4 : 3;
}

std::string formatReading(double value, Unit unit) {
    const int decimals = decimalsFor(unit);
    const long long scale = powerOfTen(decimals);
    double scaled = value * static_cast<double>(scale);
    if (!std::isfinite(scaled))
        scaled = std::isnan(scaled) ? 0.0 : scaled;
    if (scaled > LargestScaled)
        scaled = LargestScaled;
    if (scaled < -LargestScaled)
        scaled = -LargestScaled;
    // Rounding on the integer keeps a tiny negative value from showing as "-0.000".
    const long long rounded = std::llround(scaled);
    const long long magnitude = rounded < 0 ? -rounded : rounded;
    char text[64];
    std::snprintf(text, sizeof text, "%s%lld.%0*lld", rounded < 0 ? "-" : "", magnitude / scale,
                  decimals, magnitude % scale);
    std::string field(text);
    if (field.size() < ReadingWidth)
        field.insert(0, ReadingWidth - field.size(), ' ');
    return field;
}

std::string formatLine(const LineFields& fields) {
    const char marker = fields.record ? 'T' : ' ';
    std::string line;
    line.reserve(ThreeAxisLineLength);
    line += 'X';
    line += formatReading(fields.x, fields.unit);
    line += " Y";
    line += formatReading(fields.y, fields.unit);
    line += marker;
    if (fields.axes == 3) {
        line += 'Z';
        line += formatReading(fields.z, fields.unit);
        line += marker;
        line += ' ';
        line += fields.unit == Unit::Inch ? 'I' : 'M';
    }
    return line;
}

std::chrono::nanoseconds characterTime(int baud) {
    if (baud <= 0)
        baud = 9600;
    return std::chrono::nanoseconds(BitsPerCharacter * 1'000'000'000LL / baud);
}

} // namespace vx::sim
