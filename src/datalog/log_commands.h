#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "platform/platform.h"

#include <QCoreApplication>
#include <functional>

namespace vx {

// New, Open and Close of the log file: file number 1, the record count and the file's path in the
// second status-bar panel.
class LogCommands {
    Q_DECLARE_TR_FUNCTIONS(LogCommands)

public:
    LogCommands(MainForm& form, ModuleState& state, Platform& platform)
        : m_form(form)
        , m_state(state)
        , m_platform(platform) {}

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileClose_Click();

    static QString dialogTitle();
    static QString dialogFilter();

    // Told of each log file opened (emptied: by New), for the CSV rows beside it.
    std::function<void(const QString& path, bool emptied)> logOpened;

private:
    void openCommand(bool tellOpened);
    void resetCount();
    void closeLogFile();
    void showNoLogFile();
    void tellNotOpened(const QString& path, const QString& why);

    MainForm& m_form;
    ModuleState& m_state;
    Platform& m_platform;
};

} // namespace vx
