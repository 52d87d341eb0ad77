#pragma once

#include "form/loaded_forms.h"
#include "form/main_form.h"
#include "platform/platform.h"

#include <QCoreApplication>

namespace vx {

// Closing the main window, however it is closed: both files are closed, other windows unloaded, and
// the window's position and size written to the per-user settings store unless it is minimized.
class Shutdown {
    Q_DECLARE_TR_FUNCTIONS(Shutdown)

public:
    Shutdown(MainForm& form, Platform& platform, LoadedForms& forms)
        : m_form(form)
        , m_platform(platform)
        , m_forms(forms) {}

    void Form_Unload(int16_t& Cancel);
    void mnuFileExit_Click();

    static const QString Section;

private:
    void closeTelling(int fileNumber, const QString& what);

    MainForm& m_form;
    Platform& m_platform;
    LoadedForms& m_forms;
};

} // namespace vx
