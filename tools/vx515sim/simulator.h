#pragma once

#include "vx515sim/commands.h"
#include "vx515sim/counter.h"
#include "vx515sim/pty_port.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <deque>
#include <optional>
#include <string>

namespace vx::sim {

// The simulator's single-threaded loop: the counter on the pseudo-terminal, commands from
// standard input, everything received and every state change in the log.
class Simulator {
public:
    Simulator(const Options& options, std::FILE* log);

    // Runs until quit, SIGTERM or SIGINT; the exit status.
    int run();

private:
    using Clock = std::chrono::steady_clock;

    struct Chunk {
        std::string bytes;
        std::chrono::nanoseconds pauseBefore{};
        bool pullInstead = false; // the cable is pulled when these bytes would start
    };
    // The chunk on the wire: byte i is written once its eleven bits would have arrived.
    struct Transmission {
        std::string bytes;
        std::size_t sent = 0;
        Clock::time_point start;
        std::chrono::nanoseconds characterTime{};
        bool pullInstead = false;
        Clock::time_point due(std::size_t i) const {
            return start + characterTime * static_cast<long long>(i + 1);
        }
    };

    void log(const char* kind, const std::string& text);
    bool plug();
    void pull();
    void readPort();
    void handleByte(char byte);
    void readCommands();
    void execute(const Command& command);
    void queueLine(const std::string& line);
    void serviceStream(Clock::time_point now);
    void serviceOutput();
    std::optional<Clock::time_point> nextWake() const;

    Options m_options;
    std::FILE* m_log;
    Counter m_counter;
    PtyPort m_port;
    Rng m_noiseRng;

    bool m_silent = false;
    bool m_split = false;
    bool m_pullMidLine = false; // the next line is cut in the middle by a pulled cable
    bool m_noCr = false;
    bool m_quit = false;
    bool m_stdinOpen = true;
    std::string m_stdinBuffer;

    int m_pendingPolls = 0;
    std::deque<Chunk> m_queue;
    std::optional<Transmission> m_transmission;
    Clock::time_point m_wireFree;
    bool m_waitWritable = false;
    // After a hang-up or error on the master, it is left out of the poll set until then.
    std::optional<Clock::time_point> m_masterQuietUntil;
    int m_lastBaud = 0;
    // Stream mode: when the next unasked line is due.
    Clock::duration m_streamInterval{};
    std::optional<Clock::time_point> m_nextStream;
};

// Set by the SIGTERM and SIGINT handler.
extern volatile std::sig_atomic_t stopSignal;

} // namespace vx::sim
