#pragma once

#include "caption_label.h"

#include <QHBoxLayout>
#include <QWidget>

namespace vx::ui {

// One panel of the status bar: a sunken label in a box of its own. A new text repaints the label
// alone, and the bar lays itself out again only when the label wants another size; a label right
// in the bar would have the whole bar laid out and repainted for every tick of the clock. A text
// that does not fit a panel of fixed width shows its end, where a path has its file name, and the
// whole text is the tooltip of a panel that has none of its own. A new time repaints the digits
// that changed.
class StatusPanelBox : public QWidget {
public:
    StatusPanelBox(const QString& text, const QString& toolTip, QWidget* parent);

    QLabel* label() const { return m_label; }
    void setFixedPanelWidth(int pixels);
    void setLeastPanelWidth(int pixels);
    void setText(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showText();
    bool narrow(const QString& text) const;

    CaptionLabel* m_label;
    QString m_text;
    QString m_toolTip;
    bool m_fixed = false;
    QSize m_hint;
};

// The status bar's panels side by side at their own widths, from the left. A window narrower than
// they need cuts them off at its right edge; squeezed into it they would be drawn over one another.
class StatusPanelRow : public QHBoxLayout {
public:
    using QHBoxLayout::QHBoxLayout;
    void setGeometry(const QRect& rect) override;
};

} // namespace vx::ui
