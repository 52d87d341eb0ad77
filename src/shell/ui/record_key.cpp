#include "record_key.h"

namespace vx::ui {

RecordKey recordKeyFrom(const std::optional<QString>& setting, const QList<QKeySequence>& taken) {
    RecordKey chosen;
    if (!setting)
        return chosen;
    const QKeySequence key =
        QKeySequence::fromString(setting->trimmed(), QKeySequence::PortableText);
    QString why;
    if (key.count() != 1 || key[0].key() == Qt::Key_unknown)
        why = QStringLiteral("無法辨認這個按鍵");
    else if (taken.contains(key))
        why = QStringLiteral("這個按鍵已有其他用途");
    if (why.isEmpty())
        chosen.key = key;
    else
        chosen.problem =
            QStringLiteral("設定檔中的記錄鍵 RecordKey=%1 %2，記錄鍵改用 F12。").arg(*setting, why);
    return chosen;
}

} // namespace vx::ui
