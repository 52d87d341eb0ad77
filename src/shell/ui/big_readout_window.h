#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "platform/platform.h"
#include "shell/core/big_readout_layout.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <array>
#include <map>

namespace vx::ui {

// The readings alone, as large as the window allows, light on dark: a view of the main window's
// reading labels (captions, colours, visibility) and unit label, so Halt, stale readings and the
// two-axis layout show here as there. Below them the record count while a log file is open, and a
// word when the readings are stale or a record was not written; a band around it all marks each
// record for a moment. A new frame repaints only the rows whose text or colour changed. Esc closes
// it, F11 or a double-click toggles full screen; its place, size and full screen are kept in the
// settings store under [BigReadout] whenever it closes. Each reading is an object of its own for
// screen readers (big_readout_accessible.h).
class BigReadoutWindow : public QWidget {
public:
    struct Row {
        QString letter;
        QString text; // the reading without its padding
        QColor colour;
        bool visible = true;
    };
    enum class Mark { None, Written, Failed };
    // What a screen reader reads, in the order shown: X, Y, Z, the unit, the count, the word.
    static constexpr int Readings = 6;

    BigReadoutWindow(MainForm& form, Platform& platform);

    // Shows it where it was last, full screen if it was.
    void open();
    const Row& row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    const QString& unitText() const { return m_unit.text; }
    const QString& countText() const { return m_count; }
    const QString& wordText() const { return m_word.text; }
    Mark mark() const { return m_mark; }
    const QTimer& markTimer() const { return m_markTimer; }
    const QFont& infoFont() const { return m_infoFont; }
    const BigReadoutLayout& layout() const { return m_layout; }
    // A reading's name (empty while it is not shown) and place in the window.
    QString readingName(int reading) const;
    QRect readingRect(int reading) const;

    static const QString Section;
    // The unit as it is shown under the readings.
    static QString unitName(MainForm::Unit unit);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    std::array<QString, Readings> readingNames() const;
    void follow();
    void followRows();
    void followInfo();
    void showMark(RecordOutcome::Outcome outcome);
    void tellReaders(const std::array<QString, Readings>& before);
    void relayout();
    void toggleFullScreen();
    void save();
    const QPixmap& tile(QChar c, const QColor& colour);
    QRect rowRect(int index) const;
    QRect changedPart(int index, const Row& next) const;
    QRect infoRect(int infoLine) const;
    int visibleRows() const;

    MainForm& m_form;
    Platform& m_platform;
    std::array<Row, 3> m_rows;
    std::array<const Control*, 3> m_labels;
    bool m_fullScreen = false;
    Row m_unit;
    QString m_count;
    Row m_word;
    Mark m_mark = Mark::None;
    QTimer m_markTimer;
    QFont m_font;
    QFont m_infoFont;
    BigReadoutLayout m_layout;
    int m_decimals = 0;
    bool m_restored = false;
    std::map<std::pair<char16_t, QRgb>, QPixmap> m_tiles; // for the size in force
};

} // namespace vx::ui
