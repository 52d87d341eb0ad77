#pragma once

#include "platform/platform.h"
#include "shell/form/main_form.h"

namespace vx {

// Help > Contents and Help > About.
class HelpCommands {
public:
    HelpCommands(MainForm& form, Platform& platform)
        : m_form(form)
        , m_platform(platform) {}

    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();

    static const QString ContentsMessage;

private:
    MainForm& m_form;
    Platform& m_platform;
};

} // namespace vx
