#include "session.h"

namespace vx::e2e {
namespace {

// The readings follow the counter, the caption follows its number of axes, and the keys reach it
// from the keyboard and from the keypad.
TEST_F(Session, ReadingsFollowTheCounterAndKeysReachIt) {
    const QString main = startWithCounter();
    const QImage before = shot(main, "readings");
    EXPECT_TRUE(showsText(before, onShot(main, place::ReadingY)));
    EXPECT_TRUE(showsText(before, onShot(main, place::ReadingZ)));
    sim("set x 12.5");
    EXPECT_TRUE(changes(main, before, place::ReadingX, "reading-changed"))
        << "see readings.png and reading-changed.png";

    qsizetype mark = simLog().size();
    key(main, "F1");
    EXPECT_TRUE(simLogShows("\"0\" key zero-X", mark)) << "F1";
    mark = simLog().size();
    click(main, place::CmdABS);
    EXPECT_TRUE(simLogShows("\"4\" key abs/rel", mark)) << "the ABS button";

    sim("axes 2");
    EXPECT_TRUE(waitFor([&] { return titleOf(main) == TwoAxes; })) << titleOf(main).toStdString();
    EXPECT_TRUE(exitVx(main));
}

// A pulled cable brings up a box; the readings come back after OK, whether the cable was plugged
// in again before it or after.
TEST_F(Session, ReadingsComeBackAfterAPulledCable) {
    const QString main = startWithCounter();
    for (const bool plugBeforeOk : {true, false}) {
        SCOPED_TRACE(plugBeforeOk ? "plugged before OK" : "plugged after OK");
        qsizetype mark = simLog().size();
        sim("pull");
        const QString box = window(LinkLost);
        ASSERT_FALSE(box.isEmpty()) << "no box titled " << LinkLost.toStdString();
        if (plugBeforeOk) {
            sim("plug");
            ASSERT_TRUE(simLogShows("STATE plugged", mark));
        }
        const QImage withBox = shot(main, "box");
        key(box, "Return");
        ASSERT_TRUE(gone(box));
        if (!plugBeforeOk) {
            // The cable comes back once the program has tried the port and says it failed.
            ASSERT_TRUE(changes(main, withBox, place::LinkStatus, "link-status"));
            sim("plug");
        }
        mark = simLog().size();
        ASSERT_TRUE(simLogShows("\"O\" poll", mark, 10s)) << "no poll after the cable came back";
        const QString name = plugBeforeOk ? "plug-then-ok" : "ok-then-plug";
        const QImage back = shot(main, name);
        sim("set x 345.678");
        EXPECT_TRUE(changes(main, back, place::ReadingX, name + "-later"))
            << "no new X reading; see " << name.toStdString() << "*.png";
    }
    EXPECT_TRUE(window(LinkLost, 0s).isEmpty()) << "another box";
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
