#include "end_to_end.h"

namespace vx::e2e {
namespace {

using Keys = std::vector<std::string>;

class EndToEndReadout : public EndToEnd {
protected:
    // The program showing a three-axis counter on port 1.
    WindowInfo startWithCounter() {
        startSimulator(1);
        startVx(workDir());
        const std::optional<WindowInfo> main = desktop().waitForTitle(ThreeAxisTitle, StartTimeout);
        if (!main)
            throw std::runtime_error("no window titled " + ThreeAxisTitle);
        m_menuBar = menuBarHeight(main->id);
        return *main;
    }

    // Waits until the place looks different from the earlier screenshot; the last one is kept.
    bool changes(WindowId main, const ScreenImage& earlier, const Rect& place,
                 const std::string& name) {
        return waitFor([&] { return !sameAt(earlier, screenshot(main, name), place, m_menuBar); },
                       StepTimeout, milliseconds(100));
    }

    // Waits until the place shows text, or no text.
    bool showsTextAt(WindowId main, const Rect& place, bool text, const std::string& name) {
        return waitFor([&] { return showsText(screenshot(main, name), place, m_menuBar) == text; },
                       StepTimeout, milliseconds(100));
    }

    // The first reading, and its axis, that the window on top leaves in sight.
    std::optional<std::pair<Rect, char>> readingBeside(const WindowInfo& main,
                                                       const WindowInfo& onTop) const {
        const std::pair<Rect, char> readings[] = {
            {layout::ReadingX, 'x'}, {layout::ReadingY, 'y'}, {layout::ReadingZ, 'z'}};
        for (const auto& [place, axis] : readings) {
            const Rect onScreen{main.geometry.x + place.x, main.geometry.y + m_menuBar + place.y,
                                place.width, place.height};
            if (!onTop.geometry.intersects(onScreen))
                return std::pair(place, axis);
        }
        return std::nullopt;
    }

