#pragma once

#include "big_readout_launcher.h"
#include "form/loaded_forms.h"
#include "form/main_form.h"
#include "form/module_state.h"
#include "form/splash_form.h"
#include "main_window.h"
#include "platform/operating_system.h"
#include "platform/qt_clock.h"
#include "platform/qt_desktop.h"
#include "platform/qt_settings_store.h"
#include "record_key.h"
#include "shell/core/main_handlers.h"
#include "shell/core/startup.h"
#include "splash_window.h"

#include <functional>
#include <map>
#include <memory>

namespace vx::ui {

// The program: the platform, the two windows and their handlers, wired to the window system. The
// operating system's side comes from main(), which chose it.
class Application {
public:
    explicit Application(const OperatingSystem& system);
    ~Application();

    // Runs the start routine and the event loop; returns the exit status.
    int run();

    // Runs the command of a control, menu item or menu of the main window.
    void dispatch(const Observable& source);
    MainForm* mainForm() { return m_main.get(); }

private:
    void loadMain();
    void showMain();
    void unloadSplash();
    void unloadMain();

    const OperatingSystem& m_system;
    std::unique_ptr<NumberedFiles> m_files;
    QtSettingsStore m_settings;
    QtDialogs m_dialogs;
    QtSound m_sound;
    QtClock m_clock;
    QtEventPump m_events;
    QtHelpViewer m_help;
    AppInfo m_app;
    Platform m_platform{*m_files, m_settings, m_dialogs, m_sound, m_clock, m_events, m_help, m_app};

    ModuleState m_state;
    LoadedForms m_forms;
    std::unique_ptr<SerialDevices> m_devices;
    std::unique_ptr<SingleCopy> m_instance;
    SplashForm m_splash;
    std::unique_ptr<SplashWindow> m_splashWindow;
    std::unique_ptr<Startup> m_startup;

    std::unique_ptr<SerialComm> m_serial;
    std::unique_ptr<MainForm> m_main;
    std::unique_ptr<MainHandlers> m_handlers;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<RecordKeyShortcuts> m_recordKey;
    std::unique_ptr<BigReadoutLauncher> m_bigReadout;
    Commands m_commands;
    bool m_ended = false;
};

} // namespace vx::ui
