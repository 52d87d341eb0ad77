#include "session.h"

#include <QCryptographicHash>
#include <QSettings>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace vx::e2e {
namespace {

// vx as an unprivileged user in a folder shared with another (root here), who planted links named
// like the port-settings file and the CSV file of the log opened, to a file of the operator's, and
// holds a lock where vx once kept its own: vx starts, tells of both links, writes through neither.
TEST_F(Session, WhatAnotherUserPlantsInASharedFolderIsNeitherWrittenThroughNorBlocksTheStart) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run vx as a second user and plant files as the first";
    // The operator's notes; they happen to begin with the bytes of port 1, where the counter is.
    const QByteArray notes = QByteArray("\x01\x00", 2) + "my notes\n";
    QSettings(path("config/Vx/Vx.conf"), QSettings::IniFormat).setValue("Log/Csv", "true");
    QFile file(path("home/notes"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                file.write(notes) == notes.size());
    runAsUser(4242);
    ASSERT_TRUE(QFile::link(path("home/notes"), path("work/系統資料電腦")) &&
                QFile::link(path("home/notes"), path("records/parts.txt.csv")));
    const QString folder = QCryptographicHash::hash(QDir(path("work")).canonicalPath().toUtf8(),
                                                    QCryptographicHash::Sha1)
                               .toHex()
                               .left(16);
    const int held = ::open(QFile::encodeName(path("tmp/vx-4242-" + folder + ".lock")).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_EQ(::fchmod(held, 0666) + ::flock(held, LOCK_EX | LOCK_NB), 0); // as with umask 000

    startSim(1);
    startVx();
    // The box about the port-settings file comes over the splash, which bears the same title.
    ASSERT_TRUE(waitFor([&] { return windows("Vx").size() == 2; }, 20s))
        << "nothing told of the port-settings file";
    for (const QString& id : windows("Vx"))
        key(id, "Return");
    const QString main = window(ThreeAxes, 20s);
    ASSERT_FALSE(main.isEmpty()) << "no main window";
    const QString log = openLog(main, "parts.txt");
    const QString csvTold = window("Vx");
    ASSERT_FALSE(csvTold.isEmpty()) << "nothing told of the CSV file";
    key(csvTold, "Return");
    click(main, place::CmdRS);
    ASSERT_TRUE(waitFor([&] { return fileBytes(log).count("\r\n\r\n") == 1; }));
    EXPECT_TRUE(exitVx(main));
    EXPECT_EQ(fileBytes(path("home/notes")), notes);
    const QDir kept(path("home/.cache/vx"));
    EXPECT_TRUE(kept.exists() && kept.isEmpty(QDir::Files | QDir::System | QDir::Hidden));
}

} // namespace
} // namespace vx::e2e
