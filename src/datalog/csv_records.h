#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <functional>

namespace vx {

namespace fileno {
inline constexpr int CsvFile = 3; // the rows beside the log file, open only while one is written
} // namespace fileno

// Records as a spreadsheet. With [Log] Csv=true in the settings store, each record that reaches the
// log file also becomes a row of the CSV file beside it (the log's name with ".csv" added), with
// the same durability: local time to the millisecond, X, Y, Z, unit, and the line as it came. A
// row that cannot be written is told and never costs the log its record.
class CsvRecords {
    Q_DECLARE_TR_FUNCTIONS(CsvRecords)

public:
    using Now = std::function<QDateTime()>;

    explicit CsvRecords(Platform& platform, Now now = &QDateTime::currentDateTime)
        : m_platform(platform)
        , m_now(std::move(now)) {}

    // The log file at logPath was opened; emptied when New emptied it, and the rows go with it.
    void logOpened(const QString& logPath, bool emptied);
    // The line (as received, line end included) was just written to the log file.
    void recordWritten(const QByteArray& line);

    static const QByteArray Header;
    // One row, CR LF included, RFC 4180 quoting, UTF-8.
    static QByteArray row(const QDateTime& when, const QByteArray& line);

private:
    void tell(const QString& what, const QString& why);

    Platform& m_platform;
    Now m_now;
    QString m_path; // empty: no rows are kept
};

} // namespace vx
