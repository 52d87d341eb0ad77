#include "form_rig.h"
#include "link/port_settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vx;
using namespace vx::testing;

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray zeros(int n) {
    return QByteArray(n, '\0');
}

struct PortSettingsFileTest : ::testing::Test {
    FormRig rig;
    PortSettingsFile file{rig.rig.files, rig.rig.dialogs};
    QString path() { return rig.rig.path(PortSettingsFile::FileName); }
};

} // namespace

TEST(PortSettingsRecords, EncodeAsTheFileHoldsThem) {
    EXPECT_EQ(PortSettingsFile::portRecord(3), bytes({3, 0}));
    EXPECT_EQ(PortSettingsFile::portRecord(-2), bytes({0xFE, 0xFF}));
    EXPECT_EQ(PortSettingsFile::portRecord(300), bytes({0x2C, 0x01}));
    EXPECT_EQ(PortSettingsFile::speedRecord(QStringLiteral("9600")), bytes({4, 0}) + "9600");
    EXPECT_EQ(PortSettingsFile::speedRecord(QStringLiteral("19200")), bytes({5, 0}) + "19200");
    EXPECT_EQ(PortSettingsFile::speedRecord(QString()), bytes({0, 0}));
    EXPECT_THROW(PortSettingsFile::speedRecord(QString(19, QLatin1Char('9'))), RuntimeError);
}

TEST(PortSettingsRecords, DecodeShortAndOddRecords) {
    EXPECT_EQ(PortSettingsFile::portFrom(bytes({6, 0}) + zeros(18)), 6);
    EXPECT_EQ(PortSettingsFile::portFrom(bytes({0xFF, 0x7F})), 32767);
    EXPECT_EQ(PortSettingsFile::portFrom(bytes({5})), 5); // one byte left: the high byte is zero
    EXPECT_EQ(PortSettingsFile::portFrom(QByteArray()), 0);
    EXPECT_EQ(PortSettingsFile::speedFrom(bytes({4, 0}) + "9600" + zeros(14)), "9600");
    EXPECT_EQ(PortSettingsFile::speedFrom(zeros(20)), "");
    // The text runs past the end of the file: the missing part reads as zero bytes.
    EXPECT_EQ(PortSettingsFile::speedFrom(bytes({4, 0}) + "96"),
              QStringLiteral("96") + QChar(0) + QChar(0));
    EXPECT_THROW(PortSettingsFile::speedFrom(bytes({19, 0}) + zeros(18)), RuntimeError);
}

TEST_F(PortSettingsFileTest, NewFileIsCreatedEmptyAndReadsAsPortZeroAndNoSpeed) {
    file.open();
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(fileBytes(path()).size(), 0);
    EXPECT_EQ(file.readPort(), 0);
    EXPECT_EQ(file.readSpeed(), "");
    EXPECT_TRUE(rig.rig.dialogs.messages.empty());
}

TEST_F(PortSettingsFileTest, WritesGoStraightToTheFileAndReadBack) {
    file.open();
    file.writeSpeed(QStringLiteral("9600"));
    EXPECT_EQ(fileBytes(path()), zeros(20) + bytes({4, 0}) + "9600" + zeros(14));
    file.writePort(6);
    EXPECT_EQ(fileBytes(path()), bytes({6, 0}) + zeros(18) + bytes({4, 0}) + "9600" + zeros(14));
    EXPECT_EQ(file.readPort(), 6);
    EXPECT_EQ(file.readSpeed(), "9600");
}

TEST_F(PortSettingsFileTest, ShortFileReadsWhatItHas) {
    writeFileBytes(
        path(), bytes({2, 0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 5, 0}) + "192");
    file.open();
    EXPECT_EQ(file.readPort(), 2);
    EXPECT_EQ(file.readSpeed(), QStringLiteral("192") + QChar(0) + QChar(0));
}

TEST_F(PortSettingsFileTest, ReadsFailWhenTheFileIsNotOpen) {
    try {
        file.readPort();
        FAIL() << "a read of a file that is not open must fail";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::BadFileNumber);
    }
}

TEST_F(PortSettingsFileTest, AFolderThatCannotTakeTheFileIsToldOnceAndNothingThrows) {
    if (::geteuid() == 0)
        rig.rig.files.failNext(FaultyFiles::Op::OpenRandom, err::PermissionDenied);
    else
        ::chmod(QFile::encodeName(rig.rig.dir.path()).constData(), 0555);
    file.open();
    file.writePort(3);
    file.writeSpeed(QStringLiteral("9600"));
    ::chmod(QFile::encodeName(rig.rig.dir.path()).constData(), 0755);
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::Exclamation);
    EXPECT_TRUE(rig.rig.dialogs.messages[0].prompt.contains(PortSettingsFile::FileName));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(PortSettingsFileTest, AFullDiskIsToldOnceAndTheRecordKeepsItsOldBytes) {
    file.open();
    file.writePort(4);
    rig.rig.files.failNext(FaultyFiles::Op::PutRecord, err::DiskFull, 0);
    file.writePort(5);
    file.writeSpeed(QStringLiteral("2400"));
    rig.rig.files.clearFaults();
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(rig.rig.dialogs.messages[0].prompt.contains(standardDescription(err::DiskFull)));
    EXPECT_EQ(fileBytes(path()), bytes({4, 0}) + zeros(18));
}
