#include "x_session.h"

#include "vx515sim/testing/sim_process.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace vx::e2e {

namespace {

constexpr milliseconds ToolTimeout{10000};
const char* const SyncProperty = "_VX_E2E_SYNC";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            result.push_back(line);
    return result;
}

std::optional<WindowId> hexWindowAfter(const std::string& text, const std::string& key) {
    const std::size_t at = text.find(key);
    if (at == std::string::npos)
        return std::nullopt;
    return std::stoul(text.substr(at + key.size()), nullptr, 16);
}

std::string commandLine(const std::vector<std::string>& args) {
    std::string text;
    for (const std::string& arg : args)
        text += (text.empty() ? "" : " ") + arg;
    return text;
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One cookie for any display of any host: the server's only key, and its clients'. Other programs
// on the machine that try a display number that happens to be ours are turned away.
void writeAuthority(const std::filesystem::path& file) {
    std::string cookie(16, '\0');
    std::ifstream random("/dev/urandom", std::ios::binary);
    if (!random.read(cookie.data(), static_cast<std::streamsize>(cookie.size())))
        throw std::runtime_error("no random bytes for the X cookie");
    const auto counted = [](const std::string& bytes) {
        return std::string{static_cast<char>(bytes.size() >> 8),
                           static_cast<char>(bytes.size() & 0xff)} +
               bytes;
    };
    const std::string wildFamily{'\xff', '\xff'};
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << wildFamily << counted("") << counted("") << counted("MIT-MAGIC-COOKIE-1")
        << counted(cookie);
    if (!out.flush())
        throw std::runtime_error("cannot write " + file.string());
}

} // namespace

bool waitFor(const std::function<bool()>& condition, milliseconds timeout, milliseconds interval) {
    return sim::testing::waitUntil(condition, timeout, interval);
}

