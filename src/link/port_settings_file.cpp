#include "port_settings_file.h"

#include <QtEndian>

namespace vx {

const QString PortSettingsFile::FileName = QStringLiteral("系統資料電腦");

void PortSettingsFile::open() {
    try {
        m_files.openRandom(FileNumber, FileName, RecordLength);
    } catch (const RuntimeError& error) {
        reportOnce(error);
        return;
    }
    // The stored port and speed are used all the same; only changes cannot be kept.
    if (const std::optional<RuntimeError> readOnly = m_files.whyReadOnly(FileNumber))
        reportOnce(*readOnly);
}

int16_t PortSettingsFile::readPort() {
    return portFrom(m_files.getRecord(FileNumber, PortRecord));
}

QString PortSettingsFile::readSpeed() {
    return speedFrom(m_files.getRecord(FileNumber, SpeedRecord));
}

void PortSettingsFile::writePort(int16_t portNumber) {
    try {
        m_files.putRecord(FileNumber, PortRecord, portRecord(portNumber));
    } catch (const RuntimeError& error) {
        reportOnce(error);
    }
}

void PortSettingsFile::writeSpeed(const QString& speedText) {
    try {
        m_files.putRecord(FileNumber, SpeedRecord, speedRecord(speedText));
    } catch (const RuntimeError& error) {
        reportOnce(error);
    }
}

QByteArray PortSettingsFile::portRecord(int16_t portNumber) {
    QByteArray bytes(2, '\0');
    qToLittleEndian<int16_t>(portNumber, bytes.data());
    return bytes;
}

int16_t PortSettingsFile::portFrom(const QByteArray& record) {
    QByteArray bytes = record.left(2);
    bytes.append(2 - bytes.size(), '\0');
    return qFromLittleEndian<int16_t>(bytes.constData());
}

QByteArray PortSettingsFile::speedRecord(const QString& speedText) {
    const QByteArray text = speedText.toLatin1();
    if (text.size() > MaxSpeedLength)
        throw RuntimeError(
            err::BadRecordLength,
            tr("%1：速率「%2」太長").arg(standardDescription(err::BadRecordLength), speedText));
    QByteArray bytes(2, '\0');
    qToLittleEndian<uint16_t>(static_cast<uint16_t>(text.size()), bytes.data());
    return bytes + text;
}

QString PortSettingsFile::speedFrom(const QByteArray& record) {
    QByteArray bytes = record.left(2);
    bytes.append(2 - bytes.size(), '\0');
    const uint16_t length = qFromLittleEndian<uint16_t>(bytes.constData());
    if (length > MaxSpeedLength)
        throw RuntimeError(err::BadRecordLength,
                           tr("%1：%2 的速率記錄長度為 %3")
                               .arg(standardDescription(err::BadRecordLength), FileName)
                               .arg(length));
    QByteArray text = record.mid(2, length);
    text.append(length - text.size(), '\0');
    return QString::fromLatin1(text);
}

void PortSettingsFile::reportOnce(const RuntimeError& error) {
    if (m_reported)
        return;
    m_reported = true;
    m_dialogs.msgBox(tr("傳輸埠設定檔「%1」無法開啟或寫入：\n%2\n\n"
                        "程式照常執行，但傳輸埠與速率的選擇不會被保存。")
                         .arg(FileName, error.description()),
                     mb::Exclamation);
}

} // namespace vx
