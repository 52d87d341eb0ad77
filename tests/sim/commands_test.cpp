#include "vx515sim/commands.h"

#include <gtest/gtest.h>

using namespace vx::sim;

TEST(Options, BothValueFormsAndEveryMissingOrBadValue) {
    const OptionsResult full = parseOptions({"--dir=/x", "--port", "2", "--axes", "2", "--unit",
                                             "inch", "--log", "/x/log", "--seed=99"});
    ASSERT_TRUE(full.options) << full.error;
    EXPECT_EQ(full.options->dir, "/x");
    EXPECT_EQ(full.options->port, 2);
    EXPECT_EQ(full.options->axes, 2);
    EXPECT_EQ(full.options->unit, Unit::Inch);
    EXPECT_EQ(full.options->logFile, "/x/log");
    EXPECT_EQ(full.options->seed, 99U);
    EXPECT_EQ(parseOptions({"--dir", "/d", "--port=4"}).options->axes, 3);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--port", "1"},
                                               {"--dir", "/x"},
                                               {"--dir", "/x", "--port", "0"},
                                               {"--dir", "/x", "--port", "1x"},
                                               {"--dir", "/x", "--port", "1", "--axes", "4"},
                                               {"--dir", "/x", "--port", "1", "--unit", "cm"},
                                               {"--dir", "/x", "--port", "1", "--seed", "-1"},
                                               {"--dir", "/x", "--port"},
                                               {"--dir", "/x", "--port", "1", "--baud", "9600"}})
        EXPECT_FALSE(parseOptions(args).error.empty()) << args.back();
    EXPECT_TRUE(parseOptions({"--help"}).options->help);
    EXPECT_TRUE(parseOptions({"--version"}).options->version);
}

TEST(Commands, EveryCommandWithItsArgumentsAndNothingMalformed) {
    using Kind = Command::Kind;
    EXPECT_EQ(parseCommand("axes 2").command->number, 2);
    EXPECT_EQ(parseCommand("record").command->kind, Kind::Record);
    EXPECT_TRUE(parseCommand("silent on").command->on);
    EXPECT_FALSE(parseCommand("  split   OFF \r").command->on);
    EXPECT_EQ(parseCommand("nocr on").command->kind, Kind::NoCr);
    EXPECT_EQ(parseCommand("noise").command->number, DefaultNoiseBytes);
    EXPECT_EQ(parseCommand("noise 40").command->number, 40);
    EXPECT_EQ(parseCommand("plug").command->kind, Kind::Plug);
    const std::optional<Command> set = parseCommand("set Z -12.5").command;
    ASSERT_TRUE(set);
    EXPECT_EQ(set->axis, Axis::Z);
    EXPECT_DOUBLE_EQ(set->value, -12.5);
    for (const char* line : {"axes 4", "axes", "silent maybe", "noise 0", "noise 5000", "noise 3 4",
                             "set w 1", "set x", "set x 1mm", "set x nan", "record now", "jump"})
        EXPECT_FALSE(parseCommand(line).error.empty()) << line;
    EXPECT_FALSE(parseCommand("   ").command);
    EXPECT_TRUE(parseCommand("   ").error.empty());
}

TEST(Commands, NoiseIsPrintableNeverAFrameAndLoggedBytesAreEscaped) {
    Rng rng(5);
    for (int i = 0; i < 500; ++i) {
        const std::string noise = makeNoise(rng, 1 + i % 7);
        ASSERT_EQ(noise.size(), static_cast<std::size_t>(2 + i % 7));
        EXPECT_NE(noise.front(), 'X');
        EXPECT_EQ(noise.back(), '\n');
        for (std::size_t k = 0; k + 1 < noise.size(); ++k)
            EXPECT_TRUE(noise[k] >= ' ' && noise[k] <= '~');
    }
    EXPECT_EQ(quoteBytes(std::string("O\r\n\x01\"", 5)), R"("O\r\n\x01\"")");
}
