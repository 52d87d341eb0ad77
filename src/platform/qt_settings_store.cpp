#include "qt_settings_store.h"

#include "runtime_error.h"

#include <QCoreApplication>
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
                           QCoreApplication::translate("QtSettingsStore", "無法寫入設定檔 %1")
                               .arg(settings.fileName()));
}

std::optional<QString> QtSettingsStore::readSetting(const QString& appName, const QString& section,
                                                    const QString& key) const {
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Vx"),
                             appName);
    const QVariant value = settings.value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return std::nullopt;
    // An unquoted value with a comma in it reads as a list; the text is what the user wrote.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace vx
