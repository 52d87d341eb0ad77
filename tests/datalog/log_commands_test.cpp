#include "../readout/readout_rig.h"
#include "datalog/csv_records.h"
#include "datalog/log_commands.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace vx;
using namespace vx::testing;

namespace {

const QDateTime When(QDate(2024, 5, 1), QTime(14, 3, 22, 7));

// The File commands and the CSV rows beside the log, on the readout's rig.
struct LogCommandsTest : ::testing::Test {
    LogCommandsTest() {
        r.frames.recordWritten = [this](const QByteArray& line) { csv.recordWritten(line); };
        log.logOpened = [this](const QString& path, bool emptied) { csv.logOpened(path, emptied); };
        csv.showStatus = [this](const QString& text) { r.form.sbStatusBar.panel(1).setText(text); };
    }
    // Runs a File command with its dialog answered by a path, or cancelled.
    void run(void (LogCommands::*command)(), std::optional<QString> answer = std::nullopt) {
        dialogs.fileAnswers.push_back(std::move(answer));
        (log.*command)();
    }
    void record(const QByteArray& line = ThreeAxisMetric) {
        r.state.recordRequest = true;
        r.handle(line);
    }
    // The log file's panel and the count.
    QString shown() { return r.panel(2) + ' ' + r.form.lab計數顯示.caption(); }
    void csvOn() { r.rig.settings.values[QStringLiteral("Log/Csv")] = QStringLiteral("true"); }

    ReadoutRig r;
    LogCommands log{r.form, r.state, r.platform};
    CsvRecords csv{r.platform, [] { return When; }};
    ScriptedDialogs& dialogs = r.rig.dialogs;
    QString a = r.rig.path(QStringLiteral("a.txt"));
};

} // namespace

// Records are on the disk as soon as counted. An Open or a New cancelled keeps the open file and
// its count, records written behind its dialog included, though the dialog remembers a name.
TEST_F(LogCommandsTest, OpenAppendsNewEmptiesAndACancelKeepsFileAndCount) {
    writeFileBytes(a, "earlier\r\n");
    run(&LogCommands::mnuFileOpen_Click, a);
    record();
    record(TwoAxis);
    EXPECT_EQ(fileBytes(a), "earlier\r\n" + ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n");
    EXPECT_EQ(shown(), a + " 2");
    dialogs.whileFileDialogOpen = [&] { record(); };
    const std::pair<void (LogCommands::*)(), const char*> cancelled[] = {
        {&LogCommands::mnuFileOpen_Click, " 3"}, {&LogCommands::mnuFileNew_Click, " 4"}};
    for (const auto& [command, count] : cancelled) {
        run(command);
        EXPECT_EQ(shown(), a + count);
    }
    EXPECT_EQ(fileBytes(a).count('\n'), 9);
    dialogs.whileFileDialogOpen = nullptr;
    run(&LogCommands::mnuFileNew_Click, a);
    EXPECT_EQ(shown(), a + " 0");
    record();
    EXPECT_EQ(fileBytes(a), ThreeAxisMetric + "\r\n");
    log.mnuFileClose_Click(); // then a cancelled Open opens none
    run(&LogCommands::mnuFileOpen_Click);
    EXPECT_EQ(shown(), MainForm::noLogFileText() + " 0");
    EXPECT_FALSE(r.rig.files.isOpen(fileno::LogFile));
    ASSERT_EQ(dialogs.fileDialogs.size(), 5U);
    EXPECT_EQ(dialogs.fileDialogs[0].dialogTitle, LogCommands::dialogTitle());
    EXPECT_EQ(dialogs.fileDialogs[0].filter, LogCommands::dialogFilter());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QFile::exists(a + ".csv")); // no rows unless asked for
}

