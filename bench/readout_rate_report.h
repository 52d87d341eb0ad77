#pragma once

#include "played_counter.h"
#include "vx515sim/line_format.h"

#include <chrono>
#include <vector>

namespace vx::bench {

inline constexpr int LineCharacters = vx::sim::ThreeAxisLineLength + 2; // CR LF
inline constexpr std::chrono::milliseconds TickPeriod{50};

double toMs(Clock::duration d);
double toSeconds(Clock::duration d);

// A line number seen in the X reading, and when.
struct Shown {
    long seq;
    Clock::time_point at;
};

// One speed's measurement.
struct Phase {
    int baud = 0;
    Clock::time_point start;
    Clock::time_point end;
};

// Prints the figures of one speed: lines shown per second beside the limit, lines lost or out of
// order, the delay from the line feed to the label and from the label to the next poll.
void report(const Phase& phase, const PlayedCounter& counter, const std::vector<Shown>& shown);

} // namespace vx::bench
