#pragma once

#include "child_process.h"
#include "screen_image.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vx::e2e {

using WindowId = unsigned long;

// A private X server (Xvfb) on a display number it picks itself, so runs side by side never meet,
// and open only to clients with its cookie.
class XServer {
public:
    // Its cookie file and log go into the folder. Throws std::runtime_error when it does not come
    // up by the deadline.
    XServer(const std::filesystem::path& folder, milliseconds timeout);
    const std::string& display() const { return m_display; }
    // DISPLAY and XAUTHORITY for the programs that are to use this server.
    Environment environment() const;
    bool running() const { return m_process->running(); }

private:
    std::filesystem::path m_authority;
    std::unique_ptr<ChildProcess> m_process;
    std::string m_display;
};

// A map, unmap, create or destroy of a top-level window, as the server told it.
struct WindowEvent {
    Clock::time_point time; // when the report arrived here
    std::string type;       // "MapNotify", "UnmapNotify", ...
    WindowId window = 0;
    std::string text; // the report as xev wrote it
};

// Every window coming and going on the server, with the time it happened: the short-lived
// windows and their order are seen exactly, not sampled.
class WindowEventLog {
public:
    // Throws std::runtime_error when xev does not report a test property change by the deadline.
    // xev's complaints go to the error file.
    WindowEventLog(const Environment& display, const std::string& errorFile, milliseconds timeout);
    ~WindowEventLog();
    WindowEventLog(const WindowEventLog&) = delete;
    WindowEventLog& operator=(const WindowEventLog&) = delete;

    // The first event of the type for the window, from the event at the index on, if there was one.
    std::optional<WindowEvent> first(const std::string& type, WindowId window,
                                     std::size_t from = 0) const;
    // The windows mapped from the event at the index on, in the order they were first mapped.
    std::vector<WindowId> mappedWindows(std::size_t from = 0) const;
    std::size_t count() const;
    std::string transcript() const;

private:
    void readLoop(int fd);

    std::unique_ptr<ChildProcess> m_process;
    std::thread m_reader;
    mutable std::mutex m_mutex;
    std::vector<WindowEvent> m_events;
    std::string m_transcript;
};

struct WindowInfo {
    WindowId id = 0;
    std::string name;
    Rect geometry; // on the screen; without a window manager there is no frame around it
};

// The program's windows, found and driven with xdotool; every wait has a deadline. Errors of the
// tools throw std::runtime_error, so a test stops with what the tool said.
class Desktop {
public:
    explicit Desktop(Environment display);

    // The program's mapped top-level windows (class "vx").
    std::vector<WindowInfo> visibleWindows() const;
    std::string name(WindowId id) const;
    std::optional<Rect> geometry(WindowId id) const;
    bool isVisible(WindowId id) const;
    // The _NET_WM_WINDOW_TYPE atoms Qt gave the window, e.g. "_NET_WM_WINDOW_TYPE_SPLASH".
    std::vector<std::string> windowTypes(WindowId id) const;

    std::optional<WindowInfo> waitForWindow(const std::function<bool(const WindowInfo&)>& wanted,
                                            milliseconds timeout) const;
    std::optional<WindowInfo> waitForTitle(const std::string& title, milliseconds timeout) const;
    bool waitForName(WindowId id, const std::string& title, milliseconds timeout) const;
    bool waitUntilGone(WindowId id, milliseconds timeout) const;

    // Keyboard input goes to the window: it is given the input focus first.
    void key(WindowId id, const std::string& keys) const;
    void type(WindowId id, const std::string& text) const;
    // A left click at a position inside the window.
    void click(WindowId id, int x, int y) const;

    // The window's pixels, kept as a PNG at the path.
    ScreenImage capture(WindowId id, const std::filesystem::path& png) const;

private:
    std::string run(const std::vector<std::string>& args, bool mayFail = false) const;

    Environment m_env;
};

// Checks the condition until it holds or the deadline passes; its last result.
bool waitFor(const std::function<bool()>& condition, milliseconds timeout,
             milliseconds interval = milliseconds(20));

} // namespace vx::e2e
