#include "text_damage.h"

#include <QtMath>

namespace vx::ui {

QRect textDamage(const QFontMetricsF& metrics, const QRect& area, Qt::Alignment alignment,
                 const QString& before, const QString& after) {
    if (before == after)
        return {};
    const bool left = (alignment & Qt::AlignLeft) != 0;
    const bool right = (alignment & Qt::AlignRight) != 0;
    if (before.isEmpty() || before.size() != after.size() || left == right)
        return area;
    qsizetype first = 0;
    while (before.at(first) == after.at(first))
        ++first;
    // A line end after the change must stand where it stood, with the same lines after it.
    const qsizetype lineEnd = after.indexOf(QLatin1Char('\n'));
    const qsizetype end = lineEnd < 0 ? after.size() : lineEnd;
    if (first >= end || before.indexOf(QLatin1Char('\n')) != lineEnd ||
        QStringView(before).mid(end) != QStringView(after).mid(end))
        return area;
    const QString lineBefore = before.left(end);
    const QString lineAfter = after.left(end);
    const qreal width = metrics.horizontalAdvance(lineAfter);
    if (qMax(width, metrics.horizontalAdvance(lineBefore)) >= area.width() - 1)
        return area; // the line may wrap
    if (right && width != metrics.horizontalAdvance(lineBefore))
        return area; // the characters before the change moved
    // One character more than changed: kerning or a ligature joins it to the first changed one.
    const qsizetype start = qMax<qsizetype>(first - 1, 0);
    const qreal prefix = metrics.horizontalAdvance(lineAfter.left(start));
    const qreal x = left ? area.left() + prefix : area.left() + area.width() - width + prefix;
    // Ink reaches left of the pen by a glyph's negative left bearing, and blurs a pixel.
    qreal overhang = 0;
    for (qsizetype i = start; i < end; ++i)
        overhang = qMax(overhang, -qMin(metrics.leftBearing(lineBefore.at(i)),
                                        metrics.leftBearing(lineAfter.at(i))));
    const int from = qMax(area.left(), qFloor(x - overhang) - 2);
    return QRect(QPoint(from, area.top()), area.bottomRight());
}

} // namespace vx::ui
