#include "big_readout_window.h"

#include "big_readout_accessible.h"
#include "follow.h"
#include "platform/error_trap.h"
#include "platform/log_categories.h"
#include "widget_style.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace vx::ui {

const QString BigReadoutWindow::Section = QStringLiteral("BigReadout");

namespace {

const QString Figures = QStringLiteral("0123456789-+.XYZ");
const QSize FirstSize(640, 400);
constexpr uint32_t WordColour = 0xFFB020;
constexpr uint32_t FailedColour = 0xFF3333;
constexpr uint32_t WrittenColour = 0x33DD55;
// Long enough to be seen from across the room; a failed record stays longer, with its word.
constexpr int WrittenMarkMs = 600;
constexpr int FailedMarkMs = 3000;

// The face's proportions at this size, from its own metrics.
BigReadoutLayout::Face faceAt(QFont font, int pixelSize) {
    font.setPixelSize(pixelSize);
    const QFontMetricsF metrics(font);
    double widest = 0;
    for (QChar c : Figures)
        widest = std::max(widest, metrics.horizontalAdvance(c));
    return {widest / pixelSize, metrics.height() / pixelSize, metrics.ascent() / pixelSize};
}

BigReadoutWindow::Row rowOf(const Control& label, const QString& letter) {
    return {letter, label.caption().trimmed(),
            QColor::fromRgb(highContrastColour(label.foreColor())), label.visible()};
}

bool differs(const BigReadoutWindow::Row& a, const BigReadoutWindow::Row& b) {
    return a.text != b.text || a.colour != b.colour || a.visible != b.visible;
}

} // namespace

