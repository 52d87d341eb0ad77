#pragma once

#include "app_info.h"
#include "desktop.h"
#include "dialogs.h"
#include "numbered_files.h"
#include "settings_store.h"

namespace vx {

// Everything outside the program that a handler may reach, apart from the serial component, which
// belongs to the main window.
struct Platform {
    NumberedFiles& files;
    SettingsStore& settings;
    Dialogs& dialogs;
    Sound& sound;
    Clock& clock;
    EventPump& events;
    HelpViewer& help;
    const AppInfo& app;
};

} // namespace vx
