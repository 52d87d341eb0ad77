#include "form_rig.h"
#include "link/port_settings_file.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(PortSettingsFile::portFrom(bytes({0xFF, 0x7F})), 32767);
    EXPECT_EQ(PortSettingsFile::portFrom(bytes({5})), 5); // one byte left: the high byte is zero
    EXPECT_EQ(PortSettingsFile::portFrom(QByteArray()), 0);
    EXPECT_EQ(PortSettingsFile::speedFrom(zeros(20)), "");
    EXPECT_THROW(PortSettingsFile::speedFrom(bytes({19, 0}) + zeros(18)), RuntimeError);
}

TEST_F(PortSettingsFileTest, NewFileStaysEmptyUntilWrittenAndWritesGoStraightToIt) {
    file.open();
    EXPECT_TRUE(QFile::exists(path()));
    EXPECT_EQ(fileBytes(path()).size(), 0);
    EXPECT_EQ(file.readPort(), 0);
    EXPECT_EQ(file.readSpeed(), "");
    file.writeSpeed(QStringLiteral("9600"));
    EXPECT_EQ(fileBytes(path()), zeros(20) + bytes({4, 0}) + "9600" + zeros(14));
    file.writePort(6);
    EXPECT_EQ(fileBytes(path()), bytes({6, 0}) + zeros(18) + bytes({4, 0}) + "9600" + zeros(14));
    EXPECT_EQ(file.readPort(), 6);
    EXPECT_EQ(file.readSpeed(), "9600");
    EXPECT_TRUE(rig.rig.dialogs.messages.empty());
}

TEST_F(PortSettingsFileTest, ShortFileReadsWhatItHas) {
    writeFileBytes(
        path(), bytes({2, 0, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 5, 0}) + "192");
    file.open();
    EXPECT_EQ(file.readPort(), 2);
    EXPECT_EQ(file.readSpeed(), QStringLiteral("192") + QChar(0) + QChar(0));
}

// A folder or file that may only be read: a file that is there is still read, none is made, and
// the operator hears of it once.
TEST_F(PortSettingsFileTest, WhatCannotBeWrittenIsToldOnceAndWhatIsThereIsRead) {
    for (const bool present : {true, false}) {
        FormRig fresh;
        PortSettingsFile readOnly{fresh.rig.files, fresh.rig.dialogs};
        const QString at = fresh.rig.path(PortSettingsFile::FileName);
        if (present)
            writeFileBytes(at, bytes({3, 0}));
        fresh.rig.files.refuseWriting();
        readOnly.open();
        EXPECT_EQ(fresh.rig.dialogs.messages.size(), 1U);
        if (present) {
            EXPECT_EQ(readOnly.readPort(), 3);
        }
        readOnly.writePort(4);
        readOnly.writeSpeed(QStringLiteral("9600"));
        ASSERT_EQ(fresh.rig.dialogs.messages.size(), 1U);
        EXPECT_EQ(fresh.rig.dialogs.messages[0].type, mb::Exclamation);
        EXPECT_TRUE(fresh.rig.dialogs.messages[0].prompt.contains(PortSettingsFile::FileName));
        EXPECT_EQ(fileBytes(at), present ? bytes({3, 0}) : QByteArray());
        EXPECT_EQ(QFile::exists(at), present);
    }
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
