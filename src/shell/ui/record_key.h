#pragma once

#include "form/main_form.h"
#include "platform/platform.h"

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QShortcut>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QWidget;

namespace vx::ui {

// The key that asks for a record as the RS button does: F12, or the key that [Settings] RecordKey
// names in Qt's key-sequence text (Space, Return, Ctrl+R: a foot pedal sends a key of the user's
// choosing). A key that does not read as one key, or that another command has, gives F12 and
// `problem` says why.
struct RecordKey {
    QKeySequence key{Qt::Key_F12};
    QString problem;
};

RecordKey recordKeyFrom(const std::optional<QString>& setting, const QList<QKeySequence>& taken);

// The record key on the windows that listen for it: it clicks RS wherever the window is active,
// keypad locked or not, as RS itself stays in view.
class RecordKeyShortcuts : public QObject {
public:
    using Dispatch = std::function<void(const Observable& source)>;

    // Reads the key from the settings; it may not be one that a menu command, F11 or Esc has.
    RecordKeyShortcuts(MainForm& form, Platform& platform, Dispatch dispatch);
    ~RecordKeyShortcuts() override;
    RecordKeyShortcuts(const RecordKeyShortcuts&) = delete;
    RecordKeyShortcuts& operator=(const RecordKeyShortcuts&) = delete;

    // The key works while this window is active.
    void listenOn(QWidget* window);
    // Tells once, when the main window is first shown, of a key that cannot be used.
    void tellProblemOnce();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr quint64 RepeatGapMs = 30;

    MainForm& m_form;
    Platform& m_platform;
    Dispatch m_dispatch;
    RecordKey m_key;
    bool m_repeat = false;               // the press being handled is the key held down
    std::optional<quint64> m_releasedAt; // when the key last came up
    bool m_told = false;
    std::vector<QPointer<QShortcut>> m_shortcuts; // on windows that may outlive this
};

} // namespace vx::ui
