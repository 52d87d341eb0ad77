#include "csv_records.h"

#include "form/frame_decoding.h"
#include "platform/error_trap.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace vx {

const QByteArray CsvRecords::Header = QByteArrayLiteral("time,X,Y,Z,unit,line\r\n");

namespace {

// How much of the end of each file is compared when a log is opened: thousands of records.
constexpr qint64 TailBytes = 256 * 1024;
// How many of the last rows must match the log's records for the files to be level.
constexpr qsizetype RowsCompared = 32;

// A reading as a spreadsheet takes it: the counter's digits without its padding, or nothing when
// the field holds no number (a line cut short, noise).
QByteArray number(QByteArray field) {
    static const QRegularExpression Decimal(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)$)"));
    field.replace(' ', QByteArray());
    return Decimal.match(QString::fromLatin1(field)).hasMatch() ? field : QByteArray();
}

QByteArray quoted(const QByteArray& field) {
    if (!field.contains(',') && !field.contains('"'))
        return field;
    QByteArray doubled = field;
    return '"' + doubled.replace('"', QByteArrayLiteral("\"\"")) + '"';
}

// The bytes as text that a spreadsheet shows as they came, whatever encoding it guesses: printable
// ASCII as itself, a backslash doubled, and every other byte as \xHH. A control byte would break
// the row, and a byte from 0x80 up is no character of its own in UTF-8.
QByteArray visible(const QByteArray& bytes) {
    QByteArray text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\\')
            text += "\\\\";
        else if (byte >= 0x20 && byte < 0x7F)
            text += c;
        else
            text += "\\x" + QByteArray::number(byte, 16).toUpper().rightJustified(2, '0');
    }
    return text;
}

bool switchedOn(const std::optional<QString>& setting) {
    const QString value = setting.value_or(QString()).trimmed();
    return value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ||
           value == QStringLiteral("1");
}

// The last bytes of the file, from a whole line on (or its start).
QByteArray tailOf(const QString& path, const QByteArray& lineEnd) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 from = std::max<qint64>(file.size() - TailBytes, 0);
    file.seek(from);
    const QByteArray tail = file.read(TailBytes);
    if (from == 0)
        return tail;
    const qsizetype end = tail.indexOf(lineEnd);
    return end < 0 ? QByteArray() : tail.mid(end + lineEnd.size());
}

// The records at the end of the log: each is the line as received, then CR LF; the line ends in
// its one line feed. Text of the operator's own in the file is no record.
QByteArrayList lastRecords(const QString& logPath) {
    static const QByteArray End = QByteArrayLiteral("\n\r\n");
    const QByteArray tail = tailOf(logPath, End);
    QByteArrayList lines;
    for (qsizetype start = 0, end = 0; (end = tail.indexOf(End, start)) >= 0; start = end + 3)
        if (tail.at(start) == 'X')
            lines << tail.mid(start, end + 1 - start);
    return lines;
}

// The line fields of the last rows of the CSV file, after its header.
QByteArrayList lastLineFields(const QString& csvPath) {
    QByteArrayList fields;
    for (const QByteArray& row : tailOf(csvPath, "\r\n").split('\n')) {
        qsizetype comma = -1;
        for (int n = 0; n < 5 && (comma = row.indexOf(',', comma + 1)) >= 0;)
            ++n;
        if (comma >= 0 && row.endsWith('\r') && row + '\n' != CsvRecords::Header)
            fields << row.mid(comma + 1).chopped(1);
    }
    return fields;
}

} // namespace

QByteArray CsvRecords::lineField(const QByteArray& line) {
    QByteArray raw = line;
    if (raw.endsWith('\n'))
        raw.chop(1);
    if (raw.endsWith('\r'))
        raw.chop(1);
    return quoted(visible(raw));
}

QByteArray CsvRecords::row(const QDateTime& when, const QByteArray& line) {
    const DecodedFrame frame = decodeFrame(line);
    const char* unit = frame.unit == DecodedFrame::Unit::Metric     ? "mm"
                       : frame.unit == DecodedFrame::Unit::Imperial ? "in"
                                                                    : "";
    const QByteArrayList fields = {
        when.isValid() ? when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toLatin1()
                       : QByteArray(),
        number(frame.x),
        number(frame.y),
        frame.threeAxes ? number(frame.z) : QByteArray(),
        unit,
        lineField(line),
    };
    return fields.join(',') + "\r\n";
}

