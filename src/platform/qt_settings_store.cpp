#include "qt_settings_store.h"

#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <memory>

namespace vx {

namespace {

// The store itself, reading nothing but the one file (or the registry).
std::unique_ptr<QSettings> open(const QString& filePath, const QString& appName) {
    if (filePath.isEmpty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           QStringLiteral("Vx"), appName);
    return std::make_unique<QSettings>(filePath, QSettings::IniFormat);
}

} // namespace

QtSettingsStore::QtSettingsStore(QString folder)
    : m_folder(folder.isEmpty()
                   ? QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                   : std::move(folder)) {}

// The registry of Windows is no file; everywhere else the store is a file of its own.
QString QtSettingsStore::filePath(const QString& appName) const {
#ifdef Q_OS_WIN
    (void)appName;
    return {};
#else
    return m_folder + QStringLiteral("/Vx/") + appName + QStringLiteral(".conf");
#endif
}

std::optional<RuntimeError> QtSettingsStore::refusal(const QString& appName) const {
    const QString path = filePath(appName);
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        return std::nullopt;
    QString why;
    if (!file.isFile())
        why = tr("不是一般檔案，而是管道、裝置或資料夾");
    else if (file.size() > MaxFileBytes)
        why = tr("檔案太大：%1 位元組，上限是 %2").arg(file.size()).arg(MaxFileBytes);
    else
        return std::nullopt;
    return RuntimeError(err::PathFileAccessError,
                        QStringLiteral("%1：%2 (%3)")
                            .arg(standardDescription(err::PathFileAccessError), path, why));
}

void QtSettingsStore::saveSetting(const QString& appName, const QString& section,
                                  const QString& key, const QString& value) {
    if (const std::optional<RuntimeError> refused = refusal(appName))
        throw *refused;
    const std::unique_ptr<QSettings> settings = open(filePath(appName), appName);
    settings->beginGroup(section);
    settings->setValue(key, value);
    settings->endGroup();
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw RuntimeError(err::PathFileAccessError,
                           tr("無法寫入設定檔 %1").arg(settings->fileName()));
}

std::optional<QString> QtSettingsStore::readSetting(const QString& appName, const QString& section,
                                                    const QString& key) const {
    if (refusal(appName))
        return std::nullopt;
    const std::unique_ptr<QSettings> settings = open(filePath(appName), appName);
    const QVariant value = settings->value(section + QLatin1Char('/') + key);
    if (!value.isValid())
        return std::nullopt;
    // An unquoted value with a comma in it reads as a list; the text is what the user wrote.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

} // namespace vx
