#include "platform/conversions.h"
#include "platform/runtime_error.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(ToInt16, ReadsWholeAndRoundedNumbers) {
    const std::pair<const char*, int> rows[] = {
        {"3", 3},           {" 7 ", 7},   {"-2", -2},         {"2.5", 2},
        {"3.5", 4},         {"-2.5", -2}, {"2.51", 3},        {"32767", 32767},
        {"-32768", -32768}, {"1e2", 100}, {"32767.4", 32767},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(toInt16(QString::fromLatin1(text)), expected) << text;
}

TEST(ToInt16, RefusesWhatIsNoNumberOrTooBig) {
    const std::pair<const char*, int> rows[] = {
        {"", err::TypeMismatch},   {"abc", err::TypeMismatch}, {"5x", err::TypeMismatch},
        {"  ", err::TypeMismatch}, {"nan", err::TypeMismatch}, {"32768", err::Overflow},
        {"-32769", err::Overflow}, {"70000", err::Overflow},   {"32767.5", err::Overflow},
    };
    for (const auto& [text, number] : rows) {
        try {
            toInt16(QString::fromLatin1(text));
            ADD_FAILURE() << text << " was accepted";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), number) << text;
        }
    }
}
