#pragma once

#include "runtime_error.h"
#include "settings_store.h"

#include <QCoreApplication>

namespace vx {

// Qt's per-user settings for organisation "Vx": on Linux the INI file
// $XDG_CONFIG_HOME/Vx/<appName>.conf and no other, section as group; on Windows the registry.
// The file is looked at before every use: one that is not a regular file (a pipe would block the
// program for good) or that is absurdly large is refused. Nothing is read from it then, and
// nothing written.
class QtSettingsStore : public SettingsStore {
    Q_DECLARE_TR_FUNCTIONS(QtSettingsStore)

public:
    // The folder that holds the organisation's folder; by default the user's configuration folder.
    explicit QtSettingsStore(QString folder = {});

    void saveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;
    std::optional<QString> readSetting(const QString& appName, const QString& section,
                                       const QString& key) const override;
    std::optional<RuntimeError> refusal(const QString& appName) const override;

    static constexpr qint64 MaxFileBytes = 1024 * 1024;

private:
    QString filePath(const QString& appName) const;

    QString m_folder;
};

} // namespace vx
