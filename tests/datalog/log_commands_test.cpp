#include "../readout/readout_rig.h"
#include "datalog/log_commands.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct LogCommandsTest : ::testing::Test {
    ReadoutRig r;
    LogCommands log{r.form, r.state, r.platform};
    QString a = r.rig.path(QStringLiteral("a.txt"));
    QString b = r.rig.path(QStringLiteral("b.txt"));

    void choose(const QString& path) { r.rig.dialogs.fileAnswers.push_back(path); }
    void cancel() { r.rig.dialogs.fileAnswers.push_back(std::nullopt); }
    void record(const QByteArray& line = ThreeAxisMetric) {
        r.state.recordRequest = true;
        r.handle(line);
    }
    QString count() { return r.form.lab計數顯示.caption(); }
};

} // namespace

// Records are read back while the file is open: they are on the disk as soon as counted.
TEST_F(LogCommandsTest, OpenAppendsToAnExistingFileAndShowsItsPath) {
    writeFileBytes(a, "earlier\r\n");
    choose(a);
    log.mnuFileOpen_Click();
    record(ThreeAxisMetric);
    record(TwoAxis);
    EXPECT_EQ(fileBytes(a), "earlier\r\n" + ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n");
    EXPECT_EQ(count(), "2");
    EXPECT_EQ(r.panel(2), a);
    ASSERT_EQ(r.rig.dialogs.fileDialogs.size(), 1U);
    const CommonDialog& shown = r.rig.dialogs.fileDialogs[0];
    EXPECT_EQ(shown.dialogTitle, "開啟");
    EXPECT_EQ(shown.filter, "文字檔案 (*.txt)|*.txt|所有檔案|*.*");
    EXPECT_FALSE(shown.cancelError);
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
}

TEST_F(LogCommandsTest, NewEmptiesTheChosenFile) {
    writeFileBytes(a, "earlier\r\n");
    choose(a);
    log.mnuFileOpen_Click();
    record();
    choose(a);
    log.mnuFileNew_Click();
    EXPECT_EQ(fileBytes(a), "");
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(r.panel(2), a);
    EXPECT_TRUE(r.rig.dialogs.fileDialogs[1].fileName.isEmpty()); // New starts with no name
    record();
    EXPECT_EQ(fileBytes(a), ThreeAxisMetric + "\r\n");
}

TEST_F(LogCommandsTest, NewCancelledKeepsTheOpenFileAndItsCount) {
    choose(a);
    log.mnuFileOpen_Click();
    record();
    r.rig.dialogs.whileFileDialogOpen = [&] { record(); }; // ticks go on behind the dialog
    cancel();
    log.mnuFileNew_Click();
    EXPECT_EQ(count(), "2");
    EXPECT_EQ(r.panel(2), a);
    EXPECT_FALSE(QFile::exists(b));
    choose(b);
    log.mnuFileOpen_Click(); // the record behind this dialog went to a, none to b
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(fileBytes(a).count('\n'), 6);
}

TEST_F(LogCommandsTest, OpenCancelledReopensTheFileChosenLast) {
    choose(a);
    log.mnuFileOpen_Click();
    record();
    log.mnuFileClose_Click();
    EXPECT_EQ(r.panel(2), "無輸出檔案設定");
    EXPECT_EQ(count(), "0");
    cancel();
    log.mnuFileOpen_Click();
    EXPECT_EQ(r.panel(2), a);
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(r.rig.dialogs.fileDialogs.back().fileName, a);
    record(TwoAxis);
    EXPECT_EQ(fileBytes(a), ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n");
}

TEST_F(LogCommandsTest, OpenCancelledWithNothingEverChosenOpensNothing) {
    r.state.recordCount = 3;
    cancel();
    log.mnuFileOpen_Click();
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(r.panel(2), "無輸出檔案設定");
    EXPECT_FALSE(r.rig.files.isOpen(fileno::LogFile));
}

TEST_F(LogCommandsTest, PathThatCannotBeOpenedIsToldAndShowsNoLogFile) {
    const QString nowhere = r.rig.path(QStringLiteral("missing/folder/log.txt"));
    choose(a);
    log.mnuFileOpen_Click();
    choose(nowhere);
    log.mnuFileOpen_Click();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(nowhere));
    EXPECT_EQ(r.panel(2), "無輸出檔案設定");
    EXPECT_FALSE(r.rig.files.isOpen(fileno::LogFile));
    record(); // records are not kept, and the count says so
    EXPECT_EQ(count(), "0");

    choose(nowhere);
    log.mnuFileNew_Click(); // told once, not a second time for the same failure
    EXPECT_EQ(r.rig.dialogs.messages.size(), 2U);
    EXPECT_EQ(r.panel(2), "無輸出檔案設定");
}

TEST_F(LogCommandsTest, NewThatCannotEmptyTheFileLeavesNoneOpen) {
    choose(a);
    r.rig.files.failNext(FaultyFiles::Op::OpenOutput, err::PermissionDenied);
    log.mnuFileNew_Click();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_FALSE(r.rig.files.isOpen(fileno::LogFile));
    EXPECT_EQ(r.panel(2), "無輸出檔案設定");
    EXPECT_EQ(count(), "0");
}

TEST_F(LogCommandsTest, CloseThatFailsIsToldAndStillResets) {
    choose(a);
    log.mnuFileOpen_Click();
    record();
    r.rig.files.failNext(FaultyFiles::Op::Close, err::DeviceIoError);
    log.mnuFileClose_Click();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(standardDescription(err::DeviceIoError)));
    EXPECT_FALSE(r.rig.files.isOpen(fileno::LogFile));
    EXPECT_EQ(count(), "0");
    EXPECT_EQ(r.panel(2), "無輸出檔案設定");
    log.mnuFileClose_Click(); // closing with nothing open is quiet
    EXPECT_EQ(r.rig.dialogs.messages.size(), 1U);
}
