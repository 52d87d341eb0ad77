// Readings shown per second, and the delay from a line's last byte on the wire to the X reading on
// the screen, with the program's own classes in this process. The counter is a thread of this
// program on a pseudo-terminal: it answers every "O" with a three-axis line paced at the line
// speed the program set, and numbers its lines in the X reading so that each one can be found on
// the screen again. Prints figures; passes or fails nothing.
//
// readout_rate [seconds-per-speed] [baud...]      (default: 10 s, 9600 then 19200)
//
// The first speed is chosen through the port-settings file before start-up, every further one
// from the speed menu while the program runs.

#include "platform/line_speeds.h"
#include "platform/posix_serial.h"
#include "shell/ui/application.h"
#include "shell/ui/widget_style.h"
#include "vx515sim/line_format.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int PortNumber = 1;
constexpr int LineCharacters = vx::sim::ThreeAxisLineLength + 2; // CR LF
constexpr auto TickPeriod = 50ms;
// Before each measurement: lets the speed change and the first lines pass.
constexpr auto SettleTime = 1s;
// After the last measurement: lines that ended in it are still shown before the exit.
constexpr auto DrainTime = 500ms;
// The splash alone stays half a second; the handshake may take up to 2 s more.
constexpr auto StartDeadline = 15s;
constexpr auto ExitDeadline = 5s;
constexpr int MenuSpeeds[] = {1200, 2400, 4800, 9600, 19200};

