#include "form_rig.h"
#include "platform/error_trap.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;
using namespace vx::testing;

struct NumberedFilesTest : ::testing::Test {
    QTemporaryDir dir;
    PosixNumberedFiles files;
    ResumeNext trap; // holds the last error
    QString path(const char* name) { return dir.filePath(QString::fromUtf8(name)); }
    int errorOf(const std::function<void()>& step) {
        return trap.clear(), trap(step), trap.number();
    }
};

TEST_F(NumberedFilesTest, RecordsAreFixedLengthAndTextIsKeptByteForByte) {
    const QString p = path("系統資料電腦");
    files.openRandom(2, p, 20);
    EXPECT_EQ(files.getRecord(2, 1), QByteArray(20, '\0'));
    files.putRecord(2, 2, "9600");
    EXPECT_EQ(fileBytes(p), QByteArray(20, '\0') + "9600" + QByteArray(16, '\0'));
    EXPECT_EQ(files.getRecord(2, 3), QByteArray(20, '\0')); // beyond the end
    EXPECT_EQ(errorOf([&] { files.putRecord(2, 1, QByteArray(21, 'x')); }), err::BadRecordLength);
    files.close(2);
    EXPECT_EQ(errorOf([&] { files.getRecord(2, 1); }), err::BadFileNumber);

    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(static_cast<char>(b));
    files.openOutput(1, p); // empties it
    files.print(1, everyByte);
    EXPECT_EQ(fileBytes(p), everyByte); // on the disk before the close
    files.close(1);
    files.openAppend(1, p);
    files.print(1, "X\r\n\r\n");
    EXPECT_EQ(fileBytes(p), everyByte + "X\r\n\r\n");
}

TEST_F(NumberedFilesTest, NumbersAreCheckedAndWhatIsNoRegularFileIsRefusedWithoutWaiting) {
    const QString fifo = path("fifo");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    const std::pair<QString, int> refused[] = {
        {path("no/such/folder/c.txt"), err::PathNotFound},
        {QString(), err::FileNotFound},
        {dir.path(), err::PathFileAccessError},
        {fifo, err::PathFileAccessError},
        {QStringLiteral("/dev/null"), err::PathFileAccessError}};
    for (const auto& row : refused) {
        EXPECT_EQ(errorOf([&] { files.openAppend(1, row.first); }), row.second);
        EXPECT_EQ(errorOf([&] { files.openOutput(1, row.first); }), row.second);
        EXPECT_TRUE(trap.error()->description().contains(row.first));
    }
    ::close(reader); // and with no reader
    EXPECT_EQ(errorOf([&] { files.openAppend(1, fifo); }), err::PathFileAccessError);
    files.close(1); // a number that is not open: nothing happens
    files.openAppend(1, path("a.txt"));
    EXPECT_EQ(errorOf([&] { files.openAppend(1, path("b.txt")); }), err::FileAlreadyOpen);
}

// A file that may be read but not written still tells what it holds; its writes are refused with a
// number. Root may write anything, so the check runs as nobody in a child process.
TEST_F(NumberedFilesTest, AFileThatMayOnlyBeReadIsReadAndRefusesWrites) {
    const QString p = path("系統資料電腦");
    writeFileBytes(p, QByteArray("\x03\x00", 2));
    QFile::setPermissions(p, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther);
    const auto check = [&] {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            std::_Exit(2);
        files.openRandom(2, p, 20);
        const bool read =
            files.whyReadOnly(2) && files.getRecord(2, 1).startsWith(QByteArray("\x03\x00", 2));
        std::_Exit(
            read && errorOf([&] { files.putRecord(2, 1, "x"); }) == err::PermissionDenied ? 0 : 1);
    };
    EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
}

// What another user may have planted is not written: their link (to a file, or to nothing), their
// file, nor a link of the user's own that leads nowhere. The user's own link to a file is the
// operator's choice and is written through. Nothing is emptied or created on the way.
TEST_F(NumberedFilesTest, WhatAnotherUserPlantedIsNeverWrittenThrough) {
    const QString victim = path("victim"), nowhere = path("nowhere"), theirs = path("theirs");
    writeFileBytes(victim, "keep");
    writeFileBytes(theirs, "keep");
    if (!plantAsOtherUser(path("a"), victim) || !plantAsOtherUser(path("b"), nowhere) ||
        !plantAsOtherUser(theirs) || !plantAsOtherUser(path("c"), nowhere, ::geteuid()) ||
        !plantAsOtherUser(path("d"), victim, ::geteuid()))
        GTEST_SKIP() << "only root can make files of another user";
    for (const char* name : {"a", "b", "theirs", "c"})
        for (auto open : {&PosixNumberedFiles::openOutput, &PosixNumberedFiles::openAppend}) {
            EXPECT_EQ(errorOf([&] { (files.*open)(1, path(name)); }), err::PermissionDenied)
                << name;
            EXPECT_TRUE(trap.error()->description().contains(path(name)));
        }
    EXPECT_EQ(fileBytes(victim) + fileBytes(theirs), "keepkeep");
    EXPECT_FALSE(QFile::exists(nowhere));
    files.openOutput(1, path("d"));
    files.print(1, "mine");
    EXPECT_EQ(fileBytes(victim), "mine");
}
