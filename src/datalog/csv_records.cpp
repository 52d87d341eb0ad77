#include "csv_records.h"

#include "form/frame_decoding.h"
#include "platform/error_trap.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace vx {

const QByteArray CsvRecords::Header = QByteArrayLiteral("time,X,Y,Z,unit,line\r\n");

namespace {

// A reading as a spreadsheet takes it: the counter's digits without its padding, or nothing when
// the field holds no number (a line cut short, noise).
QByteArray number(QByteArray field) {
    static const QRegularExpression Decimal(QStringLiteral(R"(^[+-]?(\d+\.?\d*|\.\d+)$)"));
    field.replace(' ', QByteArray());
    return Decimal.match(QString::fromLatin1(field)).hasMatch() ? field : QByteArray();
}

QByteArray quoted(const QByteArray& field) {
    static const QByteArray Special = QByteArrayLiteral(",\"\r\n");
    if (std::none_of(field.begin(), field.end(), [](char c) { return Special.contains(c); }))
        return field;
    QByteArray doubled = field;
    return '"' + doubled.replace('"', QByteArrayLiteral("\"\"")) + '"';
}

bool switchedOn(const std::optional<QString>& setting) {
    const QString value = setting.value_or(QString()).trimmed();
    return value.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0 ||
           value == QStringLiteral("1");
}

} // namespace

QByteArray CsvRecords::row(const QDateTime& when, const QByteArray& line) {
    const DecodedFrame frame = decodeFrame(line);
    QByteArray raw = line;
    if (raw.endsWith('\n'))
        raw.chop(1);
    if (raw.endsWith('\r'))
        raw.chop(1);
    const char* unit = frame.unit == DecodedFrame::Unit::Metric     ? "mm"
                       : frame.unit == DecodedFrame::Unit::Imperial ? "in"
                                                                    : "";
    const QByteArrayList fields = {
        when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")).toUtf8(),
        number(frame.x),
        number(frame.y),
        frame.threeAxes ? number(frame.z) : QByteArray(),
        unit,
        quoted(QString::fromLatin1(raw).toUtf8()),
    };
    return fields.join(',') + "\r\n";
}

void CsvRecords::tell(const QString& what, const QString& why) {
    m_platform.dialogs.msgBox(QStringLiteral("%1\n%2\n\n%3").arg(what, m_path, why),
                              mb::Exclamation);
}

void CsvRecords::logOpened(const QString& logPath, bool emptied) {
    m_path.clear();
    if (!switchedOn(m_platform.settings.readSetting(m_platform.app.title, QStringLiteral("Log"),
                                                    QStringLiteral("Csv"))))
        return;
    m_path = logPath + QStringLiteral(".csv");
    // Made (or emptied) now, so a file that cannot be had is told before the first record.
    NumberedFiles& files = m_platform.files;
    endOnError(
        [&] {
            if (emptied)
                files.openOutput(fileno::CsvFile, m_path);
            else
                files.openAppend(fileno::CsvFile, m_path);
            files.close(fileno::CsvFile);
        },
        [&](const RuntimeError& error) {
            ResumeNext()([&] { files.close(fileno::CsvFile); });
            tell(tr("CSV 檔無法開啟，記錄只寫入記錄檔："), error.description());
        });
}

// Opened for each row, so a file moved or mended meanwhile is found again; the header goes with
// the first row of an empty file, in the same write.
void CsvRecords::recordWritten(const QByteArray& line) {
    if (m_path.isEmpty())
        return;
    QByteArray bytes = row(m_now(), line);
    if (QFileInfo(m_path).size() == 0)
        bytes.prepend(Header);
    NumberedFiles& files = m_platform.files;
    endOnError(
        [&] {
            files.openAppend(fileno::CsvFile, m_path);
            files.print(fileno::CsvFile, bytes);
            files.close(fileno::CsvFile);
        },
        [&](const RuntimeError& error) {
            ResumeNext()([&] { files.close(fileno::CsvFile); });
            tell(tr("這筆資料已寫入記錄檔，但沒有寫入 CSV 檔："),
                 error.description() + QStringLiteral("\n\n") +
                     QString::fromLatin1(line).trimmed());
        });
}

} // namespace vx
