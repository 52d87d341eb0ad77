#include "qt_settings_store.h"

#include "runtime_error.h"

#include <QSettings>

namespace vx {

void QtSettingsStore::saveSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vx"),
                       appName);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw RuntimeError(err::PathFileAccessError,
                           QStringLiteral("無法寫入設定檔 %1").arg(settings.fileName()));
}

} // namespace vx
