#include "serial_comm.h"

#include "runtime_error.h"

#include <QCoreApplication>
#include <QStringList>

namespace vx {

void SerialComm::setSettings(const QString& settings) {
    const LineSettings line = LineSettings::parse(settings);
    applyLine(line);
    m_line = line;
    m_settings = settings;
}

void SerialComm::raiseOnComm(int16_t code) {
    m_commEvent = code;
    if (m_onComm)
        m_onComm();
}

void SerialComm::setRThreshold(int16_t threshold) {
    if (threshold != 0)
        throw RuntimeError(
            err::InvalidPropertyValue,
            QCoreApplication::translate("SerialComm",
                                        "%1：RThreshold %2（此傳輸元件不發出接收事件，只能是 0）")
                .arg(standardDescription(err::InvalidPropertyValue))
                .arg(threshold));
}

void SerialComm::setEOFEnable(bool enable) {
    if (enable)
        throw RuntimeError(err::InvalidPropertyValue,
                           QCoreApplication::translate(
                               "SerialComm", "%1：EOFEnable（此傳輸元件把字元 26 當一般資料）")
                               .arg(standardDescription(err::InvalidPropertyValue)));
}

void SerialComm::setOutBufferSize(int16_t size) {
    if (size < 1)
        throw RuntimeError(err::InvalidPropertyValue,
                           QCoreApplication::translate("SerialComm", "%1：OutBufferSize %2")
                               .arg(standardDescription(err::InvalidPropertyValue))
                               .arg(size));
}

QString lineSettingsFor(const QString& speedText) {
    return speedText + QStringLiteral(",N,8,2");
}

LineSettings LineSettings::parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    const auto refuse = [&text]() {
        return RuntimeError(
            err::InvalidSettings,
            QCoreApplication::translate("SerialComm",
                                        "傳輸設定「%1」無效：應為「速率,N,8,2」，例如 9600,N,8,2")
                .arg(text));
    };
    if (parts.size() != 4)
        throw refuse();
    bool ok = false;
    LineSettings s;
    const QString speed = parts[0].trimmed();
    s.baud = speed.toInt(&ok);
    if (!ok || s.baud <= 0 || speed.startsWith(QLatin1Char('+')))
        throw refuse();
    const QString parity = parts[1].trimmed().toUpper();
    if (parity.size() != 1 || !QStringLiteral("NOEMS").contains(parity))
        throw refuse();
    s.parity = parity[0].toLatin1();
    s.dataBits = parts[2].trimmed().toInt(&ok);
    if (!ok || s.dataBits < 4 || s.dataBits > 8)
        throw refuse();
    const QString stop = parts[3].trimmed();
    if (stop == QStringLiteral("1"))
        s.stopBits = 1;
    else if (stop == QStringLiteral("2"))
        s.stopBits = 2;
    else
        throw refuse();
    return s;
}

QString LineSettings::toString() const {
    return QStringLiteral("%1,%2,%3,%4")
        .arg(baud)
        .arg(QChar::fromLatin1(parity))
        .arg(dataBits)
        .arg(stopBits);
}

} // namespace vx
