#include "session.h"

namespace vx::e2e {
namespace {

// A first run in an empty folder finds the counter on port 3 by scanning and stores the port
// accepted at the prompt; the next run in the folder opens it at once, with no prompt to answer.
TEST_F(Session, ThePortScanFindsTheCounterAndTheNextRunUsesIt) {
    startSim(3);
    startVx();
    // The wait on the stored port, then ports 1 to 3, two seconds each at most.
    const QString prompt = window(PortPrompt, 40s);
    ASSERT_FALSE(prompt.isEmpty()) << "no prompt titled " << PortPrompt.toStdString();
    key(prompt, "Return");
    QString main = window(ThreeAxes, 20s);
    ASSERT_FALSE(main.isEmpty()) << "no main window after the prompt";
    // The port record: a 16-bit little-endian number at the start of the settings file.
    const QString settings = path("work/系統資料電腦");
    EXPECT_TRUE(waitFor([&] { return fileBytes(settings).startsWith(QByteArray("\3\0", 2)); }))
        << fileBytes(settings).toHex(' ').toStdString();
    ASSERT_TRUE(exitVx(main));

    // Had the stored port not been used, the scan would wait at its prompt before any main window.
    const qsizetype mark = simLog().size();
    startVx();
    main = window(ThreeAxes, 20s);
    ASSERT_FALSE(main.isEmpty()) << "no main window on the second run";
    EXPECT_TRUE(simLogShows("\"O\" poll", mark));
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
