#include "shutdown.h"

#include "form/module_state.h"
#include "platform/error_trap.h"
#include "platform/log_categories.h"

namespace vx {

const QString Shutdown::Section = QStringLiteral("Settings");

// A file that cannot be closed must not keep the rest of the shutdown from running; the operator
// hears of it, since records or settings may be incomplete.
void Shutdown::closeTelling(int fileNumber, const QString& what) {
    try {
        m_platform.files.close(fileNumber);
    } catch (const RuntimeError& error) {
        m_platform.dialogs.msgBox(tr("%1關閉時發生錯誤：\n%2").arg(what, error.description()),
                                  mb::Exclamation);
    }
}

void Shutdown::Form_Unload(int16_t& Cancel) {
    (void)Cancel; // never set: the unload always goes ahead
    closeTelling(fileno::LogFile, tr("記錄檔"));
    closeTelling(fileno::PortSettings, tr("傳輸埠設定檔"));

    // From here on every failure is ignored.
    ResumeNext step(vxFiles);
    for (int position = m_forms.count() - 1; position >= 0; --position) {
        step([&] {
            FormWindow& window = m_forms.at(position);
            if (&window != &m_form.window)
                window.unload();
        });
    }
    if (m_form.window.windowState() == WindowMinimized)
        return;
    const QString& app = m_platform.app.title;
    const auto save = [&](const char* key, int Twips::*part) {
        step([&] {
            const Twips geometry = m_form.window.outerGeometry();
            m_platform.settings.saveSetting(app, Section, QString::fromLatin1(key),
                                            QString::number(geometry.*part));
        });
    };
    save("MainLeft", &Twips::left);
    save("MainTop", &Twips::top);
    save("MainWidth", &Twips::width);
    save("MainHeight", &Twips::height);
}

void Shutdown::mnuFileExit_Click() {
    m_form.window.unload();
}

} // namespace vx