// A file that cannot be opened (a pipe among them), emptied or closed is told once and leaves no
// log file: records are not kept, and the count says so.
TEST_F(LogCommandsTest, FailuresAreToldOnceAndLeaveNoLogFile) {
    const QString nowhere = r.rig.path(QStringLiteral("missing/log.txt"));
#ifdef _WIN32
    const QString fifo = QStringLiteral("NUL"); // a device, which answers like a pipe
#else
    const QString fifo = r.rig.path(QStringLiteral("pipe.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
#endif
    const std::pair<std::function<void()>, QString> rows[] = {
        {[&] { run(&LogCommands::mnuFileOpen_Click, nowhere); }, nowhere},
        {[&] { run(&LogCommands::mnuFileOpen_Click, fifo); }, "不是一般檔案"}, // nor blocks
        {[&] { run(&LogCommands::mnuFileNew_Click, nowhere); }, nowhere},
        {[&] {
             r.rig.files.failNext(FaultyFiles::Op::Close, err::DeviceIoError);
             log.mnuFileClose_Click();
         },
         standardDescription(err::DeviceIoError)},
    };
    for (const auto& [fail, told] : rows) {
        run(&LogCommands::mnuFileOpen_Click, a);
        record();
        dialogs.messages.clear();
        fail();
        ASSERT_EQ(dialogs.messages.size(), 1U) << told.toStdString();
        EXPECT_TRUE(dialogs.messages[0].prompt.contains(told));
        EXPECT_FALSE(r.rig.files.isOpen(fileno::LogFile));
        record();
        EXPECT_EQ(shown(), MainForm::noLogFileText() + " 0");
    }
    log.mnuFileClose_Click(); // closing with nothing open is quiet
    EXPECT_EQ(dialogs.messages.size(), 1U);
}

TEST(CsvRecords, OneRowPerLine) {
    const std::pair<QByteArray, QByteArray> rows[] = {
        {ThreeAxisMetric, "-12.345,250.000,0.001,mm,X   -12.345 Y   250.000 Z     0.001  M\r\n"},
        {ThreeAxisInch, "1.2346,-0.5000,-123.4567,in,X    1.2346 Y   -0.5000 Z -123.4567  I\r\n"},
        {TwoAxis, "-12.345,7.500,,,X   -12.345 Y     7.500 \r\n"},
        // A garbled line keeps its text; what is no number, or no axis of the line, stays empty.
        {"X 1,5\n", ",,,,\"X 1,5\"\r\n"},
        {"X  1,5\"0    Y          T 9.5\n", ",,,,\"X  1,5\"\"0    Y          T 9.5\"\r\n"},
        // Every byte shows as it came, and none breaks the row: \xHH for all but printable ASCII.
        {QByteArray("X\\1\0\x1B\r\xE9\x7F\n", 9), ",,,,X\\\\1\\x00\\x1B\\x0D\\xE9\\x7F\r\n"},
    };
    for (const auto& [line, row] : rows)
        EXPECT_EQ(CsvRecords::row(When, line), "2024-05-01 14:03:22.007," + row) << line.data();
}

// Each record is a row beside the log, with one header; New empties both. A row that cannot be
// written is told, and the log keeps its record and its count.
TEST_F(LogCommandsTest, EveryRecordIsARowBesideTheLog) {
    csvOn();
    run(&LogCommands::mnuFileOpen_Click, a);
    record(TwoAxis);
    r.handle(TwoAxis); // not a record
    run(&LogCommands::mnuFileOpen_Click, a);
    record(ThreeAxisInch);
    const QByteArray header = CsvRecords::Header;
    EXPECT_EQ(fileBytes(a + ".csv"),
              header + CsvRecords::row(When, TwoAxis) + CsvRecords::row(When, ThreeAxisInch));
    run(&LogCommands::mnuFileNew_Click, a);
    r.rig.files.fillDiskAfter(ThreeAxisMetric.size() + 2 + header.size());   // header, but no row
    dialogs.whileMessageOpen = [&](auto&) { EXPECT_EQ(shown(), a + " 1"); }; // before the box
    record();
    EXPECT_EQ(fileBytes(a), ThreeAxisMetric + "\r\n");
    EXPECT_EQ(fileBytes(a + ".csv"), ""); // the header goes with the first row
    EXPECT_EQ(shown(), a + " 1");
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_TRUE(dialogs.messages[0].prompt.contains(standardDescription(err::DiskFull)));
    EXPECT_FALSE(r.rig.files.isOpen(fileno::CsvFile));
}

// A CSV file that cannot be had is told once per log file and cause, at New or Open (planted links
// are the numbered files' to refuse); every row left out is said in the status bar.
TEST_F(LogCommandsTest, ACsvFileThatCannotBeHadIsToldOncePerLogFile) {
    csvOn();
    QDir().mkdir(a + ".csv");
    run(&LogCommands::mnuFileNew_Click, a);
    record();
    EXPECT_EQ(r.panel(1), CsvRecords::tr("CSV 檔沒有寫入") + r.rig.clock.time);
    run(&LogCommands::mnuFileOpen_Click, a);
    EXPECT_EQ(dialogs.messages.size(), 2U);
}

// Opened to append, the CSV file is brought level with the log: a record whose row never came (the
// program ended between the two writes) gets one, with an empty time as that is not known. Rows
// that are not the log's last records are told of, and left alone.
TEST_F(LogCommandsTest, OpenBringsTheCsvFileLevelWithTheLog) {
    csvOn();
    run(&LogCommands::mnuFileOpen_Click, a);
    record(TwoAxis);
    record(ThreeAxisInch);
    writeFileBytes(a, fileBytes(a) + ThreeAxisMetric + "\r\n");
    const QByteArray level = CsvRecords::Header + CsvRecords::row(When, TwoAxis) +
                             CsvRecords::row(When, ThreeAxisInch) +
                             CsvRecords::row(QDateTime(), ThreeAxisMetric);
    run(&LogCommands::mnuFileOpen_Click, a);
    run(&LogCommands::mnuFileOpen_Click, a); // level already: nothing to add
    EXPECT_EQ(fileBytes(a + ".csv"), level);
    EXPECT_TRUE(dialogs.messages.empty());
    writeFileBytes(a, TwoAxis + "\r\n");
    run(&LogCommands::mnuFileOpen_Click, a);
    EXPECT_EQ(fileBytes(a + ".csv") + QByteArray::number(dialogs.messages.size()), level + "1");
}
