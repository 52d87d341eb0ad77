#include "platform/conversions.h"
#include "platform/error_trap.h"

#include <gtest/gtest.h>

using namespace vx;

// A typed number is rounded half to even; no number is 13, one outside 16 bits is 6.
TEST(ToInt16, RoundsHalfToEvenAndRefusesWhatIsNoNumberOrTooBig) {
    const struct {
        const char* text;
        int value, error;
    } rows[] = {{" 7 ", 7, 0},    {"2.5", 2, 0},    {"3.5", 4, 0},         {"-2.5", -2, 0},
                {"2.51", 3, 0},   {"1e2", 100, 0},  {"32767.4", 32767, 0}, {"-32768", -32768, 0},
                {"", 0, 13},      {"5x", 0, 13},    {"nan", 0, 13},        {"32768", 0, 6},
                {"-32769", 0, 6}, {"32767.5", 0, 6}};
    for (const auto& row : rows) {
        ResumeNext step;
        int16_t value = 0;
        step([&] { value = toInt16(QString::fromLatin1(row.text)); });
        EXPECT_EQ(step.number(), row.error) << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
}
