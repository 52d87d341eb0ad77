#include "readout_rate_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace vx::bench {

double toMs(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double toSeconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

namespace {

double percentile(std::vector<double> sorted, double p) {
    if (sorted.empty())
        return NAN;
    const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

// The fastest the program can show lines: it asks for the next line on the tick that shows one,
// and the tick that comes after the line has fully arrived shows it.
struct Limit {
    double lineMs;
    int ticksPerLine;
    double linesPerSecond;
    double steadyDelayMs; // from the line feed to the next tick
};

Limit limitFor(int baud) {
    Limit limit{};
    limit.lineMs = LineCharacters * vx::sim::BitsPerCharacter * 1000.0 / baud;
    const double tickMs = toMs(TickPeriod);
    limit.ticksPerLine = std::max(1, static_cast<int>(std::ceil(limit.lineMs / tickMs)));
    limit.linesPerSecond = 1000.0 / (limit.ticksPerLine * tickMs);
    limit.steadyDelayMs = limit.ticksPerLine * tickMs - limit.lineMs;
    return limit;
}

} // namespace

void report(const Phase& phase, const PlayedCounter& counter, const std::vector<Shown>& shown) {
    const auto inPhase = [&phase](Clock::time_point t) {
        return t >= phase.start && t < phase.end;
    };
    std::map<long, Clock::time_point> firstShown;
    for (const Shown& s : shown)
        firstShown.emplace(s.seq, s.at);
    std::map<long, const PlayedCounter::Sent*> sentBySeq;
    for (const PlayedCounter::Sent& s : counter.sent())
        sentBySeq.emplace(s.seq, &s);

    const long polls = std::count_if(counter.polls().begin(), counter.polls().end(), inPhase);
    long sent = 0;
    long lost = 0;
    long otherSpeed = 0;
    std::vector<double> delays;
    for (const PlayedCounter::Sent& s : counter.sent()) {
        if (!inPhase(s.lineEnd))
            continue;
        ++sent;
        otherSpeed += s.baud != phase.baud;
        const auto it = firstShown.find(s.seq);
        if (it == firstShown.end())
            ++lost;
        else
            delays.push_back(toMs(it->second - s.lineEnd));
    }
    long displayed = 0;
    long unknown = 0;
    long outOfOrder = 0;
    long previous = 0;
    Clock::time_point first;
    Clock::time_point last;
    for (const Shown& s : shown) {
        if (!inPhase(s.at))
            continue;
        if (displayed++ == 0)
            first = s.at;
        last = s.at;
        unknown += sentBySeq.find(s.seq) == sentBySeq.end();
        outOfOrder += s.seq <= previous;
        previous = s.seq;
    }
    std::sort(delays.begin(), delays.end());

    // The rest of the tick after the label: the next line is asked for only when it is over.
    std::vector<double> reasks;
    for (const Shown& s : shown) {
        if (!inPhase(s.at))
            continue;
        const auto next = std::lower_bound(counter.polls().begin(), counter.polls().end(), s.at);
        if (next != counter.polls().end())
            reasks.push_back(toMs(*next - s.at));
    }
    std::sort(reasks.begin(), reasks.end());

    const Limit limit = limitFor(phase.baud);
    const double seconds = toSeconds(phase.end - phase.start);
    // From the first line shown to the last: a window that cuts a tick in two does not count it.
    const double rate = displayed > 1 ? (displayed - 1) / toSeconds(last - first) : NAN;
    std::printf("%d baud: a line takes %.2f ms on the wire (%d characters x %d bits)\n", phase.baud,
                limit.lineMs, LineCharacters, vx::sim::BitsPerCharacter);
    std::printf("  shown     %6.2f lines/s over %.2f s; limit %.2f lines/s (%d tick%s of %lld ms "
                "a line)\n",
                rate, seconds, limit.linesPerSecond, limit.ticksPerLine,
                limit.ticksPerLine == 1 ? "" : "s", static_cast<long long>(TickPeriod.count()));
    std::printf("  lines     %ld polled, %ld sent, %ld shown, %ld lost, %ld shown out of order, "
                "%ld not sent, %ld at another speed\n",
                polls, sent, displayed, lost, outOfOrder, unknown, otherSpeed);
    std::printf("  delay     line feed to label: median %.2f ms, 90th percentile %.2f ms, worst "
                "%.2f ms over %zu lines (steady state: %.2f ms)\n",
                percentile(delays, 0.5), percentile(delays, 0.9),
                delays.empty() ? NAN : delays.back(), delays.size(), limit.steadyDelayMs);
    std::printf("  re-poll   label to the next \"O\": median %.2f ms, worst %.2f ms\n",
                percentile(reasks, 0.5), reasks.empty() ? NAN : reasks.back());
}

} // namespace vx::bench
