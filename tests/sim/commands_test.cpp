#include "vx515sim/commands.h"

#include <gtest/gtest.h>

namespace vx::sim {
namespace {

TEST(Options, DefaultsAndBothValueForms) {
    const OptionsResult plain = parseOptions({"--dir", "/tmp/d", "--port=4"});
    ASSERT_TRUE(plain.options) << plain.error;
    EXPECT_EQ(plain.options->dir, "/tmp/d");
    EXPECT_EQ(plain.options->port, 4);
    EXPECT_EQ(plain.options->axes, 3);
    EXPECT_EQ(plain.options->unit, Unit::Millimetre);
    EXPECT_TRUE(plain.options->logFile.empty());

    const OptionsResult full = parseOptions({"--dir=/x", "--port", "2", "--axes", "2", "--unit",
                                             "inch", "--log", "/x/log", "--seed", "99"});
    ASSERT_TRUE(full.options) << full.error;
    EXPECT_EQ(full.options->axes, 2);
    EXPECT_EQ(full.options->unit, Unit::Inch);
    EXPECT_EQ(full.options->logFile, "/x/log");
    EXPECT_EQ(full.options->seed, 99u);

    EXPECT_TRUE(parseOptions({"--help"}).options->help);
    EXPECT_TRUE(parseOptions({"--version"}).options->version);
}

TEST(Options, RefusesMissingOrBadValues) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--port", "1"},
             {"--dir", "/x"},
             {"--dir", "/x", "--port", "0"},
             {"--dir", "/x", "--port", "1x"},
             {"--dir", "/x", "--port", "1", "--axes", "4"},
             {"--dir", "/x", "--port", "1", "--unit", "cm"},
             {"--dir", "/x", "--port", "1", "--seed", "-1"},
             {"--dir", "/x", "--port"},
             {"--dir", "/x", "--port", "1", "--baud", "9600"},
         }) {
        const OptionsResult result = parseOptions(args);
        EXPECT_FALSE(result.options) << args.back();
        EXPECT_FALSE(result.error.empty());
    }
}

TEST(Commands, AcceptsEveryCommandWithItsArguments) {
    using Kind = Command::Kind;
    EXPECT_EQ(parseCommand("axes 2").command->number, 2);
    EXPECT_EQ(parseCommand("record").command->kind, Kind::Record);
    EXPECT_TRUE(parseCommand("silent on").command->on);
    EXPECT_FALSE(parseCommand("  split   OFF \r").command->on);
    EXPECT_EQ(parseCommand("nocr on").command->kind, Kind::NoCr);
    EXPECT_EQ(parseCommand("noise").command->number, DefaultNoiseBytes);
    EXPECT_EQ(parseCommand("noise 40").command->number, 40);
    EXPECT_EQ(parseCommand("pull").command->kind, Kind::Pull);
    EXPECT_EQ(parseCommand("plug").command->kind, Kind::Plug);
    EXPECT_EQ(parseCommand("quit").command->kind, Kind::Quit);
    const CommandResult set = parseCommand("set Z -12.5");
    ASSERT_TRUE(set.command);
    EXPECT_EQ(set.command->kind, Kind::Set);
    EXPECT_EQ(set.command->axis, Axis::Z);
    EXPECT_DOUBLE_EQ(set.command->value, -12.5);
}

TEST(Commands, RefusesMalformedLinesAndIgnoresBlankOnes) {
    for (const char* line :
         {"axes 4", "axes", "silent", "silent maybe", "noise 0", "noise 5000", "noise 3 4",
          "set w 1", "set x", "set x 1mm", "set x nan", "record now", "jump"}) {
        const CommandResult result = parseCommand(line);
        EXPECT_FALSE(result.command) << line;
        EXPECT_FALSE(result.error.empty()) << line;
    }
    const CommandResult blank = parseCommand("   ");
    EXPECT_FALSE(blank.command);
    EXPECT_TRUE(blank.error.empty());
}

TEST(Commands, NoiseIsPrintableNeverStartsWithXAndEndsWithLineFeed) {
    Rng rng(5);
    for (int i = 0; i < 500; ++i) {
        const std::string noise = makeNoise(rng, 1 + i % 7);
        ASSERT_EQ(noise.size(), static_cast<std::size_t>(2 + i % 7));
        EXPECT_NE(noise.front(), 'X');
        EXPECT_EQ(noise.back(), '\n');
        for (std::size_t k = 0; k + 1 < noise.size(); ++k)
            EXPECT_TRUE(noise[k] >= ' ' && noise[k] <= '~');
    }
}

TEST(Commands, LoggedBytesAreQuotedAndEscaped) {
    EXPECT_EQ(quoteBytes("O"), "\"O\"");
    EXPECT_EQ(quoteBytes(std::string("\r\n\x01\"", 4)), R"("\r\n\x01\"")");
}

} // namespace
} // namespace vx::sim