XServer::XServer(const std::filesystem::path& folder, milliseconds timeout)
    : m_authority(folder / "xauthority") {
    writeAuthority(m_authority);
    const std::string logFile = (folder / "xvfb.log").string();
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe: " + std::string(std::strerror(errno)));
    Launch launch;
    // No resets: a server that resets when its last client leaves turns away one that connects
    // just then.
    launch.args = {
        "Xvfb", "-displayfd", "3",     "-screen",           "0", "1024x768x24", "-nolisten",
        "tcp",  "-noreset",   "-auth", m_authority.string()};
    launch.outputFile = logFile;
    launch.descriptor3 = fds[1];
    try {
        m_process = std::make_unique<ChildProcess>(launch);
    } catch (...) {
        ::close(fds[0]);
        ::close(fds[1]);
        throw;
    }
    ::close(fds[1]);

    // Xvfb writes the display number once it accepts clients.
    const Clock::time_point deadline = Clock::now() + timeout;
    std::string number;
    while (number.find('\n') == std::string::npos) {
        const auto left = std::chrono::ceil<milliseconds>(deadline - Clock::now()).count();
        pollfd fd{fds[0], POLLIN, 0};
        const int ready = ::poll(&fd, 1, left < 0 ? 0 : static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        char buffer[32];
        const ssize_t n = ready > 0 ? ::read(fds[0], buffer, sizeof buffer) : 0;
        if (n <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (number.find('\n') == std::string::npos)
        throw std::runtime_error("Xvfb gave no display number; see " + logFile);
    m_display = ":" + number.substr(0, number.find('\n'));
}

Environment XServer::environment() const {
    return {{"DISPLAY", m_display},
            {"XAUTHORITY", m_authority.string()},
            {"WAYLAND_DISPLAY", std::nullopt}};
}

WindowEventLog::WindowEventLog(const Environment& display, const std::string& errorFile,
                               milliseconds timeout) {
    Launch launch;
    // Line-buffered, so each report arrives when it happens.
    launch.args = {"stdbuf", "-oL", "xev", "-root", "-event", "substructure", "-event", "property"};
    launch.env = display;
    launch.pipeStdout = true;
    launch.outputFile = errorFile;
    const auto start = [&] {
        m_process = std::make_unique<ChildProcess>(launch);
        m_reader = std::thread([this, fd = m_process->stdoutFd()] { readLoop(fd); });
    };
    const auto stop = [&] {
        m_process->kill(); // its pipe ends, and with it the reader
        if (m_reader.joinable())
            m_reader.join();
    };
    start();

    // xev says nothing when it starts: a property set on the root window shows that it listens.
    // One that could not connect is started again.
    bool heard = false;
    try {
        heard = waitFor(
            [&] {
                if (!m_process->running()) {
                    stop();
                    start();
                }
                runCommand({"xprop", "-root", "-f", SyncProperty, "8s", "-set", SyncProperty, "1"},
                           display, ToolTimeout);
                return waitFor(
                    [&] {
                        const std::lock_guard lock(m_mutex);
                        return m_transcript.find(SyncProperty) != std::string::npos;
                    },
                    milliseconds(300));
            },
            timeout, milliseconds(0));
    } catch (...) {
        stop();
        throw;
    }
    if (!heard) {
        const bool running = m_process->running();
        stop();
        throw std::runtime_error(std::string("xev did not report the root window's events (") +
                                 (running ? "running" : "ended") + "): " + readText(errorFile));
    }
}

WindowEventLog::~WindowEventLog() {
    m_process->kill(); // its pipe ends, and with it the reader
    if (m_reader.joinable())
        m_reader.join();
}

void WindowEventLog::readLoop(int fd) {
    std::string pending;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        const Clock::time_point now = Clock::now();
        pending.append(buffer, static_cast<std::size_t>(n));
        const std::lock_guard lock(m_mutex);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            m_transcript += line + "\n";
            if (line.empty())
                continue;
            if (line.find(" event, serial ") != std::string::npos && line[0] != ' ') {
                m_events.push_back({now, line.substr(0, line.find(' ')), 0, line});
                continue;
            }
            if (m_events.empty())
                continue;
            WindowEvent& event = m_events.back();
            event.text += "\n" + line;
            if (event.window == 0)
                if (const std::optional<WindowId> window = hexWindowAfter(line, "window 0x"))
                    event.window = *window;
        }
    }
}

std::optional<WindowEvent> WindowEventLog::first(const std::string& type, WindowId window,
                                                 std::size_t from) const {
    const std::lock_guard lock(m_mutex);
    for (std::size_t i = from; i < m_events.size(); ++i)
        if (m_events[i].type == type && m_events[i].window == window)
            return m_events[i];
    return std::nullopt;
}

std::size_t WindowEventLog::count() const {
    const std::lock_guard lock(m_mutex);
    return m_events.size();
}

std::vector<WindowId> WindowEventLog::mappedWindows(std::size_t from) const {
    const std::lock_guard lock(m_mutex);
    std::vector<WindowId> windows;
    for (std::size_t i = from; i < m_events.size(); ++i)
        if (const WindowEvent& event = m_events[i];
            event.type == "MapNotify" &&
            std::find(windows.begin(), windows.end(), event.window) == windows.end())
            windows.push_back(event.window);
    return windows;
}

std::string WindowEventLog::transcript() const {
    const std::lock_guard lock(m_mutex);
    return m_transcript;
}

Desktop::Desktop(Environment display)
    : m_env(std::move(display)) {}

std::string Desktop::run(const std::vector<std::string>& args, bool mayFail) const {
    const CommandResult result = runCommand(args, m_env, ToolTimeout);
    if (result.timedOut)
        throw std::runtime_error(commandLine(args) + ": no end within the deadline");
    if (!mayFail && !result.ok())
        throw std::runtime_error(commandLine(args) + ": " + describeStatus(result.status) + ": " +
                                 result.err);
    return result.out;
}

std::vector<WindowInfo> Desktop::visibleWindows() const {
    std::vector<WindowInfo> windows;
    // Exit status 1 just says that nothing matched.
    for (const std::string& line :
         lines(run({"xdotool", "search", "--onlyvisible", "--class", "^vx$"}, true))) {
        WindowInfo info;
        info.id = std::stoul(line);
        // A window that goes away meanwhile is no longer one of them.
        const CommandResult name =
            runCommand({"xdotool", "getwindowname", line}, m_env, ToolTimeout);
        const std::optional<Rect> where = geometry(info.id);
        if (!name.ok() || !where)
            continue;
        info.name = name.out.substr(0, name.out.find('\n'));
        info.geometry = *where;
        windows.push_back(info);
    }
    return windows;
}

std::string Desktop::name(WindowId id) const {
    const std::string out = run({"xdotool", "getwindowname", std::to_string(id)}, true);
    return out.substr(0, out.find('\n'));
}

std::optional<Rect> Desktop::geometry(WindowId id) const {
    const CommandResult result = runCommand(
        {"xdotool", "getwindowgeometry", "--shell", std::to_string(id)}, m_env, ToolTimeout);
    if (!result.ok())
        return std::nullopt;
    Rect rect;
    int found = 0;
    for (const std::string& line : lines(result.out)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const int value = std::stoi(line.substr(eq + 1));
        if (key == "X")
            rect.x = value, ++found;
        else if (key == "Y")
            rect.y = value, ++found;
        else if (key == "WIDTH")
            rect.width = value, ++found;
        else if (key == "HEIGHT")
            rect.height = value, ++found;
    }
    return found == 4 ? std::optional(rect) : std::nullopt;
}

bool Desktop::isVisible(WindowId id) const {
    const CommandResult result =
        runCommand({"xwininfo", "-id", std::to_string(id)}, m_env, ToolTimeout);
    return result.ok() && result.out.find("Map State: IsViewable") != std::string::npos;
}

std::vector<std::string> Desktop::windowTypes(WindowId id) const {
    const std::string out = run({"xprop", "-id", std::to_string(id), "_NET_WM_WINDOW_TYPE"}, true);
    std::vector<std::string> types;
    const std::size_t eq = out.find(" = ");
    if (eq == std::string::npos)
        return types;
    std::istringstream in(out.substr(eq + 3));
    for (std::string atom; std::getline(in, atom, ',');) {
        const std::size_t start = atom.find_first_not_of(" \n");
        const std::size_t end = atom.find_last_not_of(" \n");
        if (start != std::string::npos)
            types.push_back(atom.substr(start, end - start + 1));
    }
    return types;
}

std::optional<WindowInfo>
Desktop::waitForWindow(const std::function<bool(const WindowInfo&)>& wanted,
                       milliseconds timeout) const {
    std::optional<WindowInfo> found;
    waitFor(
        [&] {
            for (const WindowInfo& window : visibleWindows())
                if (wanted(window)) {
                    found = window;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

std::optional<WindowInfo> Desktop::waitForTitle(const std::string& title,
                                                milliseconds timeout) const {
    return waitForWindow([&](const WindowInfo& window) { return window.name == title; }, timeout);
}

bool Desktop::waitForName(WindowId id, const std::string& title, milliseconds timeout) const {
    return waitFor([&] { return name(id) == title; }, timeout);
}

bool Desktop::waitUntilGone(WindowId id, milliseconds timeout) const {
    return waitFor([&] { return !isVisible(id); }, timeout);
}

void Desktop::key(WindowId id, const std::string& keys) const {
    run({"xdotool", "windowfocus", std::to_string(id), "key", "--clearmodifiers", keys});
}

void Desktop::type(WindowId id, const std::string& text) const {
    run({"xdotool", "windowfocus", std::to_string(id), "type", "--delay", "15", text});
}

void Desktop::click(WindowId id, int x, int y) const {
    run({"xdotool", "mousemove", "--window", std::to_string(id), std::to_string(x),
         std::to_string(y), "click", "1"});
}

ScreenImage Desktop::capture(WindowId id, const std::filesystem::path& png) const {
    run({"import", "-silent", "-window", std::to_string(id), png.string()});
    const std::optional<ScreenImage> image =
        ScreenImage::fromPpm(run({"convert", png.string(), "-depth", "8", "ppm:-"}));
    if (!image)
        throw std::runtime_error("convert gave no image for " + png.string());
    return *image;
}

} // namespace vx::e2e
