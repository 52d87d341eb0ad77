#include "session.h"

#include <QRegularExpression>
#include <QSettings>

namespace vx::e2e {
namespace {

// A log file chosen in the Open dialog gets the record the counter asks for and the one asked for
// with RS, each the counter's line and CR LF; the window's place is stored at exit.
TEST_F(Session, RecordsGoToTheLogFileChosenInTheOpenDialog) {
    const QString main = startWithCounter();
    const QString log = openLog(main, "records.txt");

    // The commands arrive together, so the counter's next line holds all of them.
    sim("set x 12.5\nset y -3.25\nset z 7\nrecord");
    const QByteArray counterRecord = "X    12.500 Y    -3.250TZ     7.000T M\r\n\r\n";
    EXPECT_TRUE(waitFor([&] { return fileBytes(log).size() >= counterRecord.size(); }));
    click(main, place::CmdRS);
    EXPECT_TRUE(waitFor([&] { return fileBytes(log).size() > counterRecord.size(); }));
    const QString geometry = QString::fromLatin1(x({"xdotool", "getwindowgeometry", main}));
    ASSERT_TRUE(exitVx(main));

    const QByteArray bytes = fileBytes(log);
    QFile::copy(log, artefact("records.txt"));
    EXPECT_TRUE(bytes.startsWith(counterRecord)) << bytes.toStdString();
    const QRegularExpression rsRecord(
        QStringLiteral(R"(^X[ 0-9.-]{10} Y[ 0-9.-]{10} Z[ 0-9.-]{10}  M\r\n\r\n$)"));
    EXPECT_TRUE(rsRecord.match(QString::fromLatin1(bytes.mid(counterRecord.size()))).hasMatch())
        << bytes.toStdString();

    // Without a window manager the window has no frame: its outer geometry is the one xdotool sees.
    const QRegularExpressionMatch seen =
        QRegularExpression(QStringLiteral(R"(Position: (\d+),(\d+).*Geometry: (\d+)x(\d+))"),
                           QRegularExpression::DotMatchesEverythingOption)
            .match(geometry);
    ASSERT_TRUE(seen.hasMatch()) << geometry.toStdString();
    QSettings stored(path("config/Vx/Vx.conf"), QSettings::IniFormat);
    int n = 0;
    for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
        EXPECT_EQ(stored.value(QStringLiteral("Settings/") + key).toString(),
                  QString::number(seen.captured(++n).toInt() * 15))
            << key;
}

} // namespace
} // namespace vx::e2e
