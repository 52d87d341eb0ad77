#pragma once

#include "vx515sim/counter.h"
#include "vx515sim/line_format.h"
#include "vx515sim/rng.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx::sim {

struct Options {
    std::string dir;
    int port = 0;
    int axes = 3;
    Unit unit = Unit::Millimetre;
    std::string logFile; // empty: standard output
    std::uint64_t seed = 1;
    bool still = false;
    int streamRate = 0; // lines a second sent unasked, for a terminal that does not poll; 0: none
    bool help = false;
    bool version = false;
};

struct OptionsResult {
    std::optional<Options> options;
    std::string error;
};

// Arguments without the program name; "--name value" and "--name=value" are both accepted.
OptionsResult parseOptions(const std::vector<std::string>& args);
std::string usageText();

inline constexpr int MaxStreamRate = 1000;
inline constexpr int DefaultNoiseBytes = 16;
inline constexpr int MaxNoiseBytes = 4096;

struct Command {
    enum class Kind { Axes, Record, Silent, Noise, Split, NoCr, Pull, Plug, Set, Quit };
    Kind kind = Kind::Quit;
    int number = 0;  // axes, noise
    bool on = false; // silent, split, nocr; pull: in the middle of the next line
    Axis axis = Axis::X;
    double value = 0.0; // set, in millimetres
};

struct CommandResult {
    std::optional<Command> command;
    std::string error;
};

// One line of standard input; a blank line gives neither a command nor an error.
CommandResult parseCommand(std::string_view line);

// Printable noise that does not start with "X", ended by a line feed.
std::string makeNoise(Rng& rng, int count);

// Bytes as the log shows them, inside double quotes: printable ASCII as it is, the rest escaped.
std::string quoteBytes(std::string_view bytes);

} // namespace vx::sim
