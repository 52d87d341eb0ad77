#include "../readout/readout_rig.h"
#include "datalog/csv_records.h"
#include "datalog/log_commands.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

const QDateTime When(QDate(2024, 5, 1), QTime(14, 3, 22, 7));

TEST(CsvRecords, OneRowPerLine) {
    const struct {
        QByteArray line, row;
    } rows[] = {
        {ThreeAxisMetric, "2024-05-01 14:03:22.007,-12.345,250.000,0.001,mm,X   -12.345 Y   "
                          "250.000 Z     0.001  M\r\n"},
        {ThreeAxisInch, "2024-05-01 14:03:22.007,1.2346,-0.5000,-123.4567,in,X    1.2346 Y   "
                        "-0.5000 Z -123.4567  I\r\n"},
        {TwoAxis, "2024-05-01 14:03:22.007,-12.345,7.500,,,X   -12.345 Y     7.500 \r\n"},
        // A garbled line keeps its text; what is no number, or no axis of the line, stays empty.
        {"X  1,5\"0    Y          T 9.5\n",
         "2024-05-01 14:03:22.007,,,,,\"X  1,5\"\"0    Y          T 9.5\"\r\n"},
        {"X- 12.5    \xE9\r\n", "2024-05-01 14:03:22.007,-12.5,,,,X- 12.5    \xC3\xA9\r\n"},
    };
    for (const auto& [line, row] : rows)
        EXPECT_EQ(CsvRecords::row(When, line), row) << line.toStdString();
}

struct CsvRecordsTest : ::testing::Test {
    CsvRecordsTest() {
        r.rig.settings.values[QStringLiteral("Log/Csv")] = QStringLiteral("true");
        r.frames.recordWritten = [this](const QByteArray& line) { csv.recordWritten(line); };
        log.logOpened = [this](const QString& path, bool emptied) { csv.logOpened(path, emptied); };
    }
    void open(bool emptied) {
        r.rig.dialogs.fileAnswers.push_back(log_);
        emptied ? log.mnuFileNew_Click() : log.mnuFileOpen_Click();
    }
    void record(const QByteArray& line) {
        r.state.recordRequest = true;
        r.handle(line);
    }
    QByteArray rows(const QByteArrayList& lines) {
        QByteArray all = CsvRecords::Header;
        for (const QByteArray& line : lines)
            all += CsvRecords::row(When, line);
        return all;
    }

    ReadoutRig r;
    LogCommands log{r.form, r.state, r.platform};
    CsvRecords csv{r.platform, [] { return When; }};
    QString log_ = r.rig.path(QStringLiteral("log.txt"));
    QString csv_ = log_ + QStringLiteral(".csv");
};

TEST_F(CsvRecordsTest, EveryRecordIsARowBesideTheLogHeaderOnce) {
    open(false);
    record(ThreeAxisMetric);
    r.handle(TwoAxis); // not a record
    record(TwoAxis);
    open(false); // appended to: no second header
    record(ThreeAxisInch);
    EXPECT_EQ(fileBytes(log_),
              ThreeAxisMetric + "\r\n" + TwoAxis + "\r\n" + ThreeAxisInch + "\r\n");
    EXPECT_EQ(fileBytes(csv_), rows({ThreeAxisMetric, TwoAxis, ThreeAxisInch}));
    open(true); // New empties both
    record(TwoAxis);
    EXPECT_EQ(fileBytes(csv_), rows({TwoAxis}));
    EXPECT_TRUE(r.rig.dialogs.messages.empty());
}

TEST_F(CsvRecordsTest, OffByDefault) {
    r.rig.settings.values.clear();
    open(false);
    record(ThreeAxisMetric);
    EXPECT_EQ(fileBytes(log_), ThreeAxisMetric + "\r\n");
    EXPECT_FALSE(QFile::exists(csv_));
}

// A full disk under the CSV file: the operator is told, the log keeps its record and its count.
TEST_F(CsvRecordsTest, AFailedRowIsToldAndTheLogRecordStays) {
    open(false);
    r.rig.files.fillDiskAfter(ThreeAxisMetric.size() + 2); // the log's record fits, no more
    record(ThreeAxisMetric);
    EXPECT_EQ(fileBytes(log_), ThreeAxisMetric + "\r\n");
    EXPECT_EQ(r.form.lab計數顯示.caption(), "1");
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains(standardDescription(err::DiskFull)));
    EXPECT_FALSE(r.rig.files.isOpen(fileno::CsvFile));
}

} // namespace
