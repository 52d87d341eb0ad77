#pragma once

#include <QFont>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <vector>

namespace vx::ui {

// Plain text laid out as QPainter lays out a word-wrapping label's caption in the area, aligned
// left or right and to the top: line feeds end lines, lines wrap at the width of the area and
// start on whole pixels. Drawn at the area's top left corner, it gives the label's pixels.
std::unique_ptr<QTextLayout> layOutCaption(const QFont& font, const QRect& area,
                                           Qt::Alignment alignment, const QString& text,
                                           const QList<QTextLayout::FormatRange>& formats = {});

// A glyph where a label draws it, and the box of pixels it inks.
struct PlacedGlyph {
    quint32 index = 0;
    QPointF position;
    QRect ink;
    auto key() const { return std::tuple(index, position.x(), position.y()); }
};
using PlacedGlyphs = std::vector<PlacedGlyph>;

// The glyphs of a laid out caption drawn at the origin, ordered by glyph and position.
PlacedGlyphs placeGlyphs(const QTextLayout& layout, QPointF origin);

// The pixels that can differ when a label's glyphs change from one set to the other: the ink of
// every glyph that is not the same glyph at the same place in both.
QRegion textDamage(const PlacedGlyphs& before, const PlacedGlyphs& after);

} // namespace vx::ui
