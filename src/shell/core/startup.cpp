#include "startup.h"

namespace vx {

QString Startup::alreadyRunningMessage() {
    return tr("這程式已執行");
}

// Traps nothing.
bool Startup::Main() {
    // Two copies in one folder would fight over the serial port and the port-settings file.
    if (CheckExist(m_splash.window))
        return false;
    // The per-user settings that cannot be used are told once; the defaults serve meanwhile.
    if (const std::optional<RuntimeError> refused = m_platform.settings.refusal(m_app.title))
        m_platform.dialogs.msgBox(tr("個人設定檔無法使用，程式以預設值執行，設定也不會保存：\n%1")
                                      .arg(refused->description()),
                                  mb::Exclamation);
    m_hooks.showSplash();
    m_hooks.repaintSplash();
    return true;
}

void Startup::Form_Load() {
    m_splash.lblVersion.setCaption(versionText(m_app));
}

void Startup::Timer1_Timer() {
    m_splash.Timer1.setEnabled(false);
    m_hooks.loadMain();
    m_hooks.showMain();
    m_mainShown = true;
    m_hooks.unloadSplash();
    if (m_hooks.tellAfterSplash)
        m_hooks.tellAfterSplash();
}

// While the main window loads it is not to be seen: its keys and menus would work during the
// scan.
void Startup::OtherCopyStarted() {
    if (m_mainShown)
        m_hooks.bringMainForward();
    else
        m_hooks.bringStartupForward();
}

bool Startup::CheckExist(FormWindow& window) {
    if (!m_hooks.otherCopyRunning || !m_hooks.otherCopyRunning())
        return false;
    const QString title = m_app.title;
    m_platform.dialogs.msgBox(alreadyRunningMessage(), mb::Critical, title);
    m_app.title.clear();
    window.setCaption(QString());
    m_hooks.activateOtherCopy();
    m_hooks.endProgram();
    return true;
}

} // namespace vx
