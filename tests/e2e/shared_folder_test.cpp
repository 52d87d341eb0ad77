#include "session.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace vx::e2e {
namespace {

// vx runs as an unprivileged user in a folder shared with another user (root here), who planted a
// link named like the port-settings file and one named like the CSV file of the log the operator
// opens, both to files of the operator's own, and who holds a lock on the name where vx once kept
// its single-copy lock. vx starts all the same, tells of both files, writes through neither, and
// leaves no lock behind.
TEST_F(Session, WhatAnotherUserPlantsInASharedFolderIsNeitherWrittenThroughNorBlocksTheStart) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run vx as a second user and plant files as the first";
    constexpr uid_t Operator = 4242;
    runAsUser(Operator);
    const auto operatorsOwn = [&](const QString& name, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        for (const QString& made : {file.fileName(), QFileInfo(file).path()})
            ASSERT_EQ(::chown(QFile::encodeName(made).constData(), Operator, Operator), 0);
    };
    // The operator's own notes; they happen to begin with the bytes of port 1, where the counter
    // is.
    const QByteArray notes = QByteArray("\x01\x00", 2) + "my notes\n";
    operatorsOwn("home/settings", notes);
    operatorsOwn("home/rows", notes);
    operatorsOwn("config/Vx/Vx.conf", "[Log]\nCsv=true\n");
    QDir().mkpath(path("records"));
    QFile::setPermissions(path("records"), QFile::permissions(path("work")));
    ASSERT_TRUE(QFile::link(path("home/settings"), path("work/系統資料電腦")));
    ASSERT_TRUE(QFile::link(path("home/rows"), path("records/parts.txt.csv")));
    const QByteArray folderKey =
        QCryptographicHash::hash(QDir(path("work")).canonicalPath().toUtf8(),
                                 QCryptographicHash::Sha1)
            .toHex()
            .left(16);
    const QByteArray oldLock = QFile::encodeName(path("tmp/vx-4242-")) + folderKey + ".lock";
    const int held = ::open(oldLock.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    ASSERT_EQ(::fchmod(held, 0666) + ::flock(held, LOCK_EX | LOCK_NB), 0); // as with umask 000

    startSim(1);
    startVx();
    // The box about the port-settings file comes over the splash, which bears the same title.
    QByteArrayList titledVx;
    ASSERT_TRUE(waitFor(
        [&] {
            titledVx.clear();
            for (const QByteArray& id :
                 x({"xdotool", "search", "--onlyvisible", "--class", "^vx$"}).split('\n'))
                if (!id.isEmpty() && titleOf(id) == "Vx")
                    titledVx << id;
            return titledVx.size() == 2;
        },
        20s))
        << "nothing told of the port-settings file";
    for (const QByteArray& id : titledVx)
        key(id, "Return");
    const QString main = window(ThreeAxes, 20s);
    ASSERT_FALSE(main.isEmpty()) << "no main window";
    const QString log = openLog(main, "parts.txt");
    const QString csvTold = window("Vx");
    ASSERT_FALSE(csvTold.isEmpty()) << "nothing told of the CSV file";
    key(csvTold, "Return");
    ASSERT_TRUE(gone(csvTold));
    click(main, place::CmdRS);
    ASSERT_TRUE(waitFor([&] { return fileBytes(log).count("\r\n\r\n") == 1; }));
    EXPECT_TRUE(exitVx(main));
    ::close(held);
    EXPECT_EQ(fileBytes(path("home/settings")), notes);
    EXPECT_EQ(fileBytes(path("home/rows")), notes);
    EXPECT_TRUE(QDir(path("home/.cache/vx")).isEmpty(QDir::Files | QDir::System | QDir::Hidden));
}

} // namespace
} // namespace vx::e2e
