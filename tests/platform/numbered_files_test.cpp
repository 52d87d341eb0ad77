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
            files.isReadOnly(2) && files.getRecord(2, 1).startsWith(QByteArray("\x03\x00", 2));
        std::_Exit(
            read && errorOf([&] { files.putRecord(2, 1, "x"); }) == err::PermissionDenied ? 0 : 1);
    };
    EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "");
}
