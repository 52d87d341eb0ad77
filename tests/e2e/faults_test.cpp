#include "session.h"

#include <QRegularExpression>

namespace vx::e2e {
namespace {

// The cable is pulled in the middle of a line and plugged back, before OK on the box or after it,
// with a record asked for on the counter's first line after it: while it is out after OK the
// readings look stale, they come back live, and every such record reaches the log file whole, as
// does the one RS asks for after them.
TEST_F(Session, ACablePulledMidLineLosesNoRecordAndTheReadingsLookStaleMeanwhile) {
    const QString main = startWithCounter();
    const QString log = openLog(main, "records.txt");
    constexpr int Pulls = 3;
    for (int pull = 1; pull <= Pulls; ++pull) {
        const bool plugBeforeOk = pull == 1;
        SCOPED_TRACE(plugBeforeOk ? "plugged before OK" : "plugged after OK");
        const qsizetype mark = simLog().size();
        sim("pull mid");
        const QString box = window(LinkLost, 10s);
        ASSERT_FALSE(box.isEmpty()) << "no box titled " << LinkLost.toStdString();
        if (plugBeforeOk) {
            sim("record\nplug");
            ASSERT_TRUE(simLogShows("STATE plugged", mark));
        }
        key(box, "Return");
        ASSERT_TRUE(gone(box));
        if (!plugBeforeOk) {
            EXPECT_TRUE(showsX(main, "stale", true)) << "see stale.png";
            sim("record\nplug");
        }
        ASSERT_TRUE(waitFor([&] { return fileBytes(log).count("\r\n\r\n") == pull; }, 10s))
            << fileBytes(log).toStdString();
        EXPECT_TRUE(showsX(main, "live-again")) << "see live-again.png";
    }
    // RS on the window records the next line as it stands, with no marks in it.
    click(main, place::CmdRS);
    ASSERT_TRUE(waitFor([&] { return fileBytes(log).count("\r\n\r\n") == Pulls + 1; }));
    const QByteArray records = fileBytes(log);
    QFile::copy(log, artefact("records.txt"));
    const QString line =
        QStringLiteral(R"(X[ 0-9.-]{10} Y[ 0-9.-]{10}%1Z[ 0-9.-]{10}%1 M\r\n\r\n)");
    const QRegularExpression whole(
        QStringLiteral("^(%1){%2}%3$").arg(line.arg("T")).arg(Pulls).arg(line.arg(" ")));
    EXPECT_TRUE(whole.match(QString::fromLatin1(records)).hasMatch()) << records.toStdString();
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
