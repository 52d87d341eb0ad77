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

#include "platform/posix/posix_system.h"
#include "played_counter.h"
#include "readout_rate_report.h"
#include "shell/ui/application.h"
#include "shell/ui/widget_style.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace vx::bench;

constexpr int PortNumber = 1;
// Before each measurement: lets the speed change and the first lines pass.
constexpr auto SettleTime = 1s;
// After the last measurement: lines that ended in it are still shown before the exit.
constexpr auto DrainTime = 500ms;
// The splash alone stays half a second; the handshake may take up to 2 s more.
constexpr auto StartDeadline = 15s;
constexpr auto ExitDeadline = 5s;
constexpr int MenuSpeeds[] = {1200, 2400, 4800, 9600, 19200};

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
        m_subscription = label.observe([this, &label](unsigned changed) {
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
    vx::Observable::Subscription m_subscription;
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
    std::copy(speed.begin(), speed.end(), records + 22);
    std::ofstream out(file, std::ios::binary);
    out.write(records, sizeof records);
    return static_cast<bool>(out);
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
                const vx::PosixSystem system;
                vx::ui::Application app(system);
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
