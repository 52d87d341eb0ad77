#pragma once

#include "datalog/log_commands.h"
#include "link/link_startup.h"
#include "link/port_menus.h"
#include "link/port_settings_file.h"
#include "link/port_tooltips.h"
#include "link/serial_events.h"
#include "main_window.h"
#include "platform/module_state.h"
#include "platform/posix_numbered_files.h"
#include "platform/qt_clock.h"
#include "platform/qt_desktop.h"
#include "platform/qt_settings_store.h"
#include "readout/frame_handler.h"
#include "readout/keypad.h"
#include "readout/poll_cycle.h"
#include "shell/core/help_commands.h"
#include "shell/core/shutdown.h"
#include "shell/core/single_instance.h"
#include "shell/core/startup.h"
#include "shell/form/loaded_forms.h"
#include "shell/form/main_form.h"
#include "shell/form/splash_form.h"
#include "splash_window.h"

#include <functional>
#include <map>
#include <memory>

namespace vx::ui {

// The program: the platform, the two windows and their handlers, wired to the window system.
class Application {
public:
    using SerialFactory = std::function<std::unique_ptr<SerialComm>()>;

    explicit Application(SerialFactory makeSerial);
    ~Application();

    // Runs the start routine and the event loop; returns the exit status.
    int run();

    // The main window's handlers by control or menu name; for tests.
    void dispatch(const QString& name, int index);
    MainForm* mainForm() { return m_main.get(); }
    MainWindow* mainWindow() { return m_mainWindow.get(); }

private:
    // The handlers of the main window, created with it.
    struct MainHandlers;

    void loadMain();
    void showMain();
    void unloadSplash();
    void unloadMain();
    void registerCommands();

    SerialFactory m_makeSerial;
    PosixNumberedFiles m_files;
    QtSettingsStore m_settings;
    QtDialogs m_dialogs;
    QtSound m_sound;
    QtClock m_clock;
    QtEventPump m_events;
    QtHelpViewer m_help;
    AppInfo m_app;
    Platform m_platform{m_files, m_settings, m_dialogs, m_sound, m_clock, m_events, m_help, m_app};

    ModuleState m_state;
    LoadedForms m_forms;
    SingleInstance m_instance;
    SplashForm m_splash;
    std::unique_ptr<SplashWindow> m_splashWindow;
    std::unique_ptr<Startup> m_startup;

    std::unique_ptr<SerialComm> m_serial;
    std::unique_ptr<MainForm> m_main;
    std::unique_ptr<MainHandlers> m_handlers;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::map<QString, std::function<void(int)>> m_commands;
    bool m_ended = false;
};

} // namespace vx::ui