    int m_menuBar = 0;
};

// The readings follow the counter, the caption follows its number of axes, the keys reach it with
// the codes of its kind, and after a pulled cable the readings come back.
TEST_F(EndToEndReadout, ReadingsCaptionKeysAndAPulledCable) {
    const WindowInfo main = startWithCounter();

    // Readings on screen, and new ones when the counter moves.
    ASSERT_TRUE(showsTextAt(main.id, layout::ReadingZ, true, "readings-before"));
    const ScreenImage before = screenshot(main.id, "readings-before");
    EXPECT_TRUE(showsText(before, layout::ReadingX, m_menuBar));
    EXPECT_TRUE(showsText(before, layout::ReadingY, m_menuBar));
    simCommand("set x 12.5");
    EXPECT_TRUE(changes(main.id, before, layout::ReadingX, "readings-after"))
        << "the X reading did not change on screen; see readings-before.png, readings-after.png";

    // Keys from the menu's shortcuts and from the keypad, with the three-axis codes.
    std::size_t mark = simLog().size();
    desktop().key(main.id, "F1");
    EXPECT_EQ(keysSince(mark, 1, StepTimeout), Keys{"\"0\" key zero-X"}) << "F1";
    mark = simLog().size();
    desktop().key(main.id, "F2");
    EXPECT_EQ(keysSince(mark, 1, StepTimeout), Keys{"\"1\" key zero-Y"}) << "F2";
    mark = simLog().size();
    clickControl(main.id, layout::CmdX, m_menuBar);
    EXPECT_EQ(keysSince(mark, 1, StepTimeout), Keys{"\"0\" key zero-X"}) << "the X button";
    mark = simLog().size();
    clickControl(main.id, layout::CmdABS, m_menuBar);
    EXPECT_EQ(keysSince(mark, 1, StepTimeout), Keys{"\"4\" key abs/rel: relative"})
        << "the ABS button";

    // Two axes: the caption, no Z reading, and the two-axis code of the same button.
    simCommand("axes 2");
    EXPECT_TRUE(desktop().waitForName(main.id, TwoAxisTitle, StepTimeout))
        << "caption " << desktop().name(main.id);
    EXPECT_TRUE(showsTextAt(main.id, layout::ReadingZ, false, "two-axes"))
        << "a Z reading is still shown; see two-axes.png";
    mark = simLog().size();
    clickControl(main.id, layout::CmdABS, m_menuBar);
    EXPECT_EQ(keysSince(mark, 1, StepTimeout), Keys{"\"3\" key abs/rel: absolute"})
        << "the ABS button of a two-axis counter";

    simCommand("axes 3");
    EXPECT_TRUE(desktop().waitForName(main.id, ThreeAxisTitle, StepTimeout))
        << "caption " << desktop().name(main.id);
    EXPECT_TRUE(showsTextAt(main.id, layout::ReadingZ, true, "three-axes-again"))
        << "no Z reading; see three-axes-again.png";

    // The cable pulled: the message box. Plugged again and OK: the readings flow again.
    mark = simLog().size();
    simCommand("pull");
    const std::optional<WindowInfo> box = desktop().waitForTitle(LinkLostTitle, StepTimeout);
    ASSERT_TRUE(box) << "no message box titled " << LinkLostTitle;
    // A reading the box leaves uncovered shows whether new readings come.
    const std::optional<std::pair<Rect, char>> uncovered = readingBeside(main, *box);
    ASSERT_TRUE(uncovered) << "the message box hides every reading";
    const auto [reading, axis] = *uncovered;
    const ScreenImage pulled = screenshot(main.id, "cable-pulled");
    simCommand("plug");
    ASSERT_TRUE(waitForSimLog("STATE plugged", mark, StepTimeout));
    mark = simLog().size();
    simCommand(std::string("set ") + axis + " 345.678");
    desktop().key(box->id, "Return");
    EXPECT_TRUE(desktop().waitUntilGone(box->id, StepTimeout));
    EXPECT_TRUE(waitForSimLog("\"O\" poll\n", mark, StepTimeout))
        << "no poll after the cable came back";
    EXPECT_TRUE(changes(main.id, pulled, reading, "cable-back"))
        << "the " << axis
        << " reading did not change after the cable came back; see cable-pulled.png, "
           "cable-back.png";
    for (const WindowInfo& window : desktop().visibleWindows())
        EXPECT_NE(window.name, LinkLostTitle) << "another message box";

    const std::optional<int> status = exitVx(main.id);
    ASSERT_TRUE(status) << "the program did not end after Ctrl+X";
    EXPECT_EQ(describeStatus(*status), "exit 0");
}

// OK pressed while the cable is still out: the program keeps trying and the readings come back
// by themselves once the cable is in again, without another message.
TEST_F(EndToEndReadout, ReadingsComeBackByThemselvesWhenOkCameBeforeTheCable) {
    const WindowInfo main = startWithCounter();

    std::size_t mark = simLog().size();
    simCommand("pull");
    const std::optional<WindowInfo> box = desktop().waitForTitle(LinkLostTitle, StepTimeout);
    ASSERT_TRUE(box) << "no message box titled " << LinkLostTitle;
    desktop().key(box->id, "Return");
    ASSERT_TRUE(desktop().waitUntilGone(box->id, StepTimeout));
    const std::size_t eventsBefore = windowEvents().count();
    const ScreenImage pulled = screenshot(main.id, "ok-without-cable");

    simCommand("plug");
    ASSERT_TRUE(waitForSimLog("STATE plugged", mark, StepTimeout));
    mark = simLog().size();
    simCommand("set x 345.678");
    EXPECT_TRUE(waitForSimLog("\"O\" poll\n", mark, StepTimeout))
        << "no poll after the cable came back";
    EXPECT_TRUE(changes(main.id, pulled, layout::ReadingX, "cable-back"))
        << "the X reading did not change after the cable came back; see ok-without-cable.png, "
           "cable-back.png";
    EXPECT_TRUE(windowEvents().mappedWindows(eventsBefore).empty())
        << "a window was shown while the program waited for the cable:\n"
        << windowEvents().transcript();

    const std::optional<int> status = exitVx(main.id);
    ASSERT_TRUE(status) << "the program did not end after Ctrl+X";
    EXPECT_EQ(describeStatus(*status), "exit 0");
}

} // namespace
} // namespace vx::e2e
