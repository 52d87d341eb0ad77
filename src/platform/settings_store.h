#pragma once

#include "runtime_error.h"

#include <QString>
#include <optional>

namespace vx {

// The per-user settings store: text values under application name, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual void saveSetting(const QString& appName, const QString& section, const QString& key,
                             const QString& value) = 0;
    // The value stored under the key, or nothing when there is none (or the store cannot be read).
    virtual std::optional<QString> readSetting(const QString& appName, const QString& section,
                                               const QString& key) const = 0;
    // Why the store is not used (neither read nor written), naming its file; nothing when it is.
    virtual std::optional<RuntimeError> refusal(const QString& appName) const = 0;
};

} // namespace vx
