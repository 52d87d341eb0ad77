#include "serial_comm.h"

#include "runtime_error.h"

#include <QStringList>

namespace vx {

void SerialComm::raiseOnComm(int16_t code) {
    m_commEvent = code;
    if (m_onComm)
        m_onComm();
}

QString lineSettingsFor(const QString& speedText) {
    return speedText + QStringLiteral(",N,8,2");
}

LineSettings LineSettings::parse(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    const auto refuse = [&text]() {
        return RuntimeError(
            err::InvalidSettings,
            QStringLiteral("傳輸設定「%1」無效：應為「速率,N,8,2」，例如 9600,N,8,2").arg(text));
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
