#include "form_rig.h"
#include "shell/ui/caption_label.h"
#include "shell/ui/main_window.h"
#include "shell/ui/widget_style.h"

#include <QApplication>
#include <QPaintEvent>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;

namespace {

QImage rgb(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
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

// A label draws what QLabel draws, shaped or placed from glyphs it has learnt; a new caption
// repaints every pixel that it changes, and of a new reading only its last digits.
TEST(CaptionLabel, DrawsAsQLabelAndRepaintsWhatChanges) {
    const QString line = QStringLiteral("X   120.003 Y   -45.246 Z     9.979  M\r\n");
    const struct Row {
        FontDefinition font;
        Qt::Alignment align; // a status panel: framed, centred, not wrapping
        QString before, after;
        bool narrow;
    } rows[] = {{kai(36, 700), Qt::AlignRight | Qt::AlignTop, "   120.003", "   120.005", true},
                {kai(36, 700), Qt::AlignRight | Qt::AlignTop, "   -45.246", "   -45.250", false},
                {{"DejaVu Sans", 36, 400},
                 Qt::AlignLeft | Qt::AlignTop,
                 "T A V",
                 "TAV",
                 true}, // kerned: shaped, although T, A and V are known
                {{}, Qt::AlignLeft | Qt::AlignTop, line, QString(line).replace("979", "981"), true},
                {ming(9, 400), Qt::AlignLeft | Qt::AlignVCenter, "03:01:19", "03:01:20", true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.after.toStdString());
        QWidget window;
        QLabel label(&window); // the reference
        ui::CaptionLabel own(&window);
        for (QLabel* l : {&label, static_cast<QLabel*>(&own)}) {
            const bool panel = (row.align & Qt::AlignVCenter) != 0;
            l->setTextFormat(Qt::PlainText);
            l->setWordWrap(!panel);
            l->setAlignment(row.align);
            l->setFrameStyle(panel ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
            l->setFont(row.font.face.isEmpty() ? QFont() : ui::qtFont(row.font));
            l->resize(panel ? QSize(67, 18) : QSize(257, 57));
            l->setText(row.before);
        }
        const QImage before = rgb(label);
        label.setText(row.after);
        const QImage after = rgb(label);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(rgb(own), before);                          // shaped
        for (const QString& text : {row.after, row.before}) { // it learns their glyphs
            own.showCaption(text);
            QApplication::processEvents();
        }
        PaintLog log;
        own.installEventFilter(&log);
        own.showCaption(row.after);
        QApplication::processEvents();
        own.removeEventFilter(&log); // a grab paints all of it
        EXPECT_EQ(rgb(own), after);
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
    QWidget* widget(const char* name) {
        return window.findChild<QWidget*>(QString::fromUtf8(name));
    }
};

TEST_F(WindowDetails, FocusUnitLabelLogFilePanelAndANewReading) {
    rig.form.labX顯示.setCaption(QStringLiteral("   120.003"));
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), widget("cmdX")); // not Halt: a space would pause

    const QImage unit = rgb(*widget("lab公英制")); // 公 at its top, 制 at its bottom
    int top = unit.height(), bottom = 0;
    for (int i = 0; i < unit.width() * unit.height(); ++i)
        if (unit.pixel(i % unit.width(), i / unit.width()) != unit.pixel(0, 0))
            top = std::min(top, i / unit.width()), bottom = i / unit.width();
    EXPECT_LT(top, unit.height() / 6);
    EXPECT_GT(bottom, unit.height() * 2 / 3);

    const QString path = QStringLiteral("/home/machinist/measurements/2026/december/part-0042.txt");
    rig.form.sbStatusBar.panel(2).setText(path);
    QLabel* panel = window.statusPanel(2);
    EXPECT_EQ(panel->width(), 133);
    EXPECT_EQ(panel->toolTip(), path);
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("part-0042.txt")));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());

    PaintLog reading, frame;
    widget("labX顯示")->installEventFilter(&reading);
    widget("Frame顯示")->installEventFilter(&frame);
    rig.form.labX顯示.setCaption(QStringLiteral("   120.005"));
    QApplication::processEvents();
    EXPECT_TRUE(frame.painted.isEmpty());
    EXPECT_FALSE(reading.painted.isEmpty());
    EXPECT_LT(reading.painted.boundingRect().width(), widget("labX顯示")->width() / 3);
}

TEST_F(WindowDetails, GoIsDrawnInTheFaceOfHalt) {
    auto* halt = static_cast<QPushButton*>(widget("CmdHalt"));
    const auto face = [&](const char* caption) {
        rig.form.CmdHalt.setCaption(QString::fromLatin1(caption));
        return QFontInfo(halt->font()).family() + "/" +
               QRawFont::fromFont(halt->font()).familyName();
    };
    EXPECT_EQ(face("Go"), face("Halt"));
    EXPECT_EQ(face("Go").toLower(), "ar pl uming tw/ar pl uming tw");
}
