#include "end_to_end.h"

#include <map>
#include <regex>
#include <sstream>

namespace vx::e2e {
namespace {

constexpr int TwipsPerPixel = 15;

// The keys of one group of an INI file.
std::map<std::string, std::string> iniGroup(const std::string& text, const std::string& group) {
    std::map<std::string, std::string> keys;
    std::istringstream in(text);
    bool inGroup = false;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line.front() == '[') {
            inGroup = line == "[" + group + "]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (inGroup && eq != std::string::npos)
            keys[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return keys;
}

// The records of a log file: each ends with the line's own CR LF and one more.
std::vector<std::string> records(const std::string& bytes) {
    std::vector<std::string> result;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n\r\n", start)) != std::string::npos;) {
        result.push_back(bytes.substr(start, end + 4 - start));
        start = end + 4;
    }
    if (start < bytes.size())
        result.push_back(bytes.substr(start));
    return result;
}

// A log file chosen in the Open dialog gets the record the counter asks for and the one asked
// for with RS, each as the counter's line and CR LF; the window's place is kept at exit.
TEST_F(EndToEnd, RecordsGoToTheLogFileAndTheWindowPlaceIsKept) {
    startSimulator(1);
    startVx(workDir());
    const std::optional<WindowInfo> main = desktop().waitForTitle(ThreeAxisTitle, StartTimeout);
    ASSERT_TRUE(main) << "no window titled " << ThreeAxisTitle;
    const int menuBar = menuBarHeight(main->id);

    // An empty folder: the file name typed has nothing to complete.
    const fs::path logFile = root() / "records" / "records.txt";
    fs::create_directories(logFile.parent_path());
    desktop().key(main->id, "ctrl+o");
    const std::optional<WindowInfo> dialog = desktop().waitForTitle(OpenDialogTitle, StepTimeout);
    ASSERT_TRUE(dialog) << "no dialog titled " << OpenDialogTitle;
    desktop().type(dialog->id, logFile.string());
    screenshot(dialog->id, "open-dialog");
    desktop().key(dialog->id, "Return");
    EXPECT_TRUE(desktop().waitUntilGone(dialog->id, StepTimeout));
    ASSERT_TRUE(waitFor([&] { return fs::exists(logFile); }, StepTimeout))
        << "the log file was not created; see open-dialog.png";

    // The counter asks for a record: its next line, with the marker, shows the positions just set
    // (the commands arrive together, so no line comes in between).
    const std::string counterRecord = "X    12.500 Y    -3.250TZ     7.000T M\r\n\r\n";
    simCommand("set x 12.5\nset y -3.25\nset z 7\nrecord");
    EXPECT_TRUE(
        waitFor([&] { return fileBytes(logFile).size() >= counterRecord.size(); }, StepTimeout))
        << "the counter's record is not in the file yet: " << visible(fileBytes(logFile));

    // RS asks for the next line. The counter is kept silent until the click has been handled, so
    // the next line is the one with the positions set then.
    std::size_t mark = simLog().size();
    simCommand("silent on");
    const std::string ignored = "poll ignored (silent)";
    for (int i = 0; i < 2; ++i) {
        // The poll after the last line, then the program's idle poll: no line is under way.
        const std::optional<std::size_t> at = waitForSimLog(ignored, mark, StepTimeout);
        ASSERT_TRUE(at) << "the program did not poll the silent counter";
        mark = *at + ignored.size();
    }
    clickControl(main->id, layout::CmdRS, menuBar);
    // A poll after the click: the program has handled it.
    ASSERT_TRUE(waitForSimLog(ignored, simLog().size(), StepTimeout));
    const std::string rsRecord = "X    20.125 Y     0.500 Z    -1.750  M\r\n\r\n";
    simCommand("set x 20.125\nset y 0.5\nset z -1.75\nsilent off");
    EXPECT_TRUE(
        waitFor([&] { return fileBytes(logFile).size() >= counterRecord.size() + rsRecord.size(); },
                StepTimeout))
        << "the RS record is not in the file yet: " << visible(fileBytes(logFile));

    screenshot(main->id, "after-records");
    const std::optional<Rect> geometry = desktop().geometry(main->id);
    ASSERT_TRUE(geometry);
    const std::optional<int> status = exitVx(main->id);
    ASSERT_TRUE(status) << "the program did not end after Ctrl+X";
    EXPECT_EQ(describeStatus(*status), "exit 0");

    const std::string bytes = fileBytes(logFile);
    keepArtefact(logFile, "records.txt");
    const std::vector<std::string> found = records(bytes);
    EXPECT_EQ(found.size(), 2u) << visible(bytes);
    const std::regex threeAxisRecord(
        R"(X[ 0-9.-]{10} Y[ 0-9.-]{10}[ T]Z[ 0-9.-]{10}[ T] M\r\n\r\n)");
    for (const std::string& record : found)
        EXPECT_TRUE(std::regex_match(record, threeAxisRecord)) << visible(record);
    EXPECT_EQ(visible(bytes), visible(counterRecord + rsRecord));

    const fs::path conf = configDir() / "Vx" / "Vx.conf";
    const std::map<std::string, std::string> settings = iniGroup(fileBytes(conf), "Settings");
    const std::map<std::string, int> expected{{"MainLeft", geometry->x * TwipsPerPixel},
                                              {"MainTop", geometry->y * TwipsPerPixel},
                                              {"MainWidth", geometry->width * TwipsPerPixel},
                                              {"MainHeight", geometry->height * TwipsPerPixel}};
    for (const auto& [key, twips] : expected) {
        const auto it = settings.find(key);
        ASSERT_NE(it, settings.end()) << key << " missing from " << conf << ":\n"
                                      << fileBytes(conf);
        EXPECT_EQ(it->second, std::to_string(twips)) << key;
    }
}

} // namespace
} // namespace vx::e2e
