#pragma once

#include <QFontMetricsF>
#include <QRect>
#include <QString>

namespace vx::ui {

// The part of a label's text area whose pixels can differ when its caption changes from `before`
// to `after`: from a little left of the first changed character to the right edge, when the
// characters before it stay where they were (one line that does not wrap, left-aligned, or
// right-aligned with the same width); otherwise the whole area. Empty when nothing changes.
QRect textDamage(const QFontMetricsF& metrics, const QRect& area, Qt::Alignment alignment,
                 const QString& before, const QString& after);

} // namespace vx::ui
