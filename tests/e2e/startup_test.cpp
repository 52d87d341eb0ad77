#include "end_to_end.h"

#include <algorithm>

namespace vx::e2e {
namespace {

using std::chrono::duration_cast;

bool showsReadings(const ScreenImage& image, int menuBar) {
    for (const Rect& row : {layout::ReadingX, layout::ReadingY, layout::ReadingZ})
        if (!showsText(image, row, menuBar))
            return false;
    return true;
}

// The splash comes first and stays for at least half a second; then the main window takes its
// place, showing the counter's readings.
TEST_F(EndToEnd, SplashComesFirstThenTheMainWindow) {
    startSimulator(1);
    startVx(workDir());

    // The first window of the program to be seen.
    const std::optional<WindowInfo> splash =
        desktop().waitForWindow([](const WindowInfo&) { return true; }, StartTimeout);
    ASSERT_TRUE(splash) << "no window of the program appeared";
    const std::vector<std::string> types = desktop().windowTypes(splash->id);
    EXPECT_NE(std::find(types.begin(), types.end(), "_NET_WM_WINDOW_TYPE_SPLASH"), types.end())
        << "the first window is no splash window: \"" << splash->name << "\", "
        << splash->geometry.width << "x" << splash->geometry.height;
    EXPECT_NE(splash->name, ThreeAxisTitle);

    const std::optional<WindowInfo> main = desktop().waitForTitle(ThreeAxisTitle, StartTimeout);
    ASSERT_TRUE(main) << "no window titled " << ThreeAxisTitle;
    EXPECT_TRUE(desktop().waitUntilGone(splash->id, StepTimeout))
        << "the splash is still shown beside the main window";

    // The server's own account of the windows, not a sampling of it.
    const std::vector<WindowId> mapped = windowEvents().mappedWindows();
    ASSERT_FALSE(mapped.empty());
    EXPECT_EQ(mapped.front(), splash->id) << "another window was shown before the splash";
    const std::optional<WindowEvent> splashShown = windowEvents().first("MapNotify", splash->id);
    const std::optional<WindowEvent> splashHidden = windowEvents().first("UnmapNotify", splash->id);
    const std::optional<WindowEvent> mainShown = windowEvents().first("MapNotify", main->id);
    ASSERT_TRUE(splashShown && splashHidden && mainShown) << windowEvents().transcript();
    EXPECT_GT(mainShown->time, splashShown->time);
    const auto splashTime = duration_cast<milliseconds>(splashHidden->time - splashShown->time);
    RecordProperty("splash_ms", static_cast<int>(splashTime.count()));
    EXPECT_GE(splashTime.count(), 500)
        << "the splash was shown for " << splashTime.count() << " ms";

    const int menuBar = menuBarHeight(main->id);
    bool readings = false;
    waitFor(
        [&] {
            readings = showsReadings(screenshot(main->id, "main-window"), menuBar);
            return readings;
        },
        StepTimeout);
    EXPECT_TRUE(readings) << "the X, Y and Z readings are not all shown; see main-window.png";

    const std::optional<int> status = exitVx(main->id);
    ASSERT_TRUE(status) << "the program did not end after Ctrl+X";
    EXPECT_EQ(describeStatus(*status), "exit 0");
}

} // namespace
} // namespace vx::e2e
