#include "vx515sim/commands.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace vx::sim;

TEST(Options, BothValueFormsAndEveryMissingOrBadValue) {
    const OptionsResult full = parseOptions({"--dir=/x", "--port", "2", "--axes", "2", "--unit",
                                             "inch", "--log", "/x/log", "--seed=99"});
    ASSERT_TRUE(full.options) << full.error;
    const Options& o = *full.options;
    EXPECT_EQ(std::tuple(o.dir, o.port, o.axes, o.unit, o.logFile, o.seed),
              std::tuple("/x", 2, 2, Unit::Inch, "/x/log", 99U));
    EXPECT_EQ(parseOptions({"--dir", "/d", "--port=4"}).options->axes, 3);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--port", "1"},
                                               {"--dir", "/x"},
                                               {"--dir", "/x", "--port", "0"},
                                               {"--dir", "/x", "--port", "1", "--axes", "4"},
                                               {"--dir", "/x", "--port"},
                                               {"--dir", "/x", "--port", "1", "--baud", "9600"}})
        EXPECT_FALSE(parseOptions(args).error.empty()) << args.back();
    EXPECT_TRUE(parseOptions({"--help"}).options->help);
}

TEST(Commands, EveryCommandWithItsArgumentsAndNothingMalformed) {
    EXPECT_EQ(parseCommand("axes 2").command->number, 2);
    EXPECT_TRUE(parseCommand("silent on").command->on);
    EXPECT_FALSE(parseCommand("  split   OFF \r").command->on);
    EXPECT_EQ(parseCommand("noise").command->number, DefaultNoiseBytes);
    const std::optional<Command> set = parseCommand("set Z -12.5").command;
    ASSERT_TRUE(set);
    EXPECT_EQ(std::pair(set->axis, set->value), std::pair(Axis::Z, -12.5));
    for (const char* line : {"axes 4", "axes", "silent maybe", "noise 0", "noise 5000", "noise 3 4",
                             "set w 1", "set x", "set x 1mm", "set x nan", "record now", "jump"})
        EXPECT_FALSE(parseCommand(line).error.empty()) << line;
    EXPECT_FALSE(parseCommand("   ").command || !parseCommand("   ").error.empty());
}

TEST(Commands, NoiseIsPrintableNeverAFrameAndLoggedBytesAreEscaped) {
    Rng rng(5);
    for (int i = 0; i < 500; ++i) {
        const std::string noise = makeNoise(rng, 1 + i % 7);
        ASSERT_EQ(noise.size(), static_cast<std::size_t>(2 + i % 7));
        EXPECT_TRUE(noise.front() != 'X' && noise.back() == '\n') << noise;
        EXPECT_TRUE(std::all_of(noise.begin(), noise.end() - 1,
                                [](char c) { return c >= ' ' && c <= '~'; }));
    }
    EXPECT_EQ(quoteBytes(std::string("O\r\n\x01\"", 5)), R"("O\r\n\x01\"")");
}
