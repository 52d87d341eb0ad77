#pragma once

#include "desktop.h"
#include "dialogs.h"

#include <QPointer>
#include <QWidget>

namespace vx {

// Message boxes, the input prompt and the file dialog, modal over the active window.
class QtDialogs : public Dialogs {
public:
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;

protected:
    void showMessage(const QString& prompt, int type, const QString& title) override;
    std::optional<QString> chooseFileToOpen(const CommonDialog& dialog) override;
};

class QtSound : public Sound {
public:
    void beep() override;
};

class QtEventPump : public EventPump {
public:
    void doEvents() override;
    void doEventsOrWait(int maxMs) override;
};

class QtHelpViewer : public HelpViewer {
public:
    void showContents(const QString& helpFile) override;
};

// "文字檔案 (*.txt)|*.txt|所有檔案|*.*" as Qt's name filters: "文字檔案 (*.txt) (*.txt)", ...
QStringList nameFiltersFrom(const QString& filter);

} // namespace vx
