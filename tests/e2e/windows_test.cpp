#include "session.h"

#include <QRegularExpression>

namespace vx::e2e {
namespace {

// vx.exe under Wine. The run's script (scripts/check-windows.sh) names the program, its Wine
// prefix, and the folder that the prefix's registry maps COM1 into, where the simulator plugs in.
class WineSession : public Session {
protected:
    void SetUp() override {
        m_program.path = QStringLiteral("wine");
        m_program.args = {qEnvironmentVariable("VX_WINDOWS_EXE")};
        m_program.windowClass = QStringLiteral("^vx\\.exe$");
        m_program.portsFolder = qEnvironmentVariable("VX_WINE_PORTS_DIR");
        ASSERT_FALSE(m_program.args[0].isEmpty() || m_program.portsFolder.isEmpty() ||
                     qEnvironmentVariable("WINEPREFIX").isEmpty())
            << "VX_WINDOWS_EXE, VX_WINE_PORTS_DIR and WINEPREFIX name the rig";
        Session::SetUp();
        // Wine's display language follows LANG, which is C (English) here: the documented texts
        // are asked for through the user's setting.
        x({"wine", "reg", "add", "HKCU\\Software\\Vx\\Vx\\Settings", "/v", "Language", "/d",
           "zh_TW", "/f"});
    }
};

// The readings reach the window and follow the counter; a key of the keypad reaches the counter;
// RS writes a record whole into a log file on a Windows path; a cable pulled in the middle of a
// line shows its box, and once it is plugged back after OK the readings are live again and the
// record the counter asked for meanwhile is kept whole too.
TEST_F(WineSession, ReadsTheCounterKeepsRecordsAndResumesAfterAPulledCable) {
    const QString main = startWithCounter();
    const QImage before = shot(main, "readings");
    sim("set x 12.5");
    EXPECT_TRUE(changes(main, before, place::ReadingX, "reading-changed")) << "see readings.png";
    const qsizetype mark = simLog().size();
    click(main, place::CmdABS);
    EXPECT_TRUE(simLogShows("\"4\" key abs/rel", mark)) << "the ABS button";

    const QString log = openLog(main, QStringLiteral("records.txt"), [](QString path) {
        return QStringLiteral("Z:") + path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    });
    click(main, place::CmdRS);
    ASSERT_TRUE(waitFor([&] { return fileBytes(log).count("\r\n\r\n") == 1; }, 10s));

    sim("pull mid");
    const QString box = window(LinkLost, 15s);
    ASSERT_FALSE(box.isEmpty()) << "no box titled " << LinkLost.toStdString();
    key(box, "Return");
    ASSERT_TRUE(gone(box));
    EXPECT_TRUE(showsX(main, "stale", true)) << "see stale.png";
    sim("record\nplug");
    ASSERT_TRUE(waitFor([&] { return fileBytes(log).count("\r\n\r\n") == 2; }, 20s))
        << fileBytes(log).toStdString();
    EXPECT_TRUE(showsX(main, "live-again")) << "see live-again.png";

    const QByteArray records = fileBytes(log);
    QFile::copy(log, artefact("records.txt"));
    const QString line =
        QStringLiteral(R"(X[ 0-9.-]{10} Y[ 0-9.-]{10}%1Z[ 0-9.-]{10}%1 M\r\n\r\n)");
    const QRegularExpression whole(QStringLiteral("^%1%2$").arg(line.arg(" "), line.arg("T")));
    EXPECT_TRUE(whole.match(QString::fromLatin1(records)).hasMatch()) << records.toStdString();
    EXPECT_TRUE(exitVx(main));
}

} // namespace
} // namespace vx::e2e
