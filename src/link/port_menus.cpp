#include "port_menus.h"

#include "platform/conversions.h"
#include "platform/error_trap.h"

#include <array>
#include <functional>

namespace vx {

QString PortMenus::portPrompt() {
    return tr("請輸入傳輸埠");
}

// Ends in an ASCII exclamation mark, unlike the scan's.
QString PortMenus::portPromptTitle() {
    return tr("傳輸埠錯誤!");
}

PortMenus::PortMenus(MainForm& form, ModuleState& state, Platform& platform, PortSettingsFile& file)
    : m_form(form)
    , m_state(state)
    , m_platform(platform)
    , m_file(file) {}

// Both clear their array's items in menu order, which is ascending.
void PortMenus::ClearBaud() {
    for (MenuItem* item : m_form.baud.items())
        item->setChecked(false);
}

void PortMenus::ClearPort() {
    for (MenuItem* item : m_form.port.items())
        item->setChecked(false);
}

// Traps nothing: a failure reaches the operator through the event dispatch. The check mark moves
// only once the port has taken the speed, so it always shows the speed in force.
void PortMenus::baud_Click(int32_t Index) {
    const QString speed = QString::number(Index);
    m_form.MSComm1.setSettings(lineSettingsFor(speed));
    ClearBaud();
    m_form.baud.item(Index).setChecked(true);
    m_file.writeSpeed(speed);
}

// A change that is cancelled or fails goes back to the port in use before; only when that fails
// too does the program stay without a port, and then it looks so.
void PortMenus::port_Click(int32_t Index) {
    ClearPort();
    m_state.portNumber = toInt16(Index); // as the port-settings file holds it

    SerialComm& comm = m_form.MSComm1;
    const int16_t previous = comm.commPort();
    m_closedForChange.emplace(m_form.Timer1);
    m_form.markReadingsStale(); // until the first line from the port opened now
    const std::array<std::function<void()>, 3> steps = {
        [&comm] { comm.setPortOpen(false); },
        [&comm, this] { comm.setCommPort(m_state.portNumber); },
        [&comm] { comm.setPortOpen(true); },
    };
    for (const auto& step : steps) {
        if (runAskingForPort(step) == Outcome::Abandoned) {
            ResumeNext back; // a port left open by a failed close is the one in use before
            if (!comm.portOpen() && !(back([&] { comm.setCommPort(previous); }) &&
                                      back([&] { comm.setPortOpen(true); }))) {
                showPortNotOpen();
                return;
            }
            m_state.portNumber = previous;
            break;
        }
    }
    m_closedForChange.reset();

    ResumeNext next;
    next([this] { m_form.port.item(m_state.portNumber).setChecked(true); });
    m_file.writePort(m_state.portNumber);
}

// Runs a step; a port number that is no port brings up the port prompt and the step is tried again
// with the number entered. A cancelled prompt, or any other failure, abandons the change.
PortMenus::Outcome PortMenus::runAskingForPort(const std::function<void()>& step) {
    for (;;) {
        try {
            step();
            return Outcome::Done;
        } catch (const RuntimeError& error) {
            if (error.number() != err::InvalidPortNumber) {
                // A port that another program holds or that may not be opened: trying again would
                // give the same answer, so say why once and stop.
                m_platform.dialogs.msgBox(error.description(), mb::Exclamation, portPromptTitle());
                return Outcome::Abandoned;
            }
        }
        const std::optional<int16_t> entered = askPortNumber();
        if (!entered)
            return Outcome::Abandoned;
        m_state.portNumber = *entered;
        m_file.writePort(m_state.portNumber);
        ResumeNext ignore; // a number that is no port fails here and again in the step
        ignore([this] { m_form.MSComm1.setCommPort(m_state.portNumber); });
    }
}

// The prompt comes back while its entry is no whole number; cancel (an empty entry) gives nothing.
std::optional<int16_t> PortMenus::askPortNumber() {
    QString entry = QString::number(m_state.portNumber);
    for (;;) {
        entry = m_platform.dialogs.inputBox(portPrompt(), portPromptTitle(), entry);
        if (entry.trimmed().isEmpty())
            return std::nullopt;
        ResumeNext convert;
        int16_t number = 0;
        if (convert([&] { number = toInt16(entry); }))
            return number;
    }
}

// The port stays closed and no port item carries a check mark; the link panel says so.
void PortMenus::showPortNotOpen() {
    m_form.sbStatusBar.panel(MainForm::PanelLink)
        .setText(MainForm::linkStatusText(tr("傳輸埠未開啟"), m_platform.clock.timeOfDay()));
}

} // namespace vx
