#include "platform/posix_numbered_files.h"
#include "platform/runtime_error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace vx;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int errorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const RuntimeError& e) {
        return e.number();
    }
    return 0;
}

struct NumberedFilesTest : ::testing::Test {
    QTemporaryDir dir;
    PosixNumberedFiles files;
    QString path(const char* name) { return dir.filePath(QString::fromUtf8(name)); }
};

} // namespace

TEST_F(NumberedFilesTest, RecordsAreFixedLengthAndZeroBeyondTheEnd) {
    const QString p = path("系統資料電腦");
    files.openRandom(2, p, 20);
    EXPECT_TRUE(QFile::exists(p));
    EXPECT_EQ(files.getRecord(2, 1), QByteArray(20, '\0'));
    files.putRecord(2, 2,
                    QByteArray("\x04\x00"
                               "9600",
                               6));
    EXPECT_EQ(readAll(p).size(), 40);
    EXPECT_EQ(files.getRecord(2, 2).left(6), QByteArray("\x04\x00"
                                                        "9600",
                                                        6));
    EXPECT_EQ(files.getRecord(2, 3), QByteArray(20, '\0'));
    files.putRecord(2, 1, QByteArray("\x03\x00", 2));
    EXPECT_EQ(readAll(p).left(2), QByteArray("\x03\x00", 2));
    EXPECT_EQ(errorOf([&] { files.putRecord(2, 1, QByteArray(21, 'x')); }), 59);
    files.close(2);
    EXPECT_EQ(errorOf([&] { files.getRecord(2, 1); }), err::BadFileNumber);
}

TEST_F(NumberedFilesTest, TextIsWrittenByteForByteAndAppendKeepsWhatWasThere) {
    const QString p = path("log.txt");
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte.append(static_cast<char>(b));
    files.openOutput(1, p);
    files.print(1, everyByte);
    EXPECT_EQ(readAll(p), everyByte); // on the disk before the close
    files.close(1);
    files.openAppend(1, p);
    files.print(1, "X\r\n\r\n");
    files.close(1);
    EXPECT_EQ(readAll(p), everyByte + "X\r\n\r\n");
    files.openOutput(1, p);
    files.close(1);
    EXPECT_EQ(readAll(p), "");
}

TEST_F(NumberedFilesTest, NumbersAreCheckedAndFailuresNamed) {
    files.close(1); // a number that is not open: nothing happens
    EXPECT_EQ(errorOf([&] { files.print(1, "x"); }), err::BadFileNumber);
    files.openAppend(1, path("a.txt"));
    EXPECT_EQ(errorOf([&] { files.openAppend(1, path("b.txt")); }), err::FileAlreadyOpen);
    EXPECT_EQ(errorOf([&] { files.openAppend(3, path("no/such/folder/c.txt")); }),
              err::PathNotFound);
    EXPECT_EQ(errorOf([&] { files.openAppend(3, QString()); }), err::FileNotFound);
    EXPECT_FALSE(files.isOpen(3));
    try {
        files.openOutput(4, dir.path()); // a folder is no file
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_TRUE(e.description().contains(dir.path()));
    }
}

// A file that may be read but not written still tells what it holds; its writes are refused with a
// number. Root may write anything, so the check runs as nobody in a child process.
TEST_F(NumberedFilesTest, AFileThatMayOnlyBeReadIsReadAndRefusesWrites) {
    const QString p = path("系統資料電腦");
    QFile file(p);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("\x03\x00", 2) == 2);
    file.close();
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
