#include "log_commands.h"

#include "platform/error_trap.h"

namespace vx {

QString LogCommands::dialogTitle() {
    return tr("開啟");
}

// Description and pattern in turn, separated by bars.
QString LogCommands::dialogFilter() {
    return tr("文字檔案 (*.txt)|*.txt|所有檔案|*.*");
}

void LogCommands::resetCount() {
    m_state.recordCount = 0;
    m_form.lab計數顯示.setCaption(QStringLiteral("0"));
}

void LogCommands::showNoLogFile() {
    m_form.sbStatusBar.panel(MainForm::PanelLogFile).setText(MainForm::noLogFileText());
}

// Records would be lost without anyone noticing, so the operator is told and the status bar shows
// that no log file is set.
void LogCommands::tellNotOpened(const QString& path, const QString& why) {
    showNoLogFile();
    m_platform.dialogs.msgBox(tr("記錄檔無法開啟，資料不會被保存：\n%1\n\n%2").arg(path, why),
                              mb::Exclamation);
}

// Records written so far are on the disk already; a close that fails is told all the same.
void LogCommands::closeLogFile() {
    ResumeNext close;
    if (!close([this] { m_platform.files.close(fileno::LogFile); }))
        m_platform.dialogs.msgBox(
            tr("關閉記錄檔時發生錯誤：\n%1").arg(close.error()->description()), mb::Exclamation);
}

void LogCommands::mnuFileOpen_Click() {
    openCommand(true);
}

// A failing step is skipped and the next runs; a log file that cannot be opened is told. The count
// is always that of the file open now: records written while the dialog is open go to the file
// open before. A cancel changes nothing, whether or not the dialog remembers a name: the file open
// before stays open with its count. New runs it as its first part, and tells of the file it opens
// itself.
void LogCommands::openCommand(bool tellOpened) {
    const int32_t before = m_state.recordCount;
    ResumeNext step;
    step([&] { resetCount(); });
    CommonDialog& dialog = m_form.dlgCommonDialog;
    dialog.dialogTitle = dialogTitle();
    dialog.cancelError = true; // a cancel is told apart from choosing the same file again
    dialog.filter = dialogFilter();
    if (!step([&] { m_platform.dialogs.showOpen(dialog); }) || dialog.fileName.isEmpty()) {
        if (m_platform.files.isOpen(fileno::LogFile)) { // it stays open, and so does its count
            m_state.recordCount += before;
            m_form.lab計數顯示.setCaption(QString::number(m_state.recordCount));
        }
        return;
    }
    const QString path = dialog.fileName;
    closeLogFile();
    resetCount();
    step.clear();
    if (!step([&] { m_platform.files.openAppend(fileno::LogFile, path); })) {
        tellNotOpened(path, step.error()->description());
        return;
    }
    if (logOpened && tellOpened)
        logOpened(path, false);
    step([&] { m_form.sbStatusBar.panel(MainForm::PanelLogFile).setText(path); });
}

void LogCommands::mnuFileNew_Click() {
    m_form.dlgCommonDialog.fileName.clear();
    openCommand(false);
    if (m_form.dlgCommonDialog.fileName.isEmpty())
        return;
    // The open above has told the operator already when the file cannot be had.
    if (!m_platform.files.isOpen(fileno::LogFile))
        return;
    const QString path = m_form.dlgCommonDialog.fileName;
    closeLogFile();
    ResumeNext step;
    if (!step([&] { m_platform.files.openOutput(fileno::LogFile, path); }))
        tellNotOpened(path, step.error()->description());
    else if (logOpened)
        logOpened(path, true);
    resetCount();
}

void LogCommands::mnuFileClose_Click() {
    closeLogFile();
    resetCount();
    showNoLogFile();
}

} // namespace vx
