#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <functional>
#include <optional>
#include <utility>

namespace vx {

namespace fileno {
inline constexpr int CsvFile = 3; // the rows beside the log file, open only while one is written
} // namespace fileno

// Records as a spreadsheet. With [Log] Csv=true in the settings store, each record that reaches the
// log file also becomes a row of the CSV file beside it (the log's name with ".csv" added), with
// the same durability: local time to the millisecond, X, Y, Z, unit, and the line as it came. A
// row that cannot be written never costs the log its record; the operator is told once per log
// file for each cause, and the status bar says it for every row left out.
class CsvRecords {
    Q_DECLARE_TR_FUNCTIONS(CsvRecords)

public:
    using Now = std::function<QDateTime()>;

    explicit CsvRecords(Platform& platform, Now now = &QDateTime::currentDateTime)
        : m_platform(platform)
        , m_now(std::move(now)) {}

    // The log file at logPath was opened; emptied when New emptied it, and the rows go with it.
    // Opened to append, the rows are first brought level with the log's records.
    void logOpened(const QString& logPath, bool emptied);
    // The line (as received, line end included) was just written to the log file.
    void recordWritten(const QByteArray& line);

    // Shows a text in the status bar.
    std::function<void(const QString& text)> showStatus;

    static const QByteArray Header;
    // One row, CR LF included, RFC 4180 quoting, plain ASCII. An invalid time (a record whose time
    // is not known) leaves the time field empty.
    static QByteArray row(const QDateTime& when, const QByteArray& line);
    // The line field of a row: the line without its line end, as text that shows every byte.
    static QByteArray lineField(const QByteArray& line);

private:
    void appendRows(QByteArray rows);
    void level();
    void failed(const QString& what, const RuntimeError& error, const QString& detail = {});

    Platform& m_platform;
    Now m_now;
    QString m_logPath;
    QString m_path; // empty: no rows are kept
    // The cause the operator was told of for this log file: number and description.
    std::optional<std::pair<int, QString>> m_told;
};

} // namespace vx
