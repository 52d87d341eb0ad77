#pragma once

#include "big_readout_window.h"
#include "datalog/csv_records.h"
#include "main_window.h"
#include "record_key.h"
#include "shell/core/main_handlers.h"

#include <QObject>
#include <QPointer>
#include <QShortcut>
#include <functional>
#include <memory>

namespace vx::ui {

// What the program offers beside its documented windows, wired to the main window: the big
// readout (F11, or a double-click on the reading frame), the record key, the CSV rows beside the
// log file and the port devices named in the settings store. None of it changes a documented
// window, menu, text or file.
class ReadoutAdditions : public QObject {
public:
    using Dispatch = std::function<void(const Observable& source)>;

    ReadoutAdditions(MainForm& form, MainWindow& window, MainHandlers& handlers, Platform& platform,
                     Dispatch dispatch);
    ~ReadoutAdditions() override;

    // Tells once, when the main window is first shown, of a record key that cannot be used.
    void mainShown();
    // The big readout closes with the main window, keeping its place.
    void mainUnloading();
    void toggleBigReadout();
    BigReadoutWindow& bigReadout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void listenForRecordKey(QWidget* window);
    QShortcut* shortcut(const QKeySequence& key, QWidget* window);

    MainForm& m_form;
    Platform& m_platform;
    Dispatch m_dispatch;
    CsvRecords m_csv;
    RecordKey m_recordKey;
    bool m_told = false;
    std::unique_ptr<BigReadoutWindow> m_bigReadout;
    std::vector<QPointer<QShortcut>> m_shortcuts; // on the main window, which outlives this
};

} // namespace vx::ui
