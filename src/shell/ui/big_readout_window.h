#pragma once

#include "form/main_form.h"
#include "platform/settings_store.h"
#include "shell/core/big_readout_layout.h"

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <map>

namespace vx::ui {

// The readings alone, as large as the window allows, light on dark: a view of the main window's
// reading labels (captions, colours, visibility) and unit label, so Halt, stale readings and the
// two-axis layout show here as there. A new frame repaints only the rows whose text or colour
// changed. Esc closes it, F11 or a double-click toggles full screen; its place, size and full
// screen are kept in the settings store under [BigReadout] whenever it closes.
class BigReadoutWindow : public QWidget {
public:
    struct Row {
        QString letter;
        QString text; // the reading without its padding
        QColor colour;
        bool visible = true;
    };

    BigReadoutWindow(MainForm& form, SettingsStore& settings, QString appName);

    // Shows it where it was last, full screen if it was.
    void open();
    const Row& row(int index) const { return m_rows.at(static_cast<size_t>(index)); }
    const QString& unitText() const { return m_unit.text; }
    const BigReadoutLayout& layout() const { return m_layout; }

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
    void follow();
    void relayout();
    void toggleFullScreen();
    void save();
    const QPixmap& tile(QChar c, const QColor& colour);
    QRect rowRect(int index) const;
    QRect changedPart(int index, const Row& next) const;
    QRect unitRect() const;
    int visibleRows() const;

    MainForm& m_form;
    SettingsStore& m_settings;
    QString m_appName;
    std::array<Row, 3> m_rows;
    std::array<const Control*, 3> m_labels;
    bool m_fullScreen = false;
    Row m_unit;
    QFont m_font;
    QFont m_unitFont;
    BigReadoutLayout m_layout;
    int m_decimals = 0;
    bool m_restored = false;
    std::map<std::pair<char16_t, QRgb>, QPixmap> m_tiles; // for the size in force
};

} // namespace vx::ui