// The status bar says it for every row left out; a box tells it once per log file and cause.
void CsvRecords::failed(const QString& what, const RuntimeError& error, const QString& detail) {
    ResumeNext()([&] { m_platform.files.close(fileno::CsvFile); });
    if (showStatus)
        showStatus(tr("CSV 檔沒有寫入") + m_platform.clock.timeOfDay());
    const std::pair<int, QString> cause{error.number(), error.description()};
    if (m_told == cause)
        return;
    m_told = cause;
    QString text = QStringLiteral("%1\n%2\n\n%3").arg(what, m_path, error.description());
    if (!detail.isEmpty())
        text += QStringLiteral("\n\n") + detail;
    m_platform.dialogs.msgBox(text, mb::Exclamation);
}

void CsvRecords::logOpened(const QString& logPath, bool emptied) {
    m_path.clear();
    m_told.reset();
    if (!switchedOn(m_platform.settings.readSetting(m_platform.app.title, QStringLiteral("Log"),
                                                    QStringLiteral("Csv"))))
        return;
    m_logPath = logPath;
    m_path = logPath + QStringLiteral(".csv");
    // Made (or emptied) now, so a file that cannot be had is told before the first record.
    NumberedFiles& files = m_platform.files;
    ResumeNext open;
    if (!open([&] {
            if (emptied)
                files.openOutput(fileno::CsvFile, m_path);
            else
                files.openAppend(fileno::CsvFile, m_path);
            files.close(fileno::CsvFile);
        }))
        failed(tr("CSV 檔無法開啟，記錄只寫入記錄檔："), *open.error());
    else if (!emptied)
        level();
}

// A record whose row never came (the program ended between the two writes) gets its row now, with
// an empty time, as that is not known. Rows that match no records of the log are told of.
void CsvRecords::level() {
    const QByteArrayList fields = lastLineFields(m_path);
    if (fields.isEmpty())
        return; // the rows begin with the next record
    const QByteArrayList records = lastRecords(m_logPath);
    const qsizetype compared = std::min(fields.size(), RowsCompared);
    const auto levelWith = [&](qsizetype missing) {
        for (qsizetype i = 1; i <= compared; ++i)
            if (fields[fields.size() - i] != lineField(records[records.size() - missing - i]))
                return false;
        return true;
    };
    qsizetype missing = 0;
    while (missing <= records.size() - compared && !levelWith(missing))
        ++missing;
    if (missing > records.size() - compared) {
        m_platform.dialogs.msgBox(tr("CSV 檔的資料列與記錄檔最後的記錄對不上：\n%1\n%2\n\n"
                                     "之後的記錄照常寫入這兩個檔案。")
                                      .arg(m_logPath, m_path),
                                  mb::Exclamation);
        return;
    }
    QByteArray rows;
    for (qsizetype i = records.size() - missing; i < records.size(); ++i)
        rows += row(QDateTime(), records[i]);
    if (!rows.isEmpty())
        endOnError([&] { appendRows(rows); },
                   [&](const RuntimeError& error) {
                       failed(tr("記錄檔最後的記錄在 CSV 檔中沒有資料列，也無法補上："), error);
                   });
}

// Opened for each write, so a file moved or mended meanwhile is found again; the header goes with
// the first row of an empty file, in the same write.
void CsvRecords::appendRows(QByteArray rows) {
    NumberedFiles& files = m_platform.files;
    files.openAppend(fileno::CsvFile, m_path);
    if (QFileInfo(m_path).size() == 0)
        rows.prepend(Header);
    files.print(fileno::CsvFile, rows);
    files.close(fileno::CsvFile);
}

void CsvRecords::recordWritten(const QByteArray& line) {
    if (m_path.isEmpty())
        return;
    endOnError([&] { appendRows(row(m_now(), line)); },
               [&](const RuntimeError& error) {
                   failed(tr("這筆資料已寫入記錄檔，但沒有寫入 CSV 檔："), error,
                          QString::fromLatin1(line).trimmed());
               });
}

} // namespace vx
