#pragma once

#include "big_readout_window.h"
#include "main_window.h"
#include "platform/platform.h"
#include "record_key.h"

#include <QObject>
#include <QPointer>
#include <QShortcut>
#include <memory>

namespace vx::ui {

// Opens the big readout from the main window: F11, or a double-click on the reading frame. It is
// made on first use, listens for the record key like the main window and for the menu keys that
// work while the keypad is hidden (F1, F2, F9), and closes with the main window, keeping its place.
class BigReadoutLauncher : public QObject {
public:
    BigReadoutLauncher(MainForm& form, MainWindow& window, Platform& platform,
                       RecordKeyShortcuts& recordKey, RecordKeyShortcuts::Dispatch dispatch);
    ~BigReadoutLauncher() override;
    BigReadoutLauncher(const BigReadoutLauncher&) = delete;
    BigReadoutLauncher& operator=(const BigReadoutLauncher&) = delete;

    void toggle();
    void mainUnloading();
    BigReadoutWindow& bigReadout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainForm& m_form;
    Platform& m_platform;
    RecordKeyShortcuts& m_recordKey;
    RecordKeyShortcuts::Dispatch m_dispatch;
    std::unique_ptr<BigReadoutWindow> m_bigReadout;
    QPointer<QShortcut> m_f11; // on the main window, which may outlive this
    QPointer<QWidget> m_frame; // the reading frame, watched for a double-click
};

} // namespace vx::ui
