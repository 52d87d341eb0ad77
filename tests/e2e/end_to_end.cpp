#include "end_to_end.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vx::e2e {

namespace {

constexpr milliseconds XServerTimeout{20000};
constexpr milliseconds SimReadyTimeout{5000};

fs::path makeTempRoot() {
    std::string pattern = (fs::temp_directory_path() / "vx-e2e-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed for " + pattern);
    return pattern;
}

// The test's own folder for artefacts: "<suite>.<test>".
fs::path artefactFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return fs::path(VX_E2E_ARTIFACTS_DIR) /
           (std::string(info->test_suite_name()) + "." + info->name());
}

} // namespace

bool showsText(const ScreenImage& image, const Rect& clientRect, int menuBar) {
    // A reading in the large font darkens hundreds of pixels; an empty place none.
    return image.darkPixels(
               {clientRect.x, clientRect.y + menuBar, clientRect.width, clientRect.height}) >= 50;
}

bool sameAt(const ScreenImage& a, const ScreenImage& b, const Rect& clientRect, int menuBar) {
    return a.sameIn(b, {clientRect.x, clientRect.y + menuBar, clientRect.width, clientRect.height});
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string hexDump(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x ", static_cast<unsigned char>(c));
        text += pair;
    }
    return text;
}

std::string visible(const std::string& text) {
    std::string result;
    for (const char c : text) {
        if (c == '\r')
            result += "\\r";
        else if (c == '\n')
            result += "\\n\n";
        else
            result += c;
    }
    return result;
}

void EndToEnd::SetUp() {
    m_root = makeTempRoot();
    m_work = m_root / "work";
    m_ports = m_root / "ports";
    m_config = m_root / "config";
    for (const char* dir : {"work", "ports", "config", "home", "tmp", "runtime"})
        fs::create_directories(m_root / dir);
    fs::permissions(m_root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
    m_artefacts = artefactFolder();
    fs::create_directories(m_artefacts);
    m_simLog = m_root / "sim.log";

    m_x = std::make_unique<XServer>(m_root, XServerTimeout);
    try {
        m_events = std::make_unique<WindowEventLog>(m_x->environment(),
                                                    (m_root / "xev.log").string(), XServerTimeout);
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string(e.what()) + "\nXvfb on " + m_x->display() +
                                 (m_x->running() ? " runs" : " has ended") + ":\n" +
                                 fileBytes(m_root / "xvfb.log"));
    }
    m_desktop = std::make_unique<Desktop>(m_x->environment());
}

void EndToEnd::TearDown() {
    if (m_root.empty())
        return; // SetUp failed before anything was started
    // Ended before their logs are kept, so the logs are complete.
    m_vx.reset();
    m_sim.reset();
    if (m_events) {
        const fs::path events = m_root / "window-events.txt";
        std::ofstream(events) << m_events->transcript();
        keepArtefact(events, "window-events.txt");
    }
    keepArtefact(m_simLog, "vx515sim.log");
    for (int run = 1; run <= m_vxRuns; ++run)
        keepArtefact(m_root / ("vx-" + std::to_string(run) + ".log"),
                     "vx-" + std::to_string(run) + ".log");
    keepArtefact(m_root / "xvfb.log", "xvfb.log");
    keepArtefact(m_root / "xev.log", "xev.log");
    m_desktop.reset();
    m_events.reset();
    m_x.reset();
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
}

void EndToEnd::keepArtefact(const fs::path& file, const std::string& name) const {
    // Copied under a unique name and renamed, so two runs side by side never see half a file.
    std::error_code error;
    if (!fs::exists(file, error))
        return;
    const fs::path part =
        m_artefacts / (name + ".part" + std::to_string(::getpid()) + m_root.filename().string());
    if (fs::copy_file(file, part, fs::copy_options::overwrite_existing, error))
        fs::rename(part, m_artefacts / name, error);
    if (error)
        fs::remove(part, error);
}

sim::testing::SimProcess& EndToEnd::startSimulator(int port) {
    m_sim = std::make_unique<sim::testing::SimProcess>(
        VX515SIM_PATH, std::vector<std::string>{"--dir", m_ports.string(), "--port",
                                                std::to_string(port), "--log", m_simLog.string()});
    if (!m_sim->started())
        throw std::runtime_error("vx515sim did not start");
    const std::optional<std::string> link = m_sim->waitReady(SimReadyTimeout);
    if (!link)
        throw std::runtime_error("vx515sim was not ready in time");
    if (fs::path(*link) != m_ports / ("COM" + std::to_string(port)))
        throw std::runtime_error("vx515sim is ready at an unexpected link " + *link);
    return *m_sim;
}

