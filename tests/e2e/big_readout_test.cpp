#include "session.h"

namespace vx::e2e {
namespace {

// F11 opens the big readout, which follows the counter while it moves; F11 closes it again and
// its place is kept in the user's settings.
TEST_F(Session, F11OpensTheBigReadoutWhileTheCounterMoves) {
    const QString main = startWithCounter();
    const QString title = QStringLiteral("大字顯示");
    key(main, "F11");
    const QString big = window(title);
    ASSERT_FALSE(big.isEmpty()) << "no window titled " << title.toStdString();
    const QImage before = shot(big, "big-readout");
    sim("set x 321.5");
    EXPECT_TRUE(waitFor([&] { return shot(big, "big-readout-moved") != before; }))
        << "the big readout stands still; see big-readout*.png";
    key(main, "F11");
    EXPECT_TRUE(gone(big));
    EXPECT_TRUE(fileBytes(path("config/Vx/Vx.conf")).contains("[BigReadout]"));
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
