#include "session.h"

#include <QElapsedTimer>

namespace vx::e2e {
namespace {

int redPixels(const QImage& image) {
    int red = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            red += image.pixel(x, y) == qRgb(255, 0, 0) ? 1 : 0;
    return red;
}

// A second copy started in the same folder while the first still looks for the counter (no
// counter anywhere: the handshake fails, then the scan tries eight ports for about 16 s) says that
// one runs and asks it to come forward; the first copy's main window stays out of sight until its
// scan is over.
TEST_F(Session, ASecondCopyDuringTheScanBringsNoMainWindowForward) {
    QProcess& first = startVx();
    const QString splash = windowOf(first, 15s);
    ASSERT_FALSE(splash.isEmpty()) << "no splash";
    QElapsedTimer sinceSplash;
    sinceSplash.start();
    QProcess& second = startVx();
    const QString box = windowOf(second, 15s); // 這程式已執行
    ASSERT_FALSE(box.isEmpty()) << "the second copy said nothing";
    // Its OK asks the first copy to come forward once that one scans: the splash says 無信號 in
    // red.
    ASSERT_TRUE(waitFor([&] { return redPixels(shot(splash, "splash")) >= 50; }, 10s))
        << "the splash never showed 無信號; see splash.png";
    key(box, "Return");
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy did not end after OK";
    ASSERT_LT(sinceSplash.elapsed(), 10000) << "too slow to ask while the scan runs";
    ASSERT_FALSE(window(ThreeAxes, 60s).isEmpty()) << "no main window after the scan";
    EXPECT_GT(sinceSplash.elapsed(), 15000) << "the main window came during the 16 s scan";
}

} // namespace
} // namespace vx::e2e
