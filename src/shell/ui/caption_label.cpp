#include "caption_label.h"

#include "text_damage.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOption>
#include <QTextLayout>

namespace vx::ui {

namespace {

constexpr QChar FullWidthSpace(0x3000);
// Breaks like a full-width space should and has its width: a full-width ideograph, not drawn.
constexpr QChar StandIn(0x4E00);

} // namespace

CaptionLabel::CaptionLabel(QWidget* parent)
    : QLabel(parent) {}

void CaptionLabel::showCaption(const QString& caption) {
    if (caption == text())
        return;
    const bool plain = textFormat() == Qt::PlainText && frameWidth() == 0 && margin() == 0 &&
                       indent() <= 0 && wordWrap() && !caption.contains(FullWidthSpace) &&
                       !text().contains(FullWidthSpace) &&
                       (alignment() & (Qt::AlignLeft | Qt::AlignRight)) != 0 &&
                       (alignment() & Qt::AlignTop) != 0 && !testAttribute(Qt::WA_UpdatesDisabled);
    if (!plain || !m_glyphs || !isVisible()) {
        m_glyphs.reset();
        setText(caption);
        return;
    }
    PlacedGlyphs glyphs = placeGlyphs(font(), contentsRect(), alignment(), caption);
    const QRegion damage = textDamage(*m_glyphs, glyphs);
    m_glyphs = std::move(glyphs);
    // QLabel would repaint all of itself; only what changed is repainted.
    setAttribute(Qt::WA_UpdatesDisabled, true);
    setText(caption);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    update(damage);
}

void CaptionLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        m_glyphs.reset();
    QLabel::changeEvent(event);
}

void CaptionLabel::resizeEvent(QResizeEvent* event) {
    m_glyphs.reset();
    QLabel::resizeEvent(event);
}

void CaptionLabel::keepBackdrop() {
    if (m_keepBackdrop || parentWidget() == nullptr)
        return;
    m_keepBackdrop = true;
    setAttribute(Qt::WA_OpaquePaintEvent);
    parentWidget()->installEventFilter(this);
}

bool CaptionLabel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        m_backdrop = QPixmap(); // the frame looks different now
        break;
    default:
        break;
    }
    return QLabel::eventFilter(watched, event);
}

void CaptionLabel::paintBackdrop(const QRect& area) {
    QWidget* parent = parentWidget();
    const qreal ratio = devicePixelRatioF();
    if (m_backdrop.isNull()) {
        // The frame alone, as the window draws it: its background, its box and its caption.
        m_backdrop = QPixmap(parent->size() * ratio);
        m_backdrop.setDevicePixelRatio(ratio);
        parent->render(&m_backdrop, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    }
    QPainter painter(this);
    const QRectF source(QPointF(area.topLeft() + pos()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawPixmap(QRectF(area), m_backdrop, source);
}

void CaptionLabel::paintEvent(QPaintEvent* event) {
    if (m_keepBackdrop)
        paintBackdrop(event->rect());
    if (!paintWithFullWidthSpaces())
        QLabel::paintEvent(event);
    // What is on the screen now is what the next caption is compared with.
    if (!m_glyphs)
        m_glyphs = placeGlyphs(font(), contentsRect(), alignment(), text());
}

// The caption laid out with a stand-in for each full-width space, and only the rest drawn.
bool CaptionLabel::paintWithFullWidthSpaces() {
    const QString caption = text();
    if (!wordWrap() || !caption.contains(FullWidthSpace) || frameWidth() != 0 ||
        (alignment() & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignBottom | Qt::AlignVCenter)))
        return false;
    const QFontMetricsF metrics(font());
    if (metrics.horizontalAdvance(StandIn) != metrics.horizontalAdvance(FullWidthSpace))
        return false;
    QString laidOut = caption;
    laidOut.replace(FullWidthSpace, StandIn);
    QTextLayout layout(laidOut, font());
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(wrap);
    QList<QTextLayout::FormatRange> hidden;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == FullWidthSpace) {
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(i);
            range.length = 1;
            range.format.setForeground(Qt::transparent);
            hidden.append(range);
        }
    }
    layout.setFormats(hidden);
    const QRect area = contentsRect();
    qreal y = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(area.width());
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    painter.setPen(option.palette.color(foregroundRole()));
    layout.draw(&painter, area.topLeft());
    return true;
}

} // namespace vx::ui
