#include "caption_layout.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>

namespace vx::ui {

std::unique_ptr<QTextLayout> layOutCaption(const QFont& font, const QRect& area,
                                           Qt::Alignment alignment, const QString& text,
                                           const QList<QTextLayout::FormatRange>& formats) {
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto layout = std::make_unique<QTextLayout>(laidOut, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->setFormats(formats);
    const qreal leading = QFontMetricsF(font).leading();
    qreal y = -leading;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(area.width());
        y = qCeil(y + leading);
        const qreal x =
            (alignment & Qt::AlignRight) != 0 ? area.width() - line.horizontalAdvance() : 0;
        line.setPosition(QPointF(x, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}

PlacedGlyphs placeGlyphs(const QTextLayout& layout, QPointF origin) {
    PlacedGlyphs placed;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const int font = static_cast<int>(placed.fonts.size());
        placed.fonts.append(run.rawFont());
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i)
            placed.glyphs.push_back({indexes.at(i), positions.at(i) + origin, font});
    }
    std::sort(placed.glyphs.begin(), placed.glyphs.end(),
              [](const auto& a, const auto& b) { return a.key() < b.key(); });
    return placed;
}

QRect PlacedGlyphs::ink(const Glyph& glyph) const {
    // A pixel more on every side for the blur of a glyph that does not sit on a pixel.
    return fonts.at(glyph.font)
        .boundingRect(glyph.index)
        .translated(glyph.position)
        .toAlignedRect()
        .adjusted(-1, -1, 1, 1);
}

QRect textDamage(const PlacedGlyphs& before, const PlacedGlyphs& after) {
    QRect damage;
    auto a = before.glyphs.begin();
    auto b = after.glyphs.begin();
    while (a != before.glyphs.end() || b != after.glyphs.end()) {
        if (b == after.glyphs.end() || (a != before.glyphs.end() && a->key() < b->key())) {
            damage |= before.ink(*a++);
        } else if (a == before.glyphs.end() || b->key() < a->key()) {
            damage |= after.ink(*b++);
        } else {
            ++a;
            ++b;
        }
    }
    return damage;
}

} // namespace vx::ui
