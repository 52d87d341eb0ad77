#include "vx515sim/simulator.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <unistd.h>

namespace vx::sim {

volatile std::sig_atomic_t stopSignal = 0;

namespace {

// The pause inside a split line: longer than the program's 50 ms poll tick.
constexpr std::chrono::milliseconds SplitPause{80};
constexpr std::chrono::milliseconds MasterQuietTime{100};

std::string timeStamp() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    std::tm local{};
    ::localtime_r(&now.tv_sec, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min,
                  local.tm_sec, now.tv_nsec / 1'000'000);
    return text;
}

const char* onOff(bool on) {
    return on ? "on" : "off";
}

const char* axisLetter(Axis axis) {
    return axis == Axis::X ? "x" : axis == Axis::Y ? "y" : "z";
}

} // namespace

Simulator::Simulator(const Options& options, std::FILE* log)
    : m_options(options)
    , m_log(log)
    , m_counter(Counter::Config{options.axes, options.unit, options.seed, options.still})
    , m_port(options.dir + "/COM" + std::to_string(options.port))
    , m_noiseRng(options.seed ^ 0x5A5A5A5A5A5A5A5AULL) {
    if (options.streamRate > 0)
        m_streamInterval = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
                           options.streamRate;
}

void Simulator::log(const char* kind, const std::string& text) {
    std::fprintf(m_log, "%s %s %s\n", timeStamp().c_str(), kind, text.c_str());
    std::fflush(m_log);
}

bool Simulator::plug() {
    std::string error;
    if (!m_port.plug(error)) {
        log("STATE", "plug failed: " + error);
        std::fprintf(stderr, "vx515sim: %s\n", error.c_str());
        return false;
    }
    m_masterQuietUntil.reset();
    m_lastBaud = 0;
    log("STATE", "plugged " + m_port.slaveName() + " as " + m_port.linkPath());
    return true;
}

void Simulator::pull() {
    m_port.pull();
    m_pendingPolls = 0;
    m_queue.clear();
    m_transmission.reset();
    m_waitWritable = false;
    log("STATE", "pulled");
}

int Simulator::run() {
    if (!plug())
        return 1;
    std::printf("READY %s\n", m_port.linkPath().c_str());
    std::fflush(stdout);
    if (m_options.streamRate > 0) {
        m_nextStream = Clock::now();
        log("STATE", "streaming " + std::to_string(m_options.streamRate) + " lines a second");
    }

    // The stop signals are only let through while waiting, so none is lost between a check of
    // the flag and the wait.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigset_t waitMask;
    ::sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGINT);

    while (!m_quit && !stopSignal) {
        pollfd fds[2];
        nfds_t count = 0;
        int stdinIndex = -1;
        int masterIndex = -1;
        if (m_stdinOpen) {
            stdinIndex = static_cast<int>(count);
            fds[count++] = {STDIN_FILENO, POLLIN, 0};
        }
        const Clock::time_point now = Clock::now();
        if (m_masterQuietUntil && now >= *m_masterQuietUntil)
            m_masterQuietUntil.reset();
        if (m_port.plugged() && !m_masterQuietUntil) {
            masterIndex = static_cast<int>(count);
            fds[count++] = {m_port.master(),
                            static_cast<short>(POLLIN | (m_waitWritable ? POLLOUT : 0)), 0};
        }

        std::optional<Clock::time_point> wake = nextWake();
        if (m_masterQuietUntil && (!wake || *m_masterQuietUntil < *wake))
            wake = m_masterQuietUntil;
        timespec timeout{};
        if (wake) {
            const auto wait = std::max(*wake - now, Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            timeout.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
            timeout.tv_nsec = static_cast<long>(ns % 1'000'000'000);
        }
        const int ready = ::ppoll(fds, count, wake ? &timeout : nullptr, &waitMask);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            log("STATE", std::string("poll failed: ") + std::strerror(errno));
            break;
        }
        if (stdinIndex >= 0 && fds[stdinIndex].revents != 0)
            readCommands();
        if (masterIndex >= 0 && m_port.plugged()) {
            const short revents = fds[masterIndex].revents;
            if (revents & POLLIN)
                readPort();
            else if (revents & (POLLHUP | POLLERR | POLLNVAL))
                m_masterQuietUntil = Clock::now() + MasterQuietTime;
            if (revents & POLLOUT)
                m_waitWritable = false;
        }
        serviceStream(Clock::now());
        serviceOutput();
    }

    if (stopSignal)
        log("STATE", stopSignal == SIGINT ? "quit (SIGINT)" : "quit (SIGTERM)");
    else
        log("STATE", "quit");
    m_port.pull();
    return 0;
}