double toMs(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double toSeconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The counter: a pseudo-terminal whose slave is linked as COM1, and a thread on the master. The
// slave stays open here as well, so that the master never sees a hang-up when the program closes
// the port for a moment.
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
    ~PlayedCounter() {
        stop();
        for (int fd : {m_master, m_slave, m_wake[0], m_wake[1]})
            if (fd >= 0)
                ::close(fd);
        if (!m_link.empty())
            ::unlink(m_link.c_str());
    }

    bool plug(const fs::path& link, std::string& error) {
        termios settings{};
        ::cfmakeraw(&settings);
        settings.c_cflag |= CLOCAL | CREAD | CSTOPB;
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        if (::openpty(&m_master, &m_slave, nullptr, &settings, nullptr) != 0 ||
            ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
            error = std::string("pseudo-terminal: ") + std::strerror(errno);
            return false;
        }
        ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
        ::fcntl(m_slave, F_SETFD, FD_CLOEXEC);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        char name[256] = {};
        if (::ttyname_r(m_slave, name, sizeof name) != 0 || ::symlink(name, link.c_str()) != 0) {
            error = "link " + link.string() + ": " + std::strerror(errno);
            return false;
        }
        m_link = link;
        return true;
    }

    void start() {
        m_thread = std::thread([this] { run(); });
    }

    void stop() {
        if (!m_thread.joinable())
            return;
        m_stop = true;
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(m_wake[1], &wake, 1);
        m_thread.join();
    }

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

    // On Linux the master reports the slave's settings, which are the program's.
    int baud() const {
        termios settings{};
        if (::tcgetattr(m_master, &settings) != 0)
            return 9600;
        return vx::baudOf(::cfgetospeed(&settings)).value_or(9600);
    }

    Transmission nextLine() {
        Transmission tx;
        tx.seq = m_nextSeq++;
        tx.baud = baud();
        vx::sim::LineFields fields;
        fields.x = static_cast<double>(tx.seq);
        fields.y = 12.5;
        fields.z = -3.25;
        tx.bytes = vx::sim::formatLine(fields) + "\r\n";
        tx.start = Clock::now();
        tx.characterTime =
            std::chrono::duration_cast<Clock::duration>(vx::sim::characterTime(tx.baud));
        return tx;
    }

    void readPolls() {
        char buffer[256];
        for (;;) {
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                return;
            const Clock::time_point now = Clock::now();
            for (ssize_t i = 0; i < n; ++i) {
                if (buffer[i] == 'O') {
                    ++m_pendingPolls;
                    m_polls.push_back(now);
                }
            }
        }
    }

    // Writes every byte that is due; a byte the driver does not take now is tried again later.
    void writeDue(Transmission& tx) {
        const Clock::time_point now = Clock::now();
        std::size_t due = tx.sent;
        while (due < tx.bytes.size() && tx.due(due) <= now)
            ++due;
        if (due == tx.sent)
            return;
        const ssize_t n = ::write(m_master, tx.bytes.data() + tx.sent, due - tx.sent);
        if (n <= 0) {
            ++m_failedWrites;
            return;
        }
        tx.sent += static_cast<std::size_t>(n);
        if (tx.sent == tx.bytes.size())
            m_sent.push_back({tx.seq, Clock::now(), tx.baud});
    }

    void run() {
        std::optional<Transmission> tx;
        while (!m_stop) {
            if (!tx && m_pendingPolls > 0) {
                --m_pendingPolls;
                tx = nextLine();
            }
            if (tx) {
                writeDue(*tx);
                if (tx->sent == tx->bytes.size()) {
                    tx.reset();
                    continue;
                }
            }
            // Until the next byte is due, or a while when nothing is on the line; a poll or the
            // stop ends the wait early.
            Clock::duration wait = 100ms;
            if (tx)
                wait = std::max(tx->due(tx->sent) - Clock::now(), Clock::duration::zero());
            const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
            const timespec timeout{static_cast<time_t>(ns / 1'000'000'000),
                                   static_cast<long>(ns % 1'000'000'000)};
            pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            if (::ppoll(fds, 2, &timeout, nullptr) > 0 && (fds[0].revents & POLLIN) != 0)
                readPolls();
        }
    }

    int m_master = -1;
    int m_slave = -1;
    int m_wake[2] = {-1, -1};
    fs::path m_link;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    long m_nextSeq = 1;
    int m_pendingPolls = 0;
    long m_failedWrites = 0;
    std::vector<Sent> m_sent;
    std::vector<Clock::time_point> m_polls;
};

struct Shown {
    long seq;
    Clock::time_point at;
};

struct Phase {
    int baud = 0;
    Clock::time_point start;
    Clock::time_point end;
};

// Takes the program from start-up through each speed to its exit, on the program's own thread.
class Driver {
public:
    Driver(vx::ui::Application& app, std::vector<int> bauds, Clock::duration measure)
        : m_app(app)
        , m_bauds(std::move(bauds))
        , m_measure(measure) {
        m_until = Clock::now() + StartDeadline;
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { step(); });
        m_timer.start(20);
    }

    const std::vector<Shown>& shown() const { return m_shown; }
    const std::vector<Phase>& phases() const { return m_phases; }
    const std::string& failure() const { return m_failure; }
    long unreadable() const { return m_unreadable; }

private:
    enum class Stage { Starting, Settling, Measuring, Draining, Ending };

    // Every caption change of the X reading, with the line number it carries.
    void watchReadings(vx::MainForm& form) {
        m_watching = true;
        vx::Control& label = form.labX顯示;
        label.addObserver([this, &label](unsigned changed) {
            const Clock::time_point now = Clock::now();
            if ((changed & vx::change::Caption) == 0)
                return; // another property of the label
            m_lastCaption = label.caption();
            bool ok = false;
            const double value = m_lastCaption.trimmed().toDouble(&ok);
            if (!ok) {
                ++m_unreadable;
                return;
            }
            m_shown.push_back({std::lround(value), now});
        });
    }

    void step() {
        const Clock::time_point now = Clock::now();
        if (!m_watching && m_app.mainForm() != nullptr)
            watchReadings(*m_app.mainForm());
        switch (m_stage) {
        case Stage::Starting:
            if (!m_shown.empty()) {
                m_stage = Stage::Settling;
                m_until = now + SettleTime;
            } else if (now >= m_until) {
                end("no reading was shown within 15 s of start");
            }
            break;
        case Stage::Settling:
            if (now >= m_until) {
                m_phases.push_back({m_bauds[m_phases.size()], now, now});
                m_stage = Stage::Measuring;
                m_until = now + m_measure;
            }
            break;
        case Stage::Measuring:
            if (now >= m_until) {
                m_phases.back().end = now;
                if (m_phases.size() == m_bauds.size()) {
                    m_stage = Stage::Draining;
                    m_until = now + DrainTime;
                } else {
                    m_app.dispatch(m_app.mainForm()->baud.item(m_bauds[m_phases.size()]));
                    m_stage = Stage::Settling;
                    m_until = now + SettleTime;
                }
            }
            break;
        case Stage::Draining:
            if (now >= m_until)
                end({});
            break;
        case Stage::Ending:
            if (now >= m_until) {
                m_failure += m_failure.empty() ? "" : "; ";
                m_failure += "the program did not end within 5 s of its exit command";
                QCoreApplication::exit(1);
            }
            break;
        }
    }

    void end(const std::string& failure) {
        m_failure = failure;
        m_stage = Stage::Ending;
        m_until = Clock::now() + ExitDeadline;
        m_app.dispatch(m_app.mainForm()->mnuFileExit);
    }

    vx::ui::Application& m_app;
    std::vector<int> m_bauds;
    Clock::duration m_measure;
    QTimer m_timer;
    Stage m_stage = Stage::Starting;
    Clock::time_point m_until;
    bool m_watching = false;
    QString m_lastCaption;
    long m_unreadable = 0;
    std::vector<Shown> m_shown;
    std::vector<Phase> m_phases;
    std::string m_failure;
};

// Ends the process when the program hangs so badly that no deadline of the driver can act.
class Watchdog {
public:
    Watchdog(Clock::duration limit, fs::path cleanup)
        : m_cleanup(std::move(cleanup))
        , m_thread([this, limit] { watch(limit); }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    void watch(Clock::duration limit) {
        std::unique_lock lock(m_mutex);
        if (m_wake.wait_for(lock, limit, [this] { return m_done; }))
            return;
        std::fprintf(stderr, "readout_rate: no end after %.0f s; giving up\n", toSeconds(limit));
        std::error_code ignored;
        fs::remove_all(m_cleanup, ignored);
        std::_Exit(3);
    }

    fs::path m_cleanup;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_done = false;
    std::thread m_thread;
};

bool writePortSettings(const fs::path& file, int port, int baud) {
    char records[40] = {};
    records[0] = static_cast<char>(port & 0xFF);
    records[1] = static_cast<char>((port >> 8) & 0xFF);
    const std::string speed = std::to_string(baud);
    records[20] = static_cast<char>(speed.size());
    std::memcpy(records + 22, speed.data(), speed.size());
    std::ofstream out(file, std::ios::binary);
    out.write(records, sizeof records);
    return static_cast<bool>(out);
}

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

struct Options {
    std::chrono::milliseconds measure{10'000};
    std::vector<int> bauds{9600, 19200};
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    if (argc > 1) {
        const double seconds = std::atof(argv[1]);
        if (!(seconds > 0.0))
            return std::nullopt;
        options.measure = std::chrono::milliseconds(std::lround(seconds * 1000.0));
    }
    if (argc > 2)
        options.bauds.clear();
    for (int i = 2; i < argc; ++i) {
        const int baud = std::atoi(argv[i]);
        if (std::find(std::begin(MenuSpeeds), std::end(MenuSpeeds), baud) == std::end(MenuSpeeds))
            return std::nullopt;
        options.bauds.push_back(baud);
    }
    return options;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: readout_rate [seconds-per-speed] [baud...]\n"
                             "  baud: 1200, 2400, 4800, 9600 or 19200 (the speed menu)\n");
        return 2;
    }

    std::string pattern = (fs::temp_directory_path() / "vx-readout-rate-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path root = pattern;
    const fs::path work = root / "work";
    const fs::path ports = root / "ports";
    std::error_code error;
    fs::create_directories(work, error);
    fs::create_directories(ports, error);
    const fs::path runtime = root / "runtime";
    ::mkdir(runtime.c_str(), 0700);
    const fs::path startDir = fs::current_path(error);

    int status = 0;
    {
        const Clock::duration total = StartDeadline +
                                      (SettleTime + options->measure) * options->bauds.size() +
                                      DrainTime + 30s;
        Watchdog watchdog(total, root);

        PlayedCounter counter;
        std::string plugError;
        if (!writePortSettings(work / "系統資料電腦", PortNumber, options->bauds.front()) ||
            !counter.plug(ports / ("COM" + std::to_string(PortNumber)), plugError)) {
            std::fprintf(stderr, "readout_rate: cannot prepare %s: %s\n", root.c_str(),
                         plugError.c_str());
            status = 1;
        } else {
            counter.start();
            // The program's surroundings: no screen, its own port folder and working folder, and
            // its window position kept away from the user's settings.
            qputenv("QT_QPA_PLATFORM", "offscreen");
            qputenv("VX_SERIAL_PORT_DIR", QFile::encodeName(QString::fromStdString(ports)));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString(root / "config")));
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(QString::fromStdString(runtime)));
            fs::current_path(work, error);

            std::vector<Shown> shown;
            std::vector<Phase> phases;
            std::string failure;
            long unreadable = 0;
            {
                QApplication qapp(argc, argv);
                vx::ui::installFontSubstitutions();
                vx::ui::Application app([] { return std::make_unique<vx::PosixSerial>(); });
                Driver driver(app, options->bauds, options->measure);
                const int exitStatus = app.run();
                shown = driver.shown();
                phases = driver.phases();
                failure = driver.failure();
                unreadable = driver.unreadable();
                if (exitStatus != 0 && failure.empty())
                    failure = "the program ended with status " + std::to_string(exitStatus);
            }
            counter.stop();
            fs::current_path(startDir, error);

            std::printf("readout_rate: three-axis lines, %d characters with CR LF; %.0f s per "
                        "speed after %.0f s to settle; poll tick %lld ms\n",
                        LineCharacters, toSeconds(options->measure), toSeconds(SettleTime),
                        static_cast<long long>(TickPeriod.count()));
            for (const Phase& phase : phases)
                if (phase.end > phase.start)
                    report(phase, counter, shown);
            if (unreadable > 0 || counter.failedWrites() > 0)
                std::printf("also: %ld X readings that were no number, %ld writes the port did "
                            "not take\n",
                            unreadable, counter.failedWrites());
            if (!failure.empty()) {
                std::fprintf(stderr, "readout_rate: %s\n", failure.c_str());
                status = 1;
            }
        }
    }
    fs::remove_all(root, error);
    return status;
}
