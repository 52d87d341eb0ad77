#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "platform/platform.h"
#include "platform/serial_devices.h"
#include "port_menus.h"
#include "port_settings_file.h"

#include <QCoreApplication>
#include <optional>

namespace vx {

// The main window's load: read the stored port and speed, open the port, poll the counter and wait
// up to 2 seconds for its line; without an answer mark the splash and scan ports 1 to 8. Then the
// poll timer starts and the counter is polled again. A port that is there but cannot be opened, or
// a device named for a port that is not there, is named with its cause: the stored one at once,
// the scan's in portFailures for the poll tick.
class LinkStartup {
    Q_DECLARE_TR_FUNCTIONS(LinkStartup)

public:
    LinkStartup(MainForm& form, ModuleState& state, Platform& platform, PortSettingsFile& file,
                PortMenus& menus, const SerialDevices& devices, Control* noSignalLabel);

    void Form_Load();
    void ScanPorts();

    static constexpr double WaitLimitSeconds = 2.0;
    static constexpr int LastPortScanned = 8;
    static QString noSignalText();
    static QString scanPromptTitle();
    static QString portFailureTitle();
    // Why the device named for port n cannot be had, after the description of the failed open.
    static QString namedDeviceMissing(const QString& description, int port);

private:
    template <class Trap> bool waitForLine(Trap& trap);
    // Keeps the cause of a failed open that the operator is to be told of, and gives it.
    std::optional<QString> notePortFailure(const RuntimeError& error);

    MainForm& m_form;
    ModuleState& m_state;
    Platform& m_platform;
    PortSettingsFile& m_file;
    PortMenus& m_menus;
    const SerialDevices& m_devices;
    Control* m_noSignalLabel;
};

} // namespace vx
