#pragma once

#include <QFont>
#include <QRawFont>
#include <QRect>
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

// The glyphs of a laid out caption where a label draws them, ordered by glyph and position.
struct PlacedGlyphs {
    struct Glyph {
        quint32 index = 0;
        QPointF position;
        int font = 0; // in fonts
        auto key() const { return std::tuple(index, position.x(), position.y()); }
    };
    std::vector<Glyph> glyphs;
    QList<QRawFont> fonts;

    // The box of pixels that the glyph inks.
    QRect ink(const Glyph& glyph) const;
};

// The glyphs of the layout drawn at the origin.
PlacedGlyphs placeGlyphs(const QTextLayout& layout, QPointF origin);

// The pixels that can differ when a label's glyphs change from one set to the other: the box
// around the ink of every glyph that is not the same glyph at the same place in both.
QRect textDamage(const PlacedGlyphs& before, const PlacedGlyphs& after);

} // namespace vx::ui
