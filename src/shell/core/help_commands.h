#pragma once

#include "form/main_form.h"
#include "platform/platform.h"

#include <QCoreApplication>

namespace vx {

// Help > Contents and Help > About.
class HelpCommands {
    Q_DECLARE_TR_FUNCTIONS(HelpCommands)

public:
    HelpCommands(MainForm& form, Platform& platform)
        : m_form(form)
        , m_platform(platform) {}

    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    static QString contentsMessage();

private:
    MainForm& m_form;
    Platform& m_platform;
};

} // namespace vx
