#include "session.h"

namespace vx::e2e {
namespace {

// At the stored speed, the menu's fastest, the readings follow the counter, the caption follows
// its number of axes, and the keys reach it from the keyboard and from the keypad; a user whose
// language is English has all this in English.
TEST_F(Session, ReadingsFollowTheCounterAndKeysReachIt) {
    storePortSettings(1, topSpeed());
    setLanguage("en_US.UTF-8");
    const QString main = startWithCounter("Three-axis readout");
    EXPECT_TRUE(simLogShows("line speed " + QByteArray::number(topSpeed()), 0));
    const QImage before = shot(main, "readings");
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
    EXPECT_TRUE(waitFor([&] { return titleOf(main) == "Two-axis readout"; }))
        << titleOf(main).toStdString();
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
