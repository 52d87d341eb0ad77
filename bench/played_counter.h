#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace vx::bench {

using Clock = std::chrono::steady_clock;

// The counter of readout_rate: a pseudo-terminal whose slave is linked as COM1, and a thread on the
// master that answers every "O" with a three-axis line, paced at the line speed the program set,
// and numbers its lines in the X reading. The slave stays open here as well, so that the master
// never sees a hang-up when the program closes the port for a moment.
class PlayedCounter {
public:
    struct Sent {
        long seq;
        Clock::time_point lineEnd; // when the line feed was written
        int baud;
    };

    PlayedCounter() = default;
    PlayedCounter(const PlayedCounter&) = delete;
    PlayedCounter& operator=(const PlayedCounter&) = delete;
    ~PlayedCounter();

    bool plug(const std::filesystem::path& link, std::string& error);
    void start();
    void stop();

    // Only read once the thread has stopped.
    const std::vector<Sent>& sent() const { return m_sent; }
    const std::vector<Clock::time_point>& polls() const { return m_polls; }
    long failedWrites() const { return m_failedWrites; }

private:
    struct Transmission {
        std::string bytes;
        std::size_t sent = 0;
        Clock::time_point start;
        Clock::duration characterTime{};
        long seq = 0;
        int baud = 0;
        Clock::time_point due(std::size_t i) const {
            return start + characterTime * static_cast<long>(i + 1);
        }
    };

    int baud() const;
    Transmission nextLine();
    void readPolls();
    void writeDue(Transmission& tx);
    void run();

    int m_master = -1;
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    std::filesystem::path m_link;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    long m_nextSeq = 1;
    int m_pendingPolls = 0;
    long m_failedWrites = 0;
    std::vector<Sent> m_sent;
    std::vector<Clock::time_point> m_polls;
};

} // namespace vx::bench
