#pragma once

#include <QString>

namespace vx {

// The per-user settings store: text values under application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void saveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value) = 0;
};

} // namespace vx
