#include "form_rig.h"
#include "shell/ui/caption_label.h"
#include "shell/ui/main_window.h"
#include "shell/ui/widget_style.h"

#include <QApplication>
#include <QGlyphRun>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
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

struct PaintLog : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(e)->region();
        return false;
    }
};

} // namespace

// Every pixel that a new caption changes lies in the part that is repainted; a new reading
// repaints its last digits only; the label draws what QLabel draws.
TEST(TextDamage, CoversEveryChangedPixelAndNoMore) {
    struct Row {
        FontDefinition font;
        Align align;
        const char *before, *after;
        bool narrow;
    } rows[] = {{kai(36, 700), Align::Right, "   120.003", "   120.005", true},
                {kai(36, 700), Align::Right, "   -45.248", "   -45.250", true},
                {kai(36, 700), Align::Right, "     9.979", "    10.001", false},
                {kai(36, 700), Align::Right, "   -45.246", "   -45.250", false},
                {ming(20.25, 700), Align::Right, "AVAVAV", "AVAWAV", true},
                {{}, Align::Left, "TAVTAV", "TAWTAV", true},
                {ming(20.25, 400), Align::Left, "9", "10", true},
                {{},
                 Align::Left,
                 "X   120.003 Y   -45.246 Z     9.979  M\r\n",
                 "X   120.003 Y   -45.246 Z     9.981  M\r\n",
                 true}};
    int placedRows = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.after);
        QLabel label;
        label.setWordWrap(true);
        label.setAlignment((row.align == Align::Right ? Qt::AlignRight : Qt::AlignLeft) |
                           Qt::AlignTop);
        if (!row.font.face.isEmpty())
            label.setFont(ui::qtFont(row.font));
        label.resize(257, 57);
        label.setText(QString::fromLatin1(row.before));
        const QImage before = label.grab().toImage();
        label.setText(QString::fromLatin1(row.after));
        const QImage after = label.grab().toImage();
        const auto glyphs = [&](const char* text) {
            return ui::placeGlyphs(*ui::layOutCaption(label.font(), label.rect(), label.alignment(),
                                                      QString::fromLatin1(text)),
                                   QPointF());
        };
        const QRect damage = ui::textDamage(glyphs(row.before), glyphs(row.after));
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    ASSERT_TRUE(damage.contains(x, y)) << x << "," << y;
                }
        EXPECT_EQ(damage.width() < label.width() / 2, row.narrow);
        // Placed from what shaping taught, where that is the same, it looks the same.
        ui::GlyphMemo memo;
        QString line = label.text().section(QLatin1Char('\n'), 0, 0);
        if (row.align == Align::Left && line.endsWith(QLatin1Char('\r')))
            line.chop(1); // draws nothing
        memo.learn(
            line, *ui::layOutCaption(label.font(), QRect(0, 0, 4000, 57), label.alignment(), line));
        if (const auto run = memo.place(line, label.rect(), label.alignment())) {
            QImage placed(after.size(), after.format());
            placed.fill(label.palette().window().color());
            QPainter painter(&placed);
            painter.setPen(label.palette().windowText().color());
            painter.drawGlyphRun(QPointF(), *run);
            painter.end();
            EXPECT_EQ(placed, after);
            ++placedRows;
        }
        ui::CaptionLabel own(nullptr); // draws what QLabel draws, from its kept layout
        own.setWordWrap(true);
        own.setAlignment(label.alignment());
        own.setFont(label.font());
        own.resize(label.size());
        own.setText(label.text());
        EXPECT_EQ(own.grab().toImage(), after);
    }
    EXPECT_EQ(placedRows, 7); // all but the one that kerns
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
