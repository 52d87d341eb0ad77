#include "session.h"

#include <QRegularExpression>

namespace vx::e2e {
namespace {

// F11 opens the big readout, which follows the counter while it moves for a screen reader (how
// it paints is left to its own tests); F11 closes it again and its place is kept in the user's
// settings.
TEST_F(Session, F11OpensTheBigReadoutWhileTheCounterMoves) {
    startSessionBus();
    const QString main = startWithCounter();
    const QString title = QStringLiteral("大字顯示");
    key(main, "F11");
    const QString big = window(title);
    ASSERT_FALSE(big.isEmpty()) << "no window titled " << title.toStdString();
    sim("set x 321.5");
    // What a screen reader reads follows; the simulated counter drifts in its last digits.
    const auto says = [&](const char* pattern) {
        const QRegularExpression name(QString::fromLatin1(pattern));
        const bool found = waitFor([&] { return !spoken(title).filter(name).isEmpty(); }, 20s);
        return found ? QString() : spoken(title).join(" | ");
    };
    EXPECT_EQ(says(R"(^X 321\.\d+ mm$)"), "");
    sim("set x -4.25");
    EXPECT_EQ(says(R"(^X -4\.\d+ mm$)"), "");
    key(main, "F11");
    EXPECT_TRUE(gone(big));
    EXPECT_TRUE(fileBytes(path("config/Vx/Vx.conf")).contains("[BigReadout]"));
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
