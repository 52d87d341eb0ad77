#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <optional>

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

} // namespace vx::ui
