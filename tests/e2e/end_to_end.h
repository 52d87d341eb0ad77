#pragma once

#include "harness/child_process.h"
#include "harness/x_session.h"
#include "vx515sim/testing/sim_process.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace vx::e2e {

namespace fs = std::filesystem;

// Generous deadlines: the program is waited for, never slept on.
inline constexpr milliseconds StartTimeout{15000};
inline constexpr milliseconds StepTimeout{5000};
inline constexpr milliseconds ExitTimeout{10000};

inline const std::string ThreeAxisTitle = "三軸顯示";
inline const std::string TwoAxisTitle = "二軸顯示";
inline const std::string PortPromptTitle = "傳輸埠錯誤";
inline const std::string LinkLostTitle = "USB無信號";
inline const std::string OpenDialogTitle = "開啟";

// Places on the main window's client area, below the menu bar, in pixels.
namespace layout {
inline constexpr Rect CmdX{40, 112, 57, 57};
inline constexpr Rect CmdABS{408, 184, 57, 57};
inline constexpr Rect CmdRS{480, 184, 57, 57};
inline constexpr Rect ReadingX{120, 112, 257, 57};
inline constexpr Rect ReadingY{120, 184, 257, 57};
inline constexpr Rect ReadingZ{120, 256, 257, 57};
} // namespace layout

// One run of the real program against the simulator in a private X server: a temp folder for
// everything the program and the simulator write, and the processes, killed and reaped however
// the test ends. Screenshots and logs are kept in the artefacts folder of the test.
class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    const fs::path& workDir() const { return m_work; }
    const fs::path& root() const { return m_root; }
    const fs::path& configDir() const { return m_config; }

    Desktop& desktop() { return *m_desktop; }
    WindowEventLog& windowEvents() { return *m_events; }

    // The simulator on port n of the program's port folder, once it is ready.
    sim::testing::SimProcess& startSimulator(int port);
    // A command on the simulator's input; fails the test when it cannot be written.
    void simCommand(const std::string& lines);
    std::string simLog() const;
    // Waits until the simulator's log holds the text after the offset; its position, if it did.
    std::optional<std::size_t> waitForSimLog(const std::string& text, std::size_t from,
                                             milliseconds timeout) const;
    // The key codes the simulator took after the offset, e.g. "\"0\" key zero-X", once there are
    // at least count of them or the deadline has passed.
    std::vector<std::string> keysSince(std::size_t from, std::size_t count,
                                       milliseconds timeout) const;

    // The program in the folder; the time it was started is kept.
    ChildProcess& startVx(const fs::path& workDir);
    Clock::time_point vxStarted() const { return m_vxStarted; }
    // Ends the program with Ctrl+X on its main window: its wait status, or nothing by the deadline.
    std::optional<int> exitVx(WindowId mainWindow);

    // The height of the main window's menu bar: the client area starts below it.
    int menuBarHeight(WindowId mainWindow);
    // A control's rectangle of the client area, in the window's pixels.
    Rect onWindow(const Rect& clientRect, int menuBar) const;
    void clickControl(WindowId mainWindow, const Rect& clientRect, int menuBar);

    // A screenshot of the window, kept in the artefacts folder under the name (".png" added).
    ScreenImage screenshot(WindowId window, const std::string& name);
    // Keeps a copy of the file in the artefacts folder.
    void keepArtefact(const fs::path& file, const std::string& name) const;

private:
    fs::path m_root;
    fs::path m_work;
    fs::path m_ports;
    fs::path m_config;
    fs::path m_artefacts;
    fs::path m_simLog;
    int m_vxRuns = 0;
    Clock::time_point m_vxStarted;

    // Destroyed in reverse order: the program first, the X server last.
    std::unique_ptr<XServer> m_x;
    std::unique_ptr<WindowEventLog> m_events;
    std::unique_ptr<Desktop> m_desktop;
    std::unique_ptr<sim::testing::SimProcess> m_sim;
    std::unique_ptr<ChildProcess> m_vx;
};

// Whether the control's place on the window holds text: dark pixels on the light ground.
bool showsText(const ScreenImage& image, const Rect& clientRect, int menuBar);
// Whether the control's place looks the same on both.
bool sameAt(const ScreenImage& a, const ScreenImage& b, const Rect& clientRect, int menuBar);

// The bytes of a file; empty when it cannot be read.
std::string fileBytes(const fs::path& path);
// Bytes as hex pairs, for messages.
std::string hexDump(const std::string& bytes);
// Text with CR and LF made visible, for messages.
std::string visible(const std::string& text);

} // namespace vx::e2e
