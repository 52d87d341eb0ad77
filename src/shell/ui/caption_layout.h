#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QRect>
#include <QSet>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <optional>
#include <vector>

namespace vx::ui {

// Plain text laid out as QPainter lays out a label's caption in the area, aligned left or right,
// and to the top, bottom or centre: line feeds end lines, lines wrap at the width of the area if
// the label wraps, and start on whole pixels. Drawn at the area's top left corner, it gives the
// label's pixels.
std::unique_ptr<QTextLayout> layOutCaption(const QFont& font, const QRect& area,
                                           Qt::Alignment alignment, bool wrap, const QString& text,
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

// The glyphs of the layout drawn at the origin, and of a glyph run.
PlacedGlyphs placeGlyphs(const QTextLayout& layout, QPointF origin);
PlacedGlyphs placeGlyphs(const QGlyphRun& run);

// What shaping made of single characters, to place a one-line caption without shaping it again:
// a reading changes its digits twenty times a second, and the glyph of a digit and its advance do
// not change. Only characters that were shaped one next to the other, and came out as their own
// glyphs at their own advances, are placed this way; anything else is shaped in full.
class GlyphMemo {
public:
    // The glyphs of the line as the label draws it, or nothing when it has to be shaped.
    std::optional<QGlyphRun> place(const QString& line, const QRect& area, Qt::Alignment alignment,
                                   bool wrap) const;
    // Learns from a line shaped in full.
    void learn(const QString& line, const QTextLayout& layout);

private:
    void learnPairs(const QFont& font, const QSet<char16_t>& fresh);

    struct Glyph {
        quint32 index = 0;
        qreal advance = 0;
    };
    QRawFont m_font;
    qreal m_baseline = 0;
    qreal m_lineHeight = 0;
    QHash<char16_t, Glyph> m_glyphs;
    QSet<quint32> m_pairs; // two characters seen side by side, as first << 16 | second
};

// The pixels that can differ when a label's glyphs change from one set to the other: the box
// around the ink of every glyph that is not the same glyph at the same place in both.
QRect textDamage(const PlacedGlyphs& before, const PlacedGlyphs& after);

} // namespace vx::ui
