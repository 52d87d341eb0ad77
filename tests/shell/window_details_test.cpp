#include "form_rig.h"
#include "shell/ui/caption_label.h"
#include "shell/ui/main_window.h"
#include "shell/ui/widget_style.h"

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace vx;

namespace {

// The rows of pixels that hold ink, top and bottom, in a widget's image.
std::pair<int, int> inkRows(QWidget* w) {
    const QImage image = w->grab().toImage();
    const QRgb paper = image.pixel(0, 0);
    int top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != paper) {
                top = std::min(top, y);
                bottom = y;
            }
    return {top, bottom};
}

QImage rgb(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
}

struct PaintLog : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

} // namespace

// A label draws what QLabel draws, shaped or placed from what it has learnt; a new caption
// repaints every pixel that it changes, and of a new reading only its last digits.
TEST(CaptionLabel, DrawsAsQLabelAndRepaintsWhatChanges) {
    struct Row {
        FontDefinition font;
        Qt::Alignment align;
        bool framed; // a panel of the status bar: sunken frame, centred, not wrapping
        const char *before, *after;
        bool narrow;
    } rows[] = {
        {kai(36, 700), Qt::AlignRight, false, "   120.003", "   120.005", true},
        {kai(36, 700), Qt::AlignRight, false, "   -45.248", "   -45.250", true},
        {kai(36, 700), Qt::AlignRight, false, "     9.979", "    10.001", false},
        {kai(36, 700), Qt::AlignRight, false, "   -45.246", "   -45.250", false},
        {ming(20.25, 700), Qt::AlignRight, false, "AVAVAV", "AVAWAV", true},
        {{}, Qt::AlignLeft, false, "TAVTAV", "TAWTAV", true},
        {ming(20.25, 400), Qt::AlignLeft, false, "9", "10", true},
        {ming(9, 400), Qt::AlignLeft | Qt::AlignVCenter, true, "03:01:19", "03:01:20", true},
        {{},
         Qt::AlignLeft,
         false,
         "X   120.003 Y   -45.246 Z     9.979  M\r\n",
         "X   120.003 Y   -45.246 Z     9.981  M\r\n",
         true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.after);
        const auto setUp = [&](QLabel& label) {
            label.setTextFormat(Qt::PlainText);
            label.setWordWrap(!row.framed);
            label.setAlignment(row.framed ? row.align : row.align | Qt::AlignTop);
            if (row.framed) {
                label.setFrameShape(QFrame::Panel);
                label.setFrameShadow(QFrame::Sunken);
            }
            if (!row.font.face.isEmpty())
                label.setFont(ui::qtFont(row.font));
            label.resize(row.framed ? QSize(67, 18) : QSize(257, 57));
        };
        QLabel label;
        setUp(label);
        label.setText(QString::fromLatin1(row.before));
        const QImage before = rgb(label.grab());
        label.setText(QString::fromLatin1(row.after));
        const QImage after = rgb(label.grab());

        QWidget window; // a label stands in a window
        ui::CaptionLabel own(&window);
        setUp(own);
        window.resize(own.size());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        for (const char* text : {row.after, row.before}) { // it learns their glyphs
            own.showCaption(QString::fromLatin1(text));
            QApplication::processEvents();
        }
        EXPECT_EQ(rgb(own.grab()), before);
        PaintLog log;
        own.installEventFilter(&log);
        own.showCaption(QString::fromLatin1(row.after));
        QApplication::processEvents();
        own.removeEventFilter(&log); // a grab paints all of it
        EXPECT_EQ(rgb(own.grab()), after);
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    ASSERT_TRUE(log.painted.contains(QPoint(x, y))) << x << "," << y;
                }
        EXPECT_EQ(log.painted.boundingRect().width() < own.width() / 2, row.narrow);
    }
}

struct WindowDetails : ::testing::Test {
    vx::testing::FormRig rig;
    ui::MainWindow window{rig.form, [](const Observable&) {}, [] {}};
    template <typename T = QWidget> T* widget(const char* name) {
        return window.findChild<T*>(QString::fromUtf8(name));
    }
};

TEST_F(WindowDetails, FocusUnitLabelAndPanelOfTheLogFile) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), widget("cmdX")); // not Halt: a space would pause

    auto* unit = widget("lab公英制");
    const auto [top, bottom] = inkRows(unit);
    EXPECT_LT(top, unit->height() / 6);        // 公
    EXPECT_GT(bottom, unit->height() * 2 / 3); // 制

    const QString path = QStringLiteral("/home/machinist/measurements/2026/december/part-0042.txt");
    rig.form.sbStatusBar.panel(2).setText(path);
    QLabel* panel = window.statusPanel(2);
    EXPECT_EQ(panel->width(), 133);
    EXPECT_EQ(panel->toolTip(), path);
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("part-0042.txt")));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());
}

TEST_F(WindowDetails, GoIsDrawnInTheFaceOfHalt) {
    auto* halt = widget<QPushButton>("CmdHalt");
    QStringList faces;
    for (const char* caption : {"Halt", "Go"}) {
        rig.form.CmdHalt.setCaption(QString::fromLatin1(caption));
        QTextLayout layout(halt->text(), halt->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun& run : layout.glyphRuns())
            faces << QFontInfo(halt->font()).family() + "/" + run.rawFont().familyName().toLower();
    }
    EXPECT_EQ(faces, QStringList(2, "AR PL UMing TW/ar pl uming tw"));
}

TEST_F(WindowDetails, ANewReadingRepaintsItsChangedDigitsAndNotTheFrame) {
    rig.form.labX顯示.setCaption(QStringLiteral("   120.003"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    PaintLog reading, frame;
    widget("labX顯示")->installEventFilter(&reading);
    widget("Frame顯示")->installEventFilter(&frame);
    rig.form.labX顯示.setCaption(QStringLiteral("   120.005"));
    QApplication::processEvents();
    EXPECT_TRUE(frame.painted.isEmpty());
    EXPECT_FALSE(reading.painted.isEmpty());
    EXPECT_LT(reading.painted.boundingRect().width(), widget("labX顯示")->width() / 3);
}
