#include "session.h"

#include <QRegularExpression>

namespace vx::e2e {
namespace {

// A log file chosen in the Open dialog gets the record the counter asks for and the one asked for
// with RS, each the counter's line and CR LF.
TEST_F(Session, RecordsGoToTheLogFileChosenInTheOpenDialog) {
    const QString main = startWithCounter();
    const QString log = openLog(main, "records.txt");

    // The commands arrive together, so the counter's next line holds all of them.
    sim("set x 12.5\nset y -3.25\nset z 7\nrecord");
    const QByteArray counterRecord = "X    12.500 Y    -3.250TZ     7.000T M\r\n\r\n";
    EXPECT_TRUE(waitFor([&] { return fileBytes(log).size() >= counterRecord.size(); }));
    click(main, place::CmdRS);
    EXPECT_TRUE(waitFor([&] { return fileBytes(log).size() > counterRecord.size(); }));
    ASSERT_TRUE(exitVx(main));

    const QByteArray bytes = fileBytes(log);
    QFile::copy(log, artefact("records.txt"));
    EXPECT_TRUE(bytes.startsWith(counterRecord)) << bytes.toStdString();
    const QRegularExpression rsRecord(
        QStringLiteral(R"(^X[ 0-9.-]{10} Y[ 0-9.-]{10} Z[ 0-9.-]{10}  M\r\n\r\n$)"));
    EXPECT_TRUE(rsRecord.match(QString::fromLatin1(bytes.mid(counterRecord.size()))).hasMatch())
        << bytes.toStdString();
}

} // namespace
} // namespace vx::e2e
