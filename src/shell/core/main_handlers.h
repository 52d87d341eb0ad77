#pragma once

#include "datalog/csv_records.h"
#include "datalog/log_commands.h"
#include "form/loaded_forms.h"
#include "form/main_form.h"
#include "form/module_state.h"
#include "help_commands.h"
#include "link/link_startup.h"
#include "link/port_menus.h"
#include "link/port_settings_file.h"
#include "link/port_tooltips.h"
#include "link/serial_events.h"
#include "platform/platform.h"
#include "readout/frame_handler.h"
#include "readout/keypad.h"
#include "readout/poll_cycle.h"
#include "shutdown.h"

#include <functional>
#include <map>

namespace vx {

// The handlers of the main window, created with it. They call one another only within this
// object, so none of them is called after the others are gone.
struct MainHandlers {
    MainHandlers(MainForm& form, ModuleState& state, Platform& platform, LoadedForms& forms,
                 const SerialDevices& devices, Control* noSignalLabel);
    MainHandlers(const MainHandlers&) = delete;
    MainHandlers& operator=(const MainHandlers&) = delete;

    PortSettingsFile file;
    PortMenus menus;
    LinkStartup startup;
    SerialEvents events;
    PortToolTips toolTips;
    FrameHandler frames;
    PollCycle poll;
    Keypad keypad;
    LogCommands log;
    CsvRecords csv; // the records as a spreadsheet beside the log file, when switched on
    Shutdown shutdown;
    HelpCommands help;
};

// What a click on each button, a choice of each menu item and the opening of each menu runs. The
// table is keyed by the control or item itself, so a binding to a name that the window does not
// have does not compile; a menu whose opening runs nothing is bound to an empty command.
using Command = std::function<void()>;
using Commands = std::map<const Observable*, Command>;
Commands mainWindowCommands(MainForm& form, MainHandlers& handlers);

} // namespace vx
