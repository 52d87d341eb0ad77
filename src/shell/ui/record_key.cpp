#include "record_key.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace vx::ui {

RecordKey recordKeyFrom(const std::optional<QString>& setting, const QList<QKeySequence>& taken) {
    RecordKey chosen;
    if (!setting)
        return chosen;
    const QKeySequence key =
        QKeySequence::fromString(setting->trimmed(), QKeySequence::PortableText);
    QString why;
    if (key.count() != 1 || key[0].key() == Qt::Key_unknown)
        why = QCoreApplication::translate("RecordKey", "無法辨認這個按鍵");
    else if (taken.contains(key))
        why = QCoreApplication::translate("RecordKey", "這個按鍵已有其他用途");
    if (why.isEmpty())
        chosen.key = key;
    else
        chosen.problem = QCoreApplication::translate(
                             "RecordKey", "設定檔中的記錄鍵 RecordKey=%1 %2，記錄鍵改用 F12。")
                             .arg(*setting, why);
    return chosen;
}

namespace {
QList<QKeySequence> keysTaken(MainForm& form) {
    QList<QKeySequence> taken = {QKeySequence(Qt::Key_F11), QKeySequence(Qt::Key_Escape)};
    for (MenuItem* top : form.menuBar())
        for (MenuItem* item : top->items())
            if (!item->shortcut().isEmpty())
                taken.append(QKeySequence(item->shortcut()));
    return taken;
}
} // namespace

RecordKeyShortcuts::RecordKeyShortcuts(MainForm& form, Platform& platform, Dispatch dispatch)
    : m_form(form)
    , m_platform(platform)
    , m_dispatch(std::move(dispatch))
    , m_key(recordKeyFrom(platform.settings.readSetting(platform.app.title,
                                                        QStringLiteral("Settings"),
                                                        QStringLiteral("RecordKey")),
                          keysTaken(form))) {
    QCoreApplication::instance()->installEventFilter(this);
}

// A window keeps no shortcut of a key that is not listened for any more: two of one key on one
// window would both be ambiguous.
RecordKeyShortcuts::~RecordKeyShortcuts() {
    for (const QPointer<QShortcut>& shortcut : m_shortcuts)
        delete shortcut.data();
}

void RecordKeyShortcuts::listenOn(QWidget* window) {
    auto* shortcut = new QShortcut(m_key.key, window);
    m_shortcuts.emplace_back(shortcut);
    connect(shortcut, &QShortcut::activated, this, [this] {
        if (!m_repeat)
            m_dispatch(m_form.cmdRS);
    });
}

// A held key repeats. Qt marks most repeats, but on X a repeat comes as a release and a press at
// the same moment, and Qt cannot always tell it from a new press: a press that follows the key's
// release within a few milliseconds is the key held, not the operator pressing again.
bool RecordKeyShortcuts::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyRelease)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<const QKeyEvent*>(event);
    if (key->key() != m_key.key[0].key())
        return false;
    if (type == QEvent::KeyRelease) {
        m_releasedAt = key->timestamp();
    } else { // seen once for the window and once for the widget in focus: the same answer
        m_repeat = key->isAutoRepeat() || (m_releasedAt && key->timestamp() >= *m_releasedAt &&
                                           key->timestamp() - *m_releasedAt < RepeatGapMs);
    }
    return false;
}

void RecordKeyShortcuts::tellProblemOnce() {
    if (m_told || m_key.problem.isEmpty())
        return;
    m_told = true;
    m_platform.dialogs.msgBox(m_key.problem, mb::Exclamation);
}

} // namespace vx::ui
