#include "caption_label.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOption>

namespace vx::ui {

namespace {

constexpr QChar FullWidthSpace(0x3000);
// Breaks like a full-width space should and has its width: a full-width ideograph, not drawn.
constexpr QChar StandIn(0x4E00);

} // namespace

CaptionLabel::CaptionLabel(QWidget* parent)
    : QLabel(parent) {}

CaptionLabel::~CaptionLabel() = default;

// Plain text that wraps in a label without frame or margin, at the top, to the left or right: the
// kind the windows have. Anything else QLabel draws, as it always has.
bool CaptionLabel::plainKind() const {
    const Qt::Alignment align = alignment();
    return textFormat() == Qt::PlainText && wordWrap() && frameWidth() == 0 && margin() == 0 &&
           indent() <= 0 && (align & Qt::AlignTop) != 0 &&
           (align & (Qt::AlignLeft | Qt::AlignRight)) != 0;
}

bool CaptionLabel::drawsItself(const QString& caption) const {
    return plainKind() && !caption.contains(FullWidthSpace);
}

void CaptionLabel::layOut() {
    m_layout = layOutCaption(font(), contentsRect(), alignment(), text());
    m_glyphs = placeGlyphs(*m_layout, contentsRect().topLeft());
}

void CaptionLabel::showCaption(const QString& caption) {
    if (caption == text())
        return;
    if (!m_layout || !drawsItself(caption) || !isVisible() ||
        testAttribute(Qt::WA_UpdatesDisabled)) {
        m_layout.reset();
        setText(caption);
        return;
    }
    PlacedGlyphs before = std::move(m_glyphs);
    // QLabel would repaint all of itself; only the ink that changes is repainted.
    setAttribute(Qt::WA_UpdatesDisabled, true);
    setText(caption);
    setAttribute(Qt::WA_UpdatesDisabled, false);
    layOut();
    update(textDamage(before, m_glyphs));
}

void CaptionLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        m_layout.reset();
    QLabel::changeEvent(event);
}

void CaptionLabel::resizeEvent(QResizeEvent* event) {
    m_layout.reset();
    m_backdrop = QPixmap();
    QLabel::resizeEvent(event);
}

void CaptionLabel::moveEvent(QMoveEvent* event) {
    m_backdrop = QPixmap();
    QLabel::moveEvent(event);
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

void CaptionLabel::paintBackdrop(QPainter& painter, const QRect& area) {
    const qreal ratio = devicePixelRatioF();
    if (m_backdrop.isNull()) {
        // The frame alone where the label lies, as the window draws it: its background and box.
        m_backdrop = QPixmap(size() * ratio);
        m_backdrop.setDevicePixelRatio(ratio);
        parentWidget()->render(&m_backdrop, QPoint(), QRegion(geometry()),
                               QWidget::DrawWindowBackground);
    }
    const QRectF source(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio);
    painter.drawPixmap(QRectF(area), m_backdrop, source);
}

void CaptionLabel::paintEvent(QPaintEvent* event) {
    if (!plainKind()) {
        if (m_keepBackdrop) {
            QPainter painter(this);
            paintBackdrop(painter, event->rect());
        }
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (m_keepBackdrop)
        paintBackdrop(painter, event->rect());
    if (text().contains(FullWidthSpace)) {
        paintWithFullWidthSpaces(painter);
        return;
    }
    if (!m_layout)
        layOut();
    // As QStyle draws a label's text: in the brush of its text role, in the colours of its state.
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    m_layout->draw(&painter, contentsRect().topLeft());
}

// The caption laid out with a stand-in for each full-width space, and only the rest drawn.
void CaptionLabel::paintWithFullWidthSpaces(QPainter& painter) {
    QString laidOut = text();
    QList<QTextLayout::FormatRange> hidden;
    for (qsizetype i = 0; i < laidOut.size(); ++i) {
        if (laidOut.at(i) == FullWidthSpace) {
            laidOut[i] = StandIn;
            QTextLayout::FormatRange range;
            range.start = static_cast<int>(i);
            range.length = 1;
            range.format.setForeground(Qt::transparent);
            hidden.append(range);
        }
    }
    const std::unique_ptr<QTextLayout> layout =
        layOutCaption(font(), contentsRect(), alignment(), laidOut, hidden);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    layout->draw(&painter, contentsRect().topLeft());
}

} // namespace vx::ui
