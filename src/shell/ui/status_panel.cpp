#include "status_panel.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QResizeEvent>
#include <algorithm>

namespace vx::ui {

StatusPanelBox::StatusPanelBox(const QString& text, const QString& toolTip, QWidget* parent)
    : QWidget(parent)
    , m_label(new CaptionLabel(this))
    , m_text(text)
    , m_toolTip(toolTip) {
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFrameShape(QFrame::Panel);
    m_label->setFrameShadow(QFrame::Sunken);
    m_label->setToolTip(toolTip);
    m_label->setText(text);
    m_hint = m_label->sizeHint();
}

void StatusPanelBox::setFixedPanelWidth(int pixels) {
    m_fixed = true;
    setFixedWidth(pixels);
    m_label->setFixedWidth(pixels);
    showText();
}

void StatusPanelBox::setLeastPanelWidth(int pixels) {
    setMinimumWidth(pixels);
    m_label->setMinimumWidth(pixels);
}

void StatusPanelBox::setText(const QString& text) {
    if (text == m_text)
        return;
    const bool wasNarrow = narrow(m_text);
    m_text = text;
    showText();
    // The clock's text is shorter than its panel's least width: the panel keeps that width, and
    // asking the label for its size, which shapes the text, can wait until a text is not.
    if (wasNarrow && narrow(m_text))
        return;
    if (m_label->sizeHint() != m_hint) {
        m_hint = m_label->sizeHint();
        updateGeometry();
    }
}

// Whether the text with the frame and indent around it is well inside the least width; measured
// character by character, which asks no shaping and misses only kerning, far less than the room
// kept free.
bool StatusPanelBox::narrow(const QString& text) const {
    const QFontMetricsF metrics(m_label->font());
    qreal width = 2 * m_label->frameWidth() + metrics.horizontalAdvance(u'x');
    for (const QChar c : text)
        width += metrics.horizontalAdvance(c);
    return width + metrics.averageCharWidth() < minimumWidth();
}

void StatusPanelBox::showText() {
    QString shown = m_text;
    if (m_fixed) {
        // QLabel indents the text of a framed label by half an "x" from the frame.
        const QFontMetrics metrics = m_label->fontMetrics();
        const int room = m_label->contentsRect().width() - metrics.horizontalAdvance(u'x') / 2;
        if (metrics.horizontalAdvance(m_text) > room)
            shown = metrics.elidedText(m_text, Qt::ElideLeft, room);
    }
    m_label->showCaption(shown);
    if (m_toolTip.isEmpty())
        m_label->setToolTip(shown == m_text ? QString() : m_text);
}

QSize StatusPanelBox::sizeHint() const {
    return m_label->sizeHint();
}

QSize StatusPanelBox::minimumSizeHint() const {
    return m_label->minimumSizeHint();
}

void StatusPanelBox::resizeEvent(QResizeEvent* event) {
    m_label->setGeometry(QRect(QPoint(), event->size()));
}

void StatusPanelRow::setGeometry(const QRect& rect) {
    QHBoxLayout::setGeometry(
        QRect(rect.topLeft(), QSize(std::max(rect.width(), minimumSize().width()), rect.height())));
}

} // namespace vx::ui