BigReadoutWindow::BigReadoutWindow(MainForm& form, Platform& platform)
    : m_form(form)
    , m_platform(platform)
    , m_labels{&form.labX顯示, &form.labY顯示, &form.labZ顯示} {
    installBigReadoutAccessibility();
    setObjectName(QStringLiteral("bigReadout"));
    setWindowTitle(QCoreApplication::translate("BigReadoutWindow", "大字顯示"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_font = QFont(QStringLiteral("DejaVu Sans Mono"));
    m_font.setStyleHint(QFont::Monospace);
    m_font.setBold(true);
    // One face for the lines below, Chinese and Latin alike: a face for each script drew 英制 thin
    // beside a bold "in".
    m_infoFont = QFont(face::Ming);
    m_infoFont.setBold(true);
    resize(FirstSize);
    m_markTimer.setSingleShot(true);
    connect(&m_markTimer, &QTimer::timeout, this,
            [this] { showMark(RecordOutcome::Outcome::None); });
    const auto followIfShown = [this](unsigned) {
        if (isVisible())
            follow();
    };
    for (Control* control : {&form.labX顯示, &form.labY顯示, &form.labZ顯示, &form.lab公英制,
                             &form.計數, &form.lab計數顯示})
        ui::follow(this, *control, followIfShown);
    ui::follow(this, form.sbStatusBar.panel(MainForm::PanelLogFile), followIfShown);
    ui::follow(this, form.records, [this](unsigned) { showMark(m_form.records.last()); });
}

QString BigReadoutWindow::unitName(MainForm::Unit unit) {
    switch (unit) {
    case MainForm::Unit::Metric:
        return QCoreApplication::translate("BigReadoutWindow", "公制 mm");
    case MainForm::Unit::Imperial:
        return QCoreApplication::translate("BigReadoutWindow", "英制 in");
    case MainForm::Unit::None:
        break;
    }
    return {};
}

void BigReadoutWindow::open() {
    if (!m_restored) {
        m_restored = true;
        const auto read = [&](const char* key) {
            return m_platform.settings.readSetting(m_platform.app.title, Section,
                                                   QString::fromLatin1(key));
        };
        bool ok[4] = {};
        const QRect place(pixels(read("Left").value_or(QString()).toInt(&ok[0])),
                          pixels(read("Top").value_or(QString()).toInt(&ok[1])),
                          pixels(read("Width").value_or(QString()).toInt(&ok[2])),
                          pixels(read("Height").value_or(QString()).toInt(&ok[3])));
        // A place on a screen that is no longer there is not taken.
        if (ok[0] && ok[1] && ok[2] && ok[3] && place.width() >= 100 && place.height() >= 60 &&
            QGuiApplication::screenAt(place.center()) != nullptr)
            setGeometry(place);
        m_fullScreen = read("FullScreen") == QStringLiteral("true");
    }
    follow();
    if (m_fullScreen)
        showFullScreen();
    else
        showNormal();
    raise();
    activateWindow();
}

QString BigReadoutWindow::readingName(int reading) const {
    if (reading < 3) {
        const Row& row = m_rows.at(static_cast<size_t>(reading));
        if (!row.visible)
            return {};
        const MainForm::Unit unit = m_form.unit();
        const QString symbol = unit == MainForm::Unit::Metric     ? QStringLiteral(" mm")
                               : unit == MainForm::Unit::Imperial ? QStringLiteral(" in")
                                                                  : QString();
        return row.letter + QLatin1Char(' ') + row.text + symbol;
    }
    const QString* texts[] = {&m_unit.text, &m_count, &m_word.text};
    return *texts[reading - 3];
}

QRect BigReadoutWindow::readingRect(int reading) const {
    return reading < 3 ? rowRect(reading) : infoRect(reading == 5 ? 1 : 0);
}

std::array<QString, BigReadoutWindow::Readings> BigReadoutWindow::readingNames() const {
    std::array<QString, Readings> names;
    for (int i = 0; i < Readings; ++i)
        names[static_cast<size_t>(i)] = readingName(i);
    return names;
}

void BigReadoutWindow::follow() {
    const auto before = readingNames();
    followRows();
    followInfo();
    tellReaders(before);
}

void BigReadoutWindow::tellReaders(const std::array<QString, Readings>& before) {
    for (int i = 0; i < Readings; ++i)
        if (before[static_cast<size_t>(i)] != readingName(i))
            tellReadingChanged(this, i, !before[static_cast<size_t>(i)].isEmpty());
}

// The count while a log file is open (the main window shows 0 without one); the word of a record
// that was not written outlasts that of stale readings, which come back with the next line.
void BigReadoutWindow::followInfo() {
    const Row unit{{},
                   unitName(m_form.unit()),
                   QColor::fromRgb(highContrastColour(m_form.lab公英制.foreColor())),
                   true};
    const QString count =
        m_platform.files.isOpen(fileno::LogFile)
            ? m_form.計數.caption() + QLatin1Char(' ') + m_form.lab計數顯示.caption()
            : QString();
    Row word;
    if (m_mark == Mark::Failed)
        word = {{},
                QCoreApplication::translate("BigReadoutWindow", "記錄沒有寫入"),
                QColor::fromRgb(FailedColour),
                true};
    else if (m_form.labX顯示.foreColor() == color::Grey)
        word = {{},
                QCoreApplication::translate("BigReadoutWindow", "無信號"),
                QColor::fromRgb(WordColour),
                true};
    if (differs(unit, m_unit) || count != m_count) {
        m_unit = unit;
        m_count = count;
        update(infoRect(0));
    }
    if (differs(word, m_word)) {
        m_word = word;
        update(infoRect(1));
    }
}

// Each record puts a band around the window for a moment, green when it is in the log file and red
// when it is not; the next record's mark replaces the one before.
void BigReadoutWindow::showMark(RecordOutcome::Outcome outcome) {
    const auto before = readingNames();
    m_mark = outcome == RecordOutcome::Outcome::Written  ? Mark::Written
             : outcome == RecordOutcome::Outcome::Failed ? Mark::Failed
                                                         : Mark::None;
    if (m_mark == Mark::None)
        m_markTimer.stop();
    else
        m_markTimer.start(m_mark == Mark::Written ? WrittenMarkMs : FailedMarkMs);
    const int band = static_cast<int>(std::ceil(m_layout.band));
    update(QRegion(rect()).subtracted(QRegion(rect().adjusted(band, band, -band, -band))));
    followInfo();
    tellReaders(before);
}

// Rows whose text and colour are as shown are not painted again; a change of the number of rows
// or of the decimal column places everything anew.
void BigReadoutWindow::followRows() {
    std::array<Row, 3> next;
    const QString letters[] = {QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z")};
    int longest = 0;
    for (size_t i = 0; i < next.size(); ++i) {
        next[i] = rowOf(*m_labels[i], letters[i]);
        longest = std::max(longest, static_cast<int>(next[i].text.size()));
    }
    int decimals = 0;
    bool rowsChanged = false;
    for (size_t i = 0; i < next.size(); ++i) {
        if (next[i].visible)
            decimals = std::max(decimals, decimalsOf(next[i].text));
        rowsChanged = rowsChanged || next[i].visible != m_rows[i].visible;
    }
    const int cells = std::max(longest, static_cast<int>(BigReadoutLayout::FieldCells));
    if (rowsChanged || decimals != m_decimals || cells != m_layout.figureCells ||
        m_layout.rows == 0) {
        m_rows = next;
        m_decimals = decimals;
        relayout();
        update();
        return;
    }
    for (size_t i = 0; i < next.size(); ++i) {
        if (differs(next[i], m_rows[i])) {
            update(changedPart(static_cast<int>(i), next[i]));
            m_rows[i] = next[i];
        }
    }
}

int BigReadoutWindow::visibleRows() const {
    return static_cast<int>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.visible; }));
}