void Simulator::readPort() {
    char buffer[256];
    const ssize_t n = ::read(m_port.master(), buffer, sizeof buffer);
    if (n > 0) {
        for (ssize_t i = 0; i < n; ++i)
            handleByte(buffer[i]);
        return;
    }
    // With our own slave open this hardly happens; never spin on it.
    if (n == 0 || (errno != EAGAIN && errno != EINTR))
        m_masterQuietUntil = Clock::now() + MasterQuietTime;
}

void Simulator::handleByte(char byte) {
    const std::string quoted = quoteBytes(std::string_view(&byte, 1));
    if (byte == 'O') {
        if (m_silent) {
            log("RX", quoted + " poll ignored (silent)");
            return;
        }
        log("RX", quoted + " poll");
        ++m_pendingPolls;
        // Answered at once when the line is free, so the answer shows the state before any key
        // that follows the poll.
        serviceOutput();
        return;
    }
    const KeyResult result = m_counter.key(byte);
    log("RX", quoted + (result.known ? " key " : " ignored: ") + result.text);
}

void Simulator::readCommands() {
    char buffer[512];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (n <= 0) {
        m_stdinOpen = false;
        log("STATE", "standard input closed; still running");
        return;
    }
    m_stdinBuffer.append(buffer, static_cast<std::size_t>(n));
    std::size_t end;
    while (!m_quit && (end = m_stdinBuffer.find('\n')) != std::string::npos) {
        const std::string line = m_stdinBuffer.substr(0, end);
        m_stdinBuffer.erase(0, end + 1);
        const CommandResult result = parseCommand(line);
        if (result.command) {
            execute(*result.command);
        } else if (!result.error.empty()) {
            log("CMD", "refused: " + result.error);
            std::fprintf(stderr, "vx515sim: %s\n", result.error.c_str());
        }
    }
}

void Simulator::execute(const Command& command) {
    switch (command.kind) {
    case Command::Kind::Axes: {
        const int before = m_counter.axes();
        m_counter.setAxes(command.number);
        log("STATE",
            "axes changed " + std::to_string(before) + " -> " + std::to_string(command.number));
        break;
    }
    case Command::Kind::Record:
        m_counter.requestRecord();
        log("STATE", "record requested");
        break;
    case Command::Kind::Silent:
        m_silent = command.on;
        log("STATE", std::string("silent ") + onOff(command.on));
        break;
    case Command::Kind::Noise:
        if (!m_port.plugged()) {
            log("STATE", "noise not sent: pulled");
            break;
        }
        m_queue.push_back({makeNoise(m_noiseRng, command.number), {}});
        log("STATE", "noise " + std::to_string(command.number) + " bytes");
        break;
    case Command::Kind::Split:
        m_split = command.on;
        log("STATE", std::string("split ") + onOff(command.on));
        break;
    case Command::Kind::NoCr:
        m_noCr = command.on;
        log("STATE", std::string("nocr ") + onOff(command.on));
        break;
    case Command::Kind::Pull:
        if (!m_port.plugged()) {
            log("STATE", "pull ignored: already pulled");
        } else if (command.on) {
            m_pullMidLine = true;
            log("STATE", "pull armed: in the middle of the next line");
        } else {
            pull();
        }
        break;
    case Command::Kind::Plug:
        if (m_port.plugged())
            log("STATE", "plug ignored: already plugged");
        else
            plug();
        break;
    case Command::Kind::Set: {
        m_counter.setPosition(command.axis, command.value);
        char text[64];
        std::snprintf(text, sizeof text, "set %s %.4f mm", axisLetter(command.axis), command.value);
        log("STATE", text);
        break;
    }
    case Command::Kind::Quit:
        m_quit = true;
        break;
    }
}

