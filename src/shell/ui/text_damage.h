#pragma once

#include <QFont>
#include <QRect>
#include <QRegion>
#include <QString>
#include <vector>

namespace vx::ui {

// A glyph of a caption where a label draws it, and the box of pixels it inks.
struct PlacedGlyph {
    quint32 index = 0;
    QPointF position;
    QRect ink;
    auto key() const { return std::tuple(index, position.x(), position.y()); }
};
using PlacedGlyphs = std::vector<PlacedGlyph>;

// The glyphs of plain text as a word-wrapping label draws it in the area, aligned left or right
// and to the top, ordered by position.
PlacedGlyphs placeGlyphs(const QFont& font, const QRect& area, Qt::Alignment alignment,
                         const QString& text);

// The pixels that can differ when a label's glyphs change from one set to the other: the ink of
// every glyph that is not the same glyph at the same place in both.
QRegion textDamage(const PlacedGlyphs& before, const PlacedGlyphs& after);

} // namespace vx::ui
