#include "platform/conversions.h"
#include "platform/error_trap.h"

#include <gtest/gtest.h>

using namespace vx;

// A typed number is rounded half to even; no number is 13, one outside the type's range is 6. A
// line speed is read in 32 bits, everything else in 16.
TEST(ToWholeNumber, RoundsHalfToEvenAndRefusesWhatIsNoNumberOrTooBig) {
    const struct {
        int bits;
        const char* text;
        int value, error;
    } rows[] = {{16, " 7 ", 7, 0},         {16, "2.5", 2, 0},         {16, "3.5", 4, 0},
                {16, "-2.5", -2, 0},       {16, "2.51", 3, 0},        {16, "1e2", 100, 0},
                {16, "32767.4", 32767, 0}, {16, "-32768", -32768, 0}, {16, "", 0, 13},
                {16, "5x", 0, 13},         {16, "nan", 0, 13},        {16, "32768", 0, 6},
                {16, "-32769", 0, 6},      {16, "32767.5", 0, 6},     {32, "115200", 115200, 0},
                {32, "38400.5", 38400, 0}, {32, "2147483648", 0, 6},  {32, "x", 0, 13}};
    for (const auto& row : rows) {
        ResumeNext step;
        int value = 0;
        const QString text = QString::fromLatin1(row.text);
        step([&] { value = row.bits == 32 ? toInt32(text) : toInt16(text); });
        EXPECT_EQ(step.number(), row.error) << row.text;
        EXPECT_EQ(value, row.value) << row.text;
    }
}
