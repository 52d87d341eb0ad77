#include "qt_desktop.h"

#include "runtime_error.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>

namespace vx {

namespace {

QMessageBox::Icon iconFor(int type) {
    switch (type & mb::IconMask) {
    case mb::Critical:
        return QMessageBox::Critical;
    case mb::Question:
        return QMessageBox::Question;
    case mb::Exclamation:
        return QMessageBox::Warning;
    case mb::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QStringList nameFiltersFrom(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
    }
    return filters;
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title,
                            const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

void QtDialogs::showMessage(const QString& prompt, int type, const QString& title) {
    QMessageBox box(iconFor(type), title, prompt, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

std::optional<QString> QtDialogs::chooseFileToOpen(const CommonDialog& dialog) {
    QFileDialog fileDialog(QApplication::activeWindow(), dialog.dialogTitle);
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A log file may be new: any name may be typed, existing or not.
    fileDialog.setFileMode(QFileDialog::AnyFile);
    fileDialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The filter's descriptions are shown as they are written, without Qt's pattern lists.
    fileDialog.setOption(QFileDialog::HideNameFilterDetails);
    fileDialog.setNameFilters(nameFiltersFrom(dialog.filter));
    if (!dialog.fileName.isEmpty()) {
        const QFileInfo previous(dialog.fileName);
        fileDialog.setDirectory(previous.absolutePath());
        fileDialog.selectFile(previous.fileName());
    }
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(fileDialog.selectedFiles().constFirst());
}

void QtSound::beep() {
    QApplication::beep();
}

void QtEventPump::doEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::doEventsOrWait(int maxMs) {
    // The timer guarantees a wake-up; serial input and window events wake it sooner.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(maxMs);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtHelpViewer::showContents(const QString& helpFile) {
    if (!QFileInfo::exists(helpFile))
        throw RuntimeError(
            err::FileNotFound,
            QCoreApplication::translate("QtHelpViewer", "找不到說明檔 %1").arg(helpFile));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath())))
        throw RuntimeError(
            err::HelpUnavailable,
            QCoreApplication::translate("QtHelpViewer", "無法以桌面的檢視程式開啟說明檔 %1")
                .arg(helpFile));
}

} // namespace vx
