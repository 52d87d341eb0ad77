#include "dialogs.h"

#include "runtime_error.h"

namespace vx {

void Dialogs::msgBox(const QString& prompt, int type, const std::optional<QString>& title) {
    showMessage(prompt, type, title.value_or(m_appTitle));
}

void Dialogs::showOpen(CommonDialog& dialog) {
    const std::optional<QString> chosen = chooseFileToOpen(dialog);
    if (chosen) {
        dialog.fileName = *chosen;
        return;
    }
    if (dialog.cancelError)
        throw RuntimeError(err::CancelChosen);
}

} // namespace vx
