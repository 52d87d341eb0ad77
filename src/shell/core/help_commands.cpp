#include "help_commands.h"

#include "platform/error_trap.h"

namespace vx {

QString HelpCommands::contentsMessage() {
    return tr("該程式專接Vx515用");
}

void HelpCommands::mnuHelpContents_Click() {
    const QString helpFile = m_platform.app.helpFile;
    if (helpFile.isEmpty()) {
        m_platform.dialogs.msgBox(contentsMessage(), mb::Information, m_form.window.caption());
        return;
    }
    // From here on failures are skipped; one left pending is shown with its description.
    ResumeNext step;
    step([&] { m_platform.help.showContents(helpFile); });
    if (step.error())
        m_platform.dialogs.msgBox(step.error()->description(), mb::OkOnly);
}

void HelpCommands::mnuHelpAbout_Click() {
    m_platform.dialogs.msgBox(versionText(m_platform.app), mb::OkOnly);
}

} // namespace vx