// The largest font whose real metrics fit: the proportions change a little with the size.
void BigReadoutWindow::relayout() {
    const int rows = std::max(1, visibleRows());
    int cells = BigReadoutLayout::FieldCells;
    for (const Row& row : m_rows)
        cells = std::max(cells, static_cast<int>(row.text.size()));
    const double w = width();
    const double h = height();
    int size = BigReadoutLayout::fittingSize(w, h, rows, cells, faceAt(m_font, 100));
    BigReadoutLayout::Face face = faceAt(m_font, size);
    while (size > 1 && BigReadoutLayout::fittingSize(w, h, rows, cells, face) < size)
        face = faceAt(m_font, --size);
    m_layout = BigReadoutLayout::at(w, h, rows, cells, face, size);
    m_font.setPixelSize(size);
    m_infoFont.setPixelSize(std::max(1, static_cast<int>(size * BigReadoutLayout::InfoLine)));
    m_tiles.clear();
}

QRect BigReadoutWindow::rowRect(int index) const {
    int place = 0;
    for (int i = 0; i < index; ++i)
        place += m_rows[static_cast<size_t>(i)].visible ? 1 : 0;
    return QRectF(m_layout.left, m_layout.rowTop(place), m_layout.width(), m_layout.line)
        .toAlignedRect();
}

// Of a row in the same colour, only the cells whose figure changed (a reading that moves changes
// its last digits); otherwise the whole row.
QRect BigReadoutWindow::changedPart(int index, const Row& next) const {
    const Row& shown = m_rows[static_cast<size_t>(index)];
    const QRect whole = rowRect(index);
    if (next.colour != shown.colour || next.visible != shown.visible)
        return whole;
    const int cells = m_layout.figureCells;
    const int was = firstCellOf(shown.text, m_decimals, cells);
    const int now = firstCellOf(next.text, m_decimals, cells);
    const auto at = [](const QString& text, int first, int cell) {
        const int k = cell - first;
        return k >= 0 && k < text.size() ? text[k] : QChar();
    };
    int from = cells;
    int to = -1;
    for (int cell = 0; cell < cells; ++cell) {
        if (at(shown.text, was, cell) != at(next.text, now, cell)) {
            from = std::min(from, cell);
            to = cell;
        }
    }
    if (to < 0)
        return {};
    const int left = static_cast<int>(std::floor(m_layout.figureLeft(0, from)));
    const int right = static_cast<int>(std::ceil(m_layout.figureLeft(0, to + 1))) + 1;
    return QRect(left, whole.top(), right - left, whole.height());
}

QRect BigReadoutWindow::infoRect(int infoLine) const {
    return QRectF(m_layout.left, m_layout.infoTop(infoLine), m_layout.width(),
                  m_layout.line * BigReadoutLayout::InfoLine)
        .toAlignedRect();
}

