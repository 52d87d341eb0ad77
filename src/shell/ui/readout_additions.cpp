#include "readout_additions.h"

#include <QEvent>

namespace vx::ui {

ReadoutAdditions::ReadoutAdditions(MainForm& form, MainWindow& window, MainHandlers& handlers,
                                   Platform& platform, Dispatch dispatch)
    : m_form(form)
    , m_platform(platform)
    , m_dispatch(std::move(dispatch))
    , m_csv(platform) {
    SettingsStore& settings = platform.settings;
    const QString app = platform.app.title;

    handlers.frames.recordWritten = [this](const QByteArray& line) { m_csv.recordWritten(line); };
    handlers.log.logOpened = [this](const QString& path, bool emptied) {
        m_csv.logOpened(path, emptied);
    };

    // The record key may not take a key that a command of either window has.
    QList<QKeySequence> taken = {QKeySequence(Qt::Key_F11), QKeySequence(Qt::Key_Escape)};
    for (MenuItem* top : form.menuBar())
        for (MenuItem* item : top->items())
            if (!item->shortcut().isEmpty())
                taken.append(QKeySequence(item->shortcut()));
    m_recordKey = recordKeyFrom(
        settings.readSetting(app, QStringLiteral("Settings"), QStringLiteral("RecordKey")), taken);
    listenForRecordKey(&window);

    connect(shortcut(QKeySequence(Qt::Key_F11), &window), &QShortcut::activated, this,
            &ReadoutAdditions::toggleBigReadout);
    if (QWidget* frame = window.findChild<QWidget*>(form.Frame顯示.name()))
        frame->installEventFilter(this);
}

ReadoutAdditions::~ReadoutAdditions() {
    for (const QPointer<QShortcut>& key : m_shortcuts)
        delete key.data();
}

QShortcut* ReadoutAdditions::shortcut(const QKeySequence& key, QWidget* window) {
    auto* made = new QShortcut(key, window);
    m_shortcuts.emplace_back(made);
    return made;
}

// The key works wherever the window is active, keypad locked or not, as RS itself stays in view.
void ReadoutAdditions::listenForRecordKey(QWidget* window) {
    connect(shortcut(m_recordKey.key, window), &QShortcut::activated, this,
            [this] { m_dispatch(m_form.cmdRS); });
}

void ReadoutAdditions::mainShown() {
    if (m_told || m_recordKey.problem.isEmpty())
        return;
    m_told = true;
    m_platform.dialogs.msgBox(m_recordKey.problem, mb::Exclamation);
}

void ReadoutAdditions::mainUnloading() {
    if (m_bigReadout && m_bigReadout->isVisible())
        m_bigReadout->close();
}

BigReadoutWindow& ReadoutAdditions::bigReadout() {
    if (!m_bigReadout) {
        m_bigReadout =
            std::make_unique<BigReadoutWindow>(m_form, m_platform.settings, m_platform.app.title);
        listenForRecordKey(m_bigReadout.get());
    }
    return *m_bigReadout;
}

void ReadoutAdditions::toggleBigReadout() {
    if (m_bigReadout && m_bigReadout->isVisible())
        m_bigReadout->close();
    else
        bigReadout().open();
}

bool ReadoutAdditions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        bigReadout().open();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vx::ui