void Simulator::queueLine(const std::string& line) {
    if (m_pullMidLine) {
        // The program has the first half for a few of its ticks before the cable goes.
        const std::size_t half = line.size() / 2;
        m_queue.push_back({line.substr(0, half), {}});
        m_queue.push_back({line.substr(half), SplitPause, true});
        m_pullMidLine = false;
    } else if (m_split) {
        const std::size_t half = line.size() / 2;
        m_queue.push_back({line.substr(0, half), {}});
        m_queue.push_back({line.substr(half), SplitPause});
    } else {
        m_queue.push_back({line, {}});
    }
}

// A line on its own every interval. One that falls due while the wire is still busy is left out
// rather than queued, so the rate never runs ahead of the line speed.
void Simulator::serviceStream(Clock::time_point now) {
    if (!m_nextStream || now < *m_nextStream)
        return;
    *m_nextStream += m_streamInterval;
    if (*m_nextStream <= now) // the loop was held up: start the beat again from now
        m_nextStream = now + m_streamInterval;
    if (m_silent || !m_port.plugged())
        return;
    if (m_transmission || !m_queue.empty() || m_pendingPolls > 0) {
        log("TX", "stream line left out: the wire is busy");
        return;
    }
    const std::string line = m_counter.answerPoll() + (m_noCr ? "\n" : "\r\n");
    log("TX", quoteBytes(line) + " streamed");
    queueLine(line);
}

void Simulator::serviceOutput() {
    if (!m_port.plugged() || m_waitWritable)
        return;
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (!m_transmission) {
            if (m_queue.empty() && m_pendingPolls > 0) {
                --m_pendingPolls;
                queueLine(m_counter.answerPoll() + (m_noCr ? "\n" : "\r\n"));
            }
            if (m_queue.empty())
                return;
            // The speed is read per chunk: the program may change it at any time.
            const int baud = m_port.baud();
            if (baud != m_lastBaud) {
                log("STATE", "line speed " + std::to_string(baud));
                m_lastBaud = baud;
            }
            Transmission next;
            next.bytes = std::move(m_queue.front().bytes);
            next.start = std::max(now, m_wireFree) + m_queue.front().pauseBefore;
            next.characterTime = characterTime(baud);
            next.pullInstead = m_queue.front().pullInstead;
            m_queue.pop_front();
            m_transmission = std::move(next);
        }

        Transmission& tx = *m_transmission;
        if (tx.pullInstead) {
            if (tx.due(0) <= now)
                pull();
            return;
        }
        std::size_t due = tx.sent;
        while (due < tx.bytes.size() && tx.due(due) <= now)
            ++due;
        if (due > tx.sent) {
            const ssize_t n = ::write(m_port.master(), tx.bytes.data() + tx.sent, due - tx.sent);
            if (n < 0) {
                if (errno == EAGAIN) {
                    m_waitWritable = true;
                } else if (errno != EINTR) {
                    log("STATE",
                        std::string("write failed, output dropped: ") + std::strerror(errno));
                    m_transmission.reset();
                    m_queue.clear();
                    m_pendingPolls = 0;
                    m_masterQuietUntil = now + MasterQuietTime;
                }
                return;
            }
            tx.sent += static_cast<std::size_t>(n);
            if (tx.sent < due) {
                m_waitWritable = true;
                return;
            }
        }
        if (tx.sent < tx.bytes.size())
            return;
        m_wireFree = tx.due(tx.bytes.size() - 1);
        m_transmission.reset();
    }
}

std::optional<Simulator::Clock::time_point> Simulator::nextWake() const {
    std::optional<Clock::time_point> wake = m_nextStream;
    if (m_transmission && !m_waitWritable && m_port.plugged()) {
        const Clock::time_point due = m_transmission->due(m_transmission->sent);
        if (!wake || due < *wake)
            wake = due;
    }
    return wake;
}

} // namespace vx::sim
