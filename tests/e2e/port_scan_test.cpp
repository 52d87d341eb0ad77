#include "end_to_end.h"

#include <algorithm>

namespace vx::e2e {
namespace {

using std::chrono::duration_cast;

// Ports 1 and 2 would each cost the scan two seconds after the two-second wait on the stored
// port: a main window well within this came without a scan.
constexpr milliseconds WithoutScan{4000};
// The wait on port 1 and the scan of ports 1 to 3, with room to spare.
constexpr milliseconds ScanTimeout{40000};

const std::string SettingsFile = "系統資料電腦";

// The port record (16-bit little-endian number at 0) and the speed record (16-bit length and the
// text at 20) of the settings file.
bool holdsPort3At9600(const std::string& bytes) {
    const std::string port{'\x03', '\x00'};
    const std::string speed{'\x04', '\x00', '9', '6', '0', '0'};
    return bytes.size() >= 26 && bytes.substr(0, 2) == port && bytes.substr(20, 6) == speed;
}

// A first run in an empty folder finds the counter on port 3 by scanning, and the port accepted
// at the prompt is kept: the next run in the folder finds the counter at once, without a prompt.
TEST_F(EndToEnd, PortScanFindsTheCounterAndTheNextRunKeepsIt) {
    startSimulator(3);
    const fs::path settings = workDir() / SettingsFile;

    startVx(workDir());
    const std::optional<WindowInfo> prompt = desktop().waitForTitle(PortPromptTitle, ScanTimeout);
    ASSERT_TRUE(prompt) << "no prompt titled " << PortPromptTitle << " after the scan";
    desktop().key(prompt->id, "Return");
    EXPECT_TRUE(desktop().waitUntilGone(prompt->id, StepTimeout));

    std::optional<WindowInfo> main = desktop().waitForTitle(ThreeAxisTitle, StartTimeout);
    ASSERT_TRUE(main) << "no main window after the prompt";
    EXPECT_TRUE(waitFor([&] { return holdsPort3At9600(fileBytes(settings)); }, StepTimeout))
        << "the settings file holds " << hexDump(fileBytes(settings));
    std::size_t mark = simLog().size();
    EXPECT_TRUE(waitForSimLog("\"O\" poll\n", mark, StepTimeout)) << "no polls on port 3";
    std::optional<int> status = exitVx(main->id);
    ASSERT_TRUE(status) << "the first run did not end after Ctrl+X";
    EXPECT_EQ(describeStatus(*status), "exit 0");

    // The second run in the same folder.
    const std::size_t eventsBefore = windowEvents().count();
    startVx(workDir());
    main = desktop().waitForTitle(ThreeAxisTitle, StartTimeout);
    ASSERT_TRUE(main) << "no main window on the second run";
    const std::optional<WindowEvent> mainShown =
        windowEvents().first("MapNotify", main->id, eventsBefore);
    const auto startTime =
        duration_cast<milliseconds>((mainShown ? mainShown->time : Clock::now()) - vxStarted());
    EXPECT_LT(startTime, WithoutScan)
        << "the main window took " << startTime.count() << " ms: the stored port was not used";
    mark = simLog().size();
    EXPECT_TRUE(waitForSimLog("\"O\" poll\n", mark, StepTimeout)) << "no polls on port 3";

    // Only the splash and the main window were ever shown: no prompt, not even briefly.
    const std::vector<WindowId> shown = windowEvents().mappedWindows(eventsBefore);
    EXPECT_EQ(shown.size(), 2u) << windowEvents().transcript();
    EXPECT_EQ(shown.back(), main->id);
    for (const WindowInfo& window : desktop().visibleWindows())
        EXPECT_NE(window.name, PortPromptTitle);
    EXPECT_TRUE(holdsPort3At9600(fileBytes(settings)))
        << "the settings file holds " << hexDump(fileBytes(settings));

    status = exitVx(main->id);
    ASSERT_TRUE(status) << "the second run did not end after Ctrl+X";
    EXPECT_EQ(describeStatus(*status), "exit 0");
}

} // namespace
} // namespace vx::e2e
