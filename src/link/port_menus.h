#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "platform/platform.h"
#include "port_settings_file.h"

#include <QCoreApplication>
#include <functional>
#include <optional>

namespace vx {

// The speed and port menus: they reconfigure the serial port at once, move the check mark and
// store the choice in the port-settings file.
class PortMenus {
    Q_DECLARE_TR_FUNCTIONS(PortMenus)

public:
    PortMenus(MainForm& form, ModuleState& state, Platform& platform, PortSettingsFile& file);

    void ClearBaud();
    void ClearPort();
    // An item's index is its speed or port number: as wide as the largest of them.
    void baud_Click(int32_t Index);
    void port_Click(int32_t Index);

    // True while the port menu has the serial port closed: from closing it until a port opens
    // again. No poll tick runs meanwhile.
    bool portClosedForChange() const { return m_closedForChange.has_value(); }

    static QString portPrompt();
    static QString portPromptTitle();

private:
    enum class Outcome { Done, Abandoned };
    Outcome runAskingForPort(const std::function<void()>& step);
    std::optional<int16_t> askPortNumber();
    void showPortNotOpen();

    MainForm& m_form;
    ModuleState& m_state;
    Platform& m_platform;
    PortSettingsFile& m_file;
    std::optional<FormTimer::Hold> m_closedForChange;
};

} // namespace vx
