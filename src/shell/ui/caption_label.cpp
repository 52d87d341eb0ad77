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

// Plain text aligned left or right: what the labels of the windows and the status bar have.
// Anything else QLabel draws, as it always has.
bool CaptionLabel::plainKind() const {
    return textFormat() == Qt::PlainText && (alignment() & (Qt::AlignLeft | Qt::AlignRight)) != 0;
}

// Where QLabel puts the text: inside the frame and margin, indented on its aligned sides by the
// indent, or by half an "x" for a label with a frame and no indent of its own.
QRect CaptionLabel::textArea() const {
    QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int indentBy = indent();
    if (indentBy < 0 && frameWidth() != 0)
        indentBy = fontMetrics().horizontalAdvance(u'x') / 2 - margin();
    if (indentBy > 0) {
        const Qt::Alignment align = alignment();
        if ((align & Qt::AlignLeft) != 0)
            area.setLeft(area.left() + indentBy);
        if ((align & Qt::AlignRight) != 0)
            area.setRight(area.right() - indentBy);
        if ((align & Qt::AlignTop) != 0)
            area.setTop(area.top() + indentBy);
        if ((align & Qt::AlignBottom) != 0)
            area.setBottom(area.bottom() - indentBy);
    }
    return area;
}

bool CaptionLabel::drawsItself(const QString& caption) const {
    return plainKind() && !caption.contains(FullWidthSpace);
}

namespace {

// The caption's one line, when it has one: a line end may close it, with nothing after it. A
// carriage return before it draws nothing and, at the end of a line aligned left, moves nothing.
std::optional<QString> singleLine(const QString& caption, Qt::Alignment alignment) {
    const qsizetype end = caption.indexOf(QLatin1Char('\n'));
    if (end >= 0 && end != caption.size() - 1)
        return std::nullopt;
    QString line = caption.left(end < 0 ? caption.size() : end);
    if ((alignment & Qt::AlignLeft) != 0 && line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    return line;
}

} // namespace

void CaptionLabel::layOut() {
    m_laidOut = true;
    const std::optional<QString> line = singleLine(text(), alignment());
    if (line)
        m_placed = m_memo.place(*line, textArea(), alignment(), wordWrap());
    else
        m_placed.reset();
    if (m_placed) {
        m_layout.reset();
        m_glyphs = placeGlyphs(*m_placed);
        return;
    }
    const QRect area = textArea();
    m_layout = layOutCaption(font(), area, alignment(), wordWrap(), text());
    m_glyphs = placeGlyphs(*m_layout, area.topLeft());
    if (line)
        m_memo.learn(*line, *m_layout);
}

void CaptionLabel::showCaption(const QString& caption) {
    if (caption == text())
        return;
    if (!m_laidOut || !drawsItself(caption) || !isVisible() ||
        testAttribute(Qt::WA_UpdatesDisabled)) {
        m_laidOut = false;
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
    if (event->type() == QEvent::FontChange) {
        m_laidOut = false;
        m_memo = GlyphMemo();
    }
    QLabel::changeEvent(event);
}

void CaptionLabel::resizeEvent(QResizeEvent* event) {
    m_laidOut = false;
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
    drawFrame(&painter);
    if (text().contains(FullWidthSpace) && wordWrap()) {
        paintWithFullWidthSpaces(painter);
        return;
    }
    if (!m_laidOut)
        layOut();
    // As QStyle draws a label's text: in the brush of its text role, in the colours of its state.
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    if (m_placed)
        painter.drawGlyphRun(QPointF(), *m_placed);
    else
        m_layout->draw(&painter, textArea().topLeft());
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
        layOutCaption(font(), textArea(), alignment(), wordWrap(), laidOut, hidden);
    QStyleOption option;
    option.initFrom(this);
    painter.setPen(QPen(option.palette.brush(foregroundRole()), painter.pen().widthF()));
    layout->draw(&painter, textArea().topLeft());
}

} // namespace vx::ui