// A figure in its cell, drawn once per size and colour: glyphs this large are slow to draw each
// time, a copy of a tile is not.
const QPixmap& BigReadoutWindow::tile(QChar c, const QColor& colour) {
    const auto key = std::pair(c.unicode(), colour.rgb());
    auto it = m_tiles.find(key);
    if (it != m_tiles.end())
        return it->second;
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(QSize(static_cast<int>(std::ceil(m_layout.cell)),
                         static_cast<int>(std::ceil(m_layout.line))) *
                   ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(QColor::fromRgb(BigReadoutGround));
    QPainter painter(&pixmap);
    painter.setFont(m_font);
    painter.setPen(colour);
    const QFontMetricsF metrics(m_font);
    painter.drawText(QPointF((m_layout.cell - metrics.horizontalAdvance(c)) / 2, metrics.ascent()),
                     QString(c));
    return m_tiles.emplace(key, std::move(pixmap)).first->second;
}

void BigReadoutWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor::fromRgb(BigReadoutGround));
    const auto at = [](double left, int top) {
        return QPoint(static_cast<int>(std::lround(left)), top);
    };
    for (int i = 0; i < static_cast<int>(m_rows.size()); ++i) {
        const Row& row = m_rows[static_cast<size_t>(i)];
        const QRect place = rowRect(i);
        if (!row.visible || !event->rect().intersects(place))
            continue;
        painter.drawPixmap(at(m_layout.left, place.top()), tile(row.letter[0], row.colour));
        const int first = firstCellOf(row.text, m_decimals, m_layout.figureCells);
        for (int k = 0; k < row.text.size(); ++k)
            painter.drawPixmap(at(m_layout.figureLeft(first, k), place.top()),
                               tile(row.text[k], row.colour));
    }
    painter.setFont(m_infoFont);
    painter.setPen(QColor::fromRgb(highContrastColour(color::ButtonText)));
    painter.drawText(infoRect(0), Qt::AlignLeft | Qt::AlignVCenter, m_count);
    painter.setPen(m_unit.colour);
    painter.drawText(infoRect(0), Qt::AlignRight | Qt::AlignVCenter, m_unit.text);
    painter.setPen(m_word.colour);
    painter.drawText(infoRect(1), Qt::AlignLeft | Qt::AlignVCenter, m_word.text);
    if (m_mark != Mark::None) {
        const QRectF whole(rect());
        const double band = m_layout.band;
        const QColor colour =
            QColor::fromRgb(m_mark == Mark::Written ? WrittenColour : FailedColour);
        painter.fillRect(QRectF(0, 0, whole.width(), band), colour);
        painter.fillRect(QRectF(0, whole.height() - band, whole.width(), band), colour);
        painter.fillRect(QRectF(0, 0, band, whole.height()), colour);
        painter.fillRect(QRectF(whole.width() - band, 0, band, whole.height()), colour);
    }
}

void BigReadoutWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

void BigReadoutWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else if (event->key() == Qt::Key_F11 && event->modifiers() == Qt::NoModifier)
        toggleFullScreen();
    else
        QWidget::keyPressEvent(event);
}

void BigReadoutWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    (void)event;
    toggleFullScreen();
}

void BigReadoutWindow::toggleFullScreen() {
    m_fullScreen = !isFullScreen();
    if (m_fullScreen)
        showFullScreen();
    else
        showNormal();
}

void BigReadoutWindow::closeEvent(QCloseEvent* event) {
    save();
    QWidget::closeEvent(event);
}

// Like the main window's geometry at exit: a value that cannot be written is lost quietly.
void BigReadoutWindow::save() {
    m_fullScreen = isFullScreen();
    const QRect place = m_fullScreen ? normalGeometry() : geometry();
    ResumeNext step(vxFiles);
    const auto put = [&](const char* key, const QString& value) {
        step([&] {
            m_platform.settings.saveSetting(m_platform.app.title, Section, QString::fromLatin1(key),
                                            value);
        });
    };
    put("Left", QString::number(twipsFromPixels(place.left())));
    put("Top", QString::number(twipsFromPixels(place.top())));
    put("Width", QString::number(twipsFromPixels(place.width())));
    put("Height", QString::number(twipsFromPixels(place.height())));
    put("FullScreen", m_fullScreen ? QStringLiteral("true") : QStringLiteral("false"));
}

} // namespace vx::ui
