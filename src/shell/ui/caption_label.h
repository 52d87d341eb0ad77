#pragma once

#include "text_damage.h"

#include <QLabel>
#include <QPixmap>
#include <optional>

namespace vx::ui {

// A label of the windows. A new caption repaints only the part of the label that it changes; a
// label over a frame can keep an image of what the frame shows behind it, so that a new reading
// repaints neither the frame nor the window under it. In a label that wraps, full-width spaces
// take their room like the full-width characters they are, so that 公 and 制 of the unit label
// stand at its top and at its bottom; Qt would let them hang at the end of the first line.
class CaptionLabel : public QLabel {
public:
    explicit CaptionLabel(QWidget* parent);

    void showCaption(const QString& caption);
    // Paints the parent's own face behind the text from a kept image.
    void keepBackdrop();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintBackdrop(const QRect& area);
    bool paintWithFullWidthSpaces();

    bool m_keepBackdrop = false;
    QPixmap m_backdrop;
    // Where the caption's glyphs stand, kept to tell what the next caption changes.
    std::optional<PlacedGlyphs> m_glyphs;
};

} // namespace vx::ui
