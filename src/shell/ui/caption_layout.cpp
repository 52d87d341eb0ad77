#include "caption_layout.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QTextLayout>
#include <QtMath>
#include <algorithm>

namespace vx::ui {

std::unique_ptr<QTextLayout> layOutCaption(const QFont& font, const QRect& area,
                                           Qt::Alignment alignment, bool wrap, const QString& text,
                                           const QList<QTextLayout::FormatRange>& formats) {
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto layout = std::make_unique<QTextLayout>(laidOut, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    option.setTextDirection(Qt::LeftToRight);
    if (!wrap)
        option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->setFormats(formats);
    const qreal leading = QFontMetricsF(font).leading();
    qreal height = -leading;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(wrap ? area.width() : 0x01000000);
        height = qCeil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout->endLayout();
    qreal y = 0;
    if ((alignment & Qt::AlignBottom) != 0)
        y = area.height() - height;
    else if ((alignment & Qt::AlignVCenter) != 0)
        y = (area.height() - height) / 2;
    for (int i = 0; i < layout->lineCount(); ++i) {
        QTextLine line = layout->lineAt(i);
        const qreal x =
            (alignment & Qt::AlignRight) != 0 ? area.width() - line.horizontalAdvance() : 0;
        line.setPosition(QPointF(x, line.y() + y));
    }
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

PlacedGlyphs placeGlyphs(const QGlyphRun& run) {
    PlacedGlyphs placed;
    placed.fonts.append(run.rawFont());
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    for (qsizetype i = 0; i < indexes.size(); ++i)
        placed.glyphs.push_back({indexes.at(i), positions.at(i), 0});
    std::sort(placed.glyphs.begin(), placed.glyphs.end(),
              [](const auto& a, const auto& b) { return a.key() < b.key(); });
    return placed;
}

std::optional<QGlyphRun> GlyphMemo::place(const QString& line, const QRect& area,
                                          Qt::Alignment alignment, bool wrap) const {
    if (line.isEmpty() || !m_font.isValid())
        return std::nullopt;
    const bool right = (alignment & Qt::AlignRight) != 0;
    if (right && line.back().isSpace())
        return std::nullopt; // QPainter leaves trailing spaces out of a right-aligned line
    QList<quint32> indexes;
    QList<QPointF> positions;
    indexes.reserve(line.size());
    positions.reserve(line.size());
    qreal x = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto found = m_glyphs.constFind(line.at(i).unicode());
        if (found == m_glyphs.cend())
            return std::nullopt;
        if (i > 0 &&
            !m_pairs.contains(quint32(line.at(i - 1).unicode()) << 16 | line.at(i).unicode()))
            return std::nullopt;
        indexes.append(found->index);
        positions.append(QPointF(x, m_baseline));
        x += found->advance;
    }
    if (wrap && x >= area.width() - 1)
        return std::nullopt; // it may wrap
    qreal y = 0;
    if ((alignment & Qt::AlignBottom) != 0)
        y = area.height() - m_lineHeight;
    else if ((alignment & Qt::AlignVCenter) != 0)
        y = (area.height() - m_lineHeight) / 2;
    const QPointF origin = area.topLeft() + QPointF(right ? area.width() - x : 0, y);
    for (QPointF& position : positions)
        position += origin;
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(indexes);
    run.setPositions(positions);
    return run;
}

void GlyphMemo::learn(const QString& line, const QTextLayout& layout) {
    if (line.isEmpty() || layout.lineCount() < 1 || layout.lineAt(0).textLength() < line.size())
        return;
    const QList<QGlyphRun> runs = layout.lineAt(0).glyphRuns(0, static_cast<int>(line.size()));
    if (runs.size() != 1 || runs.front().glyphIndexes().size() != line.size())
        return;
    const QGlyphRun& run = runs.front();
    if (run.rawFont() != m_font) {
        m_font = run.rawFont();
        m_glyphs.clear();
        m_pairs.clear();
    }
    const QList<quint32> indexes = run.glyphIndexes();
    const QList<QPointF> positions = run.positions();
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(indexes);
    const qreal start = positions.front().x();
    qreal x = start;
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        // Each glyph where its own advances put it, one for each character: nothing was joined,
        // kerned or replaced.
        if (positions.at(i).x() != x || positions.at(i).y() != positions.front().y() ||
            m_font.glyphIndexesForString(line.at(i)) != QList<quint32>{indexes.at(i)})
            return;
        x += advances.at(i).x();
    }
    if (!line.back().isSpace() && x - start != layout.lineAt(0).horizontalAdvance())
        return; // a right-aligned line starts where its advances say
    m_baseline = positions.front().y() - layout.lineAt(0).y();
    m_lineHeight = layout.lineAt(0).height();
    QSet<char16_t> fresh;
    for (qsizetype i = 0; i < indexes.size(); ++i) {
        if (!m_glyphs.contains(line.at(i).unicode()))
            fresh.insert(line.at(i).unicode());
        m_glyphs.insert(line.at(i).unicode(), {indexes.at(i), advances.at(i).x()});
        if (i > 0)
            m_pairs.insert(quint32(line.at(i - 1).unicode()) << 16 | line.at(i).unicode());
    }
    if (!fresh.isEmpty())
        learnPairs(layout.font(), fresh);
}

// Every new character beside every known one, both ways, shaped once: the pairs that stay their
// own glyphs at their own advances are known from then on, so that a new reading seldom needs
// shaping.
void GlyphMemo::learnPairs(const QFont& font, const QSet<char16_t>& fresh) {
    QString pairs;
    for (auto a = m_glyphs.cbegin(); a != m_glyphs.cend(); ++a)
        for (auto b = m_glyphs.cbegin(); b != m_glyphs.cend(); ++b)
            if (fresh.contains(a.key()) || fresh.contains(b.key()))
                pairs.append(QChar(a.key())).append(QChar(b.key()));
    QTextLayout layout(pairs, font);
    layout.beginLayout();
    layout.createLine().setLineWidth(1e9); // one line
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs.front().rawFont() != m_font ||
        runs.front().glyphIndexes().size() != pairs.size())
        return;
    const QList<quint32> indexes = runs.front().glyphIndexes();
    const QList<QPointF> positions = runs.front().positions();
    for (qsizetype i = 0; i + 1 < pairs.size(); ++i) {
        const Glyph first = m_glyphs.value(pairs.at(i).unicode());
        const Glyph second = m_glyphs.value(pairs.at(i + 1).unicode());
        if (indexes.at(i) == first.index && indexes.at(i + 1) == second.index &&
            positions.at(i + 1).x() - positions.at(i).x() == first.advance)
            m_pairs.insert(quint32(pairs.at(i).unicode()) << 16 | pairs.at(i + 1).unicode());
    }
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