void EndToEnd::simCommand(const std::string& lines) {
    if (!m_sim || !m_sim->command(lines))
        throw std::runtime_error("the simulator took no command: " + lines);
}

std::string EndToEnd::simLog() const {
    return fileBytes(m_simLog);
}

std::optional<std::size_t> EndToEnd::waitForSimLog(const std::string& text, std::size_t from,
                                                   milliseconds timeout) const {
    std::optional<std::size_t> at;
    waitFor(
        [&] {
            const std::string log = simLog();
            if (from > log.size())
                return false;
            const std::size_t found = log.find(text, from);
            if (found != std::string::npos)
                at = found;
            return at.has_value();
        },
        timeout);
    return at;
}

std::vector<std::string> EndToEnd::keysSince(std::size_t from, std::size_t count,
                                             milliseconds timeout) const {
    std::vector<std::string> keys;
    waitFor(
        [&] {
            keys.clear();
            const std::string log = simLog();
            std::istringstream in(from < log.size() ? log.substr(from) : std::string());
            for (std::string line; std::getline(in, line);) {
                // "20:48:53.309 RX "0" key zero-X": everything but the polls.
                const std::size_t rx = line.find(" RX ");
                if (rx == std::string::npos || line.find("\"O\" poll", rx) != std::string::npos)
                    continue;
                keys.push_back(line.substr(rx + 4));
            }
            return keys.size() >= count;
        },
        timeout);
    return keys;
}

ChildProcess& EndToEnd::startVx(const fs::path& workDir) {
    ++m_vxRuns;
    Launch launch;
    launch.args = {VX_PATH};
    launch.workDir = workDir.string();
    launch.outputFile = (m_root / ("vx-" + std::to_string(m_vxRuns) + ".log")).string();
    launch.env = m_x->environment();
    const auto set = [&](const char* name, const fs::path& value) {
        launch.env[name] = value.string();
    };
    launch.env["QT_QPA_PLATFORM"] = "xcb";
    set("XDG_CONFIG_HOME", m_config);
    set("HOME", m_root / "home");
    set("VX_SERIAL_PORT_DIR", m_ports);
    set("TMPDIR", m_root / "tmp");
    set("XDG_RUNTIME_DIR", m_root / "runtime");
    // Qt's own style and dialogs, at one pixel per pixel, whatever the caller's desktop says.
    for (const char* name :
         {"QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
          "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI"})
        launch.env[name] = std::nullopt;
    m_vx.reset();
    m_vxStarted = Clock::now();
    m_vx = std::make_unique<ChildProcess>(launch);
    return *m_vx;
}

std::optional<int> EndToEnd::exitVx(WindowId mainWindow) {
    m_desktop->key(mainWindow, "ctrl+x");
    return m_vx->waitExit(ExitTimeout);
}

int EndToEnd::menuBarHeight(WindowId mainWindow) {
    // The menu bar ends in a line of one colour across the window, on a ground of another. A
    // window just shown may not be painted yet, so it is looked at until the line is there.
    std::optional<int> height;
    waitFor(
        [&] {
            const ScreenImage image = screenshot(mainWindow, "menu-bar-probe");
            for (int y = 8; y < 80 && y < image.height(); ++y) {
                const std::optional<Rgb> above = image.rowColour(y - 1);
                const std::optional<Rgb> row = image.rowColour(y);
                if (above && row && !(*above == *row)) {
                    height = y + 1;
                    return true;
                }
            }
            return false;
        },
        StepTimeout, milliseconds(100));
    if (!height)
        throw std::runtime_error("no line under the menu bar found; see menu-bar-probe.png");
    return *height;
}

Rect EndToEnd::onWindow(const Rect& clientRect, int menuBar) const {
    return {clientRect.x, clientRect.y + menuBar, clientRect.width, clientRect.height};
}

void EndToEnd::clickControl(WindowId mainWindow, const Rect& clientRect, int menuBar) {
    const Rect r = onWindow(clientRect, menuBar);
    m_desktop->click(mainWindow, r.x + r.width / 2, r.y + r.height / 2);
}

ScreenImage EndToEnd::screenshot(WindowId window, const std::string& name) {
    const fs::path shot = m_root / (name + ".png");
    ScreenImage image = m_desktop->capture(window, shot);
    keepArtefact(shot, name + ".png");
    return image;
}

} // namespace vx::e2e
