#pragma once

#include "caption_layout.h"

#include <QLabel>
#include <QPixmap>
#include <memory>

namespace vx::ui {

// A label of the windows. It keeps its caption laid out, draws it as QLabel would and, for a new
// caption, repaints only the ink of the glyphs that changed: the last digits of a reading, not
// the whole label, and the text is shaped once, not at every paint. A label over a frame can keep
// an image of what the frame shows behind it, so that a new reading repaints neither the frame
// nor the window under it. In a label that wraps, full-width spaces take their room like the
// full-width characters they are, so that 公 and 制 of the unit label stand at its top and at
// its bottom; Qt would let them hang at the end of the first line.
class CaptionLabel : public QLabel {
public:
    explicit CaptionLabel(QWidget* parent);
    ~CaptionLabel() override;

    void showCaption(const QString& caption);
    // Paints the parent's own face behind the text from a kept image.
    void keepBackdrop();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool plainKind() const;
    QRect textArea() const;
    bool drawsItself(const QString& caption) const;
    void layOut();
    void paintBackdrop(QPainter& painter, const QRect& area);
    void paintWithFullWidthSpaces(QPainter& painter);

    bool m_keepBackdrop = false;
    QPixmap m_backdrop;
    // The caption shown, laid out when first needed: placed from the memo, or shaped in full.
    bool m_laidOut = false;
    std::optional<QGlyphRun> m_placed;
    std::unique_ptr<QTextLayout> m_layout;
    PlacedGlyphs m_glyphs;
    GlyphMemo m_memo;
};

} // namespace vx::ui
