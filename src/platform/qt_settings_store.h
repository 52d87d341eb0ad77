#pragma once

#include "settings_store.h"

namespace vx {

// Qt's native per-user settings for organisation "Vx": on Linux the INI file
// $XDG_CONFIG_HOME/Vx/<appName>.conf, section as group.
class QtSettingsStore : public SettingsStore {
public:
    void saveSetting(const QString& appName, const QString& section, const QString& key,
                     const QString& value) override;
    std::optional<QString> readSetting(const QString& appName, const QString& section,
                                       const QString& key) const override;
};

} // namespace vx
