#include "form_rig.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vx;
using namespace vx::testing;

struct NumberedFilesTest : ::testing::Test {
    QTemporaryDir dir;
    PosixNumberedFiles files;
    QString path(const char* name) { return dir.filePath(QString::fromUtf8(name)); }
    // What another user (nobody) can plant in a shared folder: a link to `to`, or the file itself.
    bool plant(const char* name, const QString& to = {}, uid_t owner = 65534) {
        return (to.isEmpty() || QFile::link(to, path(name))) &&
               !::lchown(QFile::encodeName(path(name)), owner, owner);
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

// Only regular files are opened, without waiting for a pipe. Nor is what another user may have
// planted written: their link (to a file, or to nothing), their file, nor a link of the user's own
// that leads nowhere; it may still be read. The user's own link to a file is followed.
TEST_F(NumberedFilesTest, NumbersAreCheckedAndWhatIsNoRegularFileIsRefusedWithoutWaiting) {
    const QString fifo = path("fifo"), theirs = path("theirs"), mine = path("mine");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    std::vector<std::pair<QString, int>> refused = {
        {path("no/such/folder/c.txt"), err::PathNotFound},
        {QString(), err::FileNotFound},
        {dir.path(), err::PathFileAccessError},
        {fifo, err::PathFileAccessError},
        {QStringLiteral("/dev/null"), err::PathFileAccessError}};
    writeFileBytes(theirs, "keep");
    writeFileBytes(mine, "keep");
    const bool planted = plant("theirs") && plant("a", mine) && plant("b", path("gone")) &&
                         plant("c", path("gone"), ::geteuid()) &&
                         plant("d", mine, ::geteuid()); // only root can
    for (const char* name : {"theirs", "a", "b", "c"})
        if (planted)
            refused.emplace_back(path(name), err::PermissionDenied);
    for (const auto& row : refused) {
        QString why; // names the file
        EXPECT_EQ(errorOf([&] { files.openAppend(1, row.first); }), row.second);
        EXPECT_EQ(errorOf([&] { files.openOutput(1, row.first); }, &why), row.second);
        EXPECT_TRUE(why.contains(row.first));
    }
    EXPECT_TRUE(fileBytes(theirs) + fileBytes(mine) == "keepkeep" && !QFile::exists(path("gone")));
    if (planted) {
        files.openOutput(1, path("d"));
        files.print(1, "mine");
        files.close(1);
        EXPECT_EQ(fileBytes(mine), "mine");
        files.openRandom(2, path("a"), 20); // what may not be written is still read
        EXPECT_TRUE(files.whyReadOnly(2) && files.getRecord(2, 1).startsWith("mine"));
        EXPECT_EQ(errorOf([&] { files.putRecord(2, 1, "x"); }), err::PermissionDenied);
    }
    ::close(reader); // and with no reader
    EXPECT_EQ(errorOf([&] { files.openAppend(1, fifo); }), err::PathFileAccessError);
    files.close(1); // a number that is not open: nothing happens
    files.openAppend(1, path("a.txt"));
    EXPECT_EQ(errorOf([&] { files.openAppend(1, path("b.txt")); }), err::FileAlreadyOpen);
}
