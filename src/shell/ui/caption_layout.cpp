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
    PlacedGlyphs glyphs;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> indexes = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < indexes.size(); ++i) {
            const QPointF at = positions.at(i) + origin;
            // A pixel more on every side for the blur of a glyph that does not sit on a pixel.
            const QRect ink = raw.boundingRect(indexes.at(i))
                                  .translated(at)
                                  .toAlignedRect()
                                  .adjusted(-1, -1, 1, 1);
            glyphs.push_back({indexes.at(i), at, ink});
        }
    }
    std::sort(glyphs.begin(), glyphs.end(),
              [](const PlacedGlyph& a, const PlacedGlyph& b) { return a.key() < b.key(); });
    return glyphs;
}

QRegion textDamage(const PlacedGlyphs& before, const PlacedGlyphs& after) {
    QRegion damage;
    auto a = before.begin();
    auto b = after.begin();
    while (a != before.end() || b != after.end()) {
        if (b == after.end() || (a != before.end() && a->key() < b->key())) {
            damage += (a++)->ink;
        } else if (a == before.end() || b->key() < a->key()) {
            damage += (b++)->ink;
        } else {
            ++a;
            ++b;
        }
    }
    return damage;
}

} // namespace vx::ui
