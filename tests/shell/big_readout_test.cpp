#include "../readout/readout_rig.h"
#include "shell/ui/readout_additions.h"

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;
using vx::ui::BigReadoutWindow;

namespace {

struct BigReadoutTest : ::testing::Test {
    BigReadoutTest() { r.openLog(); }
    ~BigReadoutTest() override { r.rig.files.close(fileno::LogFile); }

    void show(QWidget& w) {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    BigReadoutWindow& big() { return additions->bigReadout(); }

    ReadoutRig r;
    LoadedForms forms;
    MainHandlers handlers{r.form, r.state, r.platform, forms, nullptr};
    Commands commands = mainWindowCommands(r.form, handlers);
    void dispatch(const Observable& source) { commands[&source](); }
    ui::MainWindow window{r.form, [this](const Observable& s) { dispatch(s); }, [] {}};
    std::unique_ptr<ui::ReadoutAdditions> additions = make();
    std::unique_ptr<ui::ReadoutAdditions> make() {
        return std::make_unique<ui::ReadoutAdditions>(r.form, window, handlers, r.platform,
                                                      [this](const Observable& s) { dispatch(s); });
    }
    void frame(const QByteArray& line) { handlers.frames.handleFrame(line); }
};

// What the window shows: the box around every pixel that is not the dark ground.
QRect inkOf(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != BigReadoutGround)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// The figures grow with the window and fill it, and nothing is cut at its edges, with two axes
// and three, from half to four times the first size (and at a scale factor of 2, run again).
TEST_F(BigReadoutTest, FiguresScaleWithTheWindowAndNeverClip) {
    for (const QByteArray& line :
         {QByteArray("X-99999.999 Y-88888.888 Z-77777.777  M\r\n"), TwoAxis}) {
        frame(line);
        big().open();
        int lastWidth = 0;
        for (double scale : {0.5, 1.0, 2.0, 4.0}) {
            SCOPED_TRACE(scale);
            big().resize(QSize(640, 400) * scale);
            const QImage image = big().grab().toImage();
            const QRect ink = inkOf(image);
            EXPECT_TRUE(image.rect().adjusted(1, 1, -1, -1).contains(ink));
            EXPECT_GT(ink.width(), lastWidth);
            EXPECT_TRUE(ink.width() > image.width() * 3 / 4 ||
                        ink.height() > image.height() * 2 / 3);
            lastWidth = ink.width();
        }
        big().close();
    }
}

TEST(BigReadoutLayout, DecimalPointsStandInOneColumn) {
    const struct {
        const char* reading;
        int decimals, first;
    } rows[] = {{"-12.345", 3, 3},    {"250.000", 3, 3},  {"1.2346", 4, 4}, {"120", 3, 3},
                {"-99999.999", 3, 0}, {"12.34567", 3, 2}, {"", 3, 6}};
    for (const auto& row : rows)
        EXPECT_EQ(firstCellOf(QString::fromLatin1(row.reading), row.decimals, 10), row.first)
            << row.reading;
}

TEST_F(BigReadoutTest, FollowsFramesHaltStaleAndTwoAxesRepaintingOnlyWhatChanged) {
    frame(ThreeAxisMetric);
    big().open();
    QApplication::processEvents();
    EXPECT_EQ(big().row(0).text, "-12.345");
    EXPECT_EQ(big().row(2).text, "0.001");
    EXPECT_EQ(big().unitText(), "公制 mm");
    EXPECT_EQ(big().row(0).colour, QColor(0xF2F2F2));

    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    big().installEventFilter(&spy);
    frame(ThreeAxisMetric); // nothing changed: nothing painted
    QApplication::processEvents();
    EXPECT_TRUE(spy.painted.isEmpty());
    frame(QByteArray(ThreeAxisMetric).replace("-12.345", "-12.346"));
    QApplication::processEvents();
    EXPECT_EQ(big().row(0).text, "-12.346");
    EXPECT_LE(spy.painted.boundingRect().height(), big().layout().line + 2); // the last digit
    EXPECT_LE(spy.painted.boundingRect().width(), big().layout().cell + 3);

    spy.painted = {};
    handlers.keypad.CmdHalt_Click();
    QApplication::processEvents();
    EXPECT_EQ(big().row(1).colour, QColor(0xFF3333));
    EXPECT_GE(spy.painted.boundingRect().height(), 3 * big().layout().line - 2); // all in red
    handlers.keypad.CmdHalt_Click();
    r.form.labY顯示.setForeColor(0x00808080); // a reading no longer live
    EXPECT_EQ(big().row(1).colour, QColor(0x8C8C8C));
    frame(ThreeAxisInch);
    EXPECT_EQ(big().unitText(), "英制 in");
    EXPECT_EQ(big().row(2).text, "-123.4567");
    frame(TwoAxis);
    EXPECT_FALSE(big().row(2).visible);
    EXPECT_EQ(big().unitText(), "");
    EXPECT_EQ(big().layout().rows, 2);
}

TEST_F(BigReadoutTest, PlaceSizeAndFullScreenAreKeptOnceUsed) {
    show(window);
    EXPECT_TRUE(r.rig.settings.writes.empty());
    QTest::keyClick(&window, Qt::Key_F11);
    ASSERT_TRUE(big().isVisible());
    big().setGeometry(40, 30, 700, 420);
    QTest::keyClick(&big(), Qt::Key_Escape);
    EXPECT_FALSE(big().isVisible());
    EXPECT_EQ(r.rig.settings.values["BigReadout/Width"], "10500");
    EXPECT_EQ(r.rig.settings.values["BigReadout/FullScreen"], "false");

    additions = make(); // as at the next start
    QTest::mouseDClick(window.findChild<QWidget*>("labX顯示"), Qt::LeftButton);
    ASSERT_TRUE(big().isVisible());
    EXPECT_EQ(big().geometry(), QRect(40, 30, 700, 420));
    show(big());
    QTest::keyClick(&big(), Qt::Key_F11);
    EXPECT_TRUE(big().isFullScreen());
    additions->mainUnloading();
    EXPECT_EQ(r.rig.settings.values["BigReadout/FullScreen"], "true");
    EXPECT_EQ(r.rig.settings.values["BigReadout/Left"], "600");
    additions = make();
    big().open();
    EXPECT_TRUE(big().isFullScreen());
}

// F12, or the key the settings name, asks for a record as RS does: with the keypad locked too,
// and from the big readout.
TEST_F(BigReadoutTest, TheRecordKeyWritesTheNextLine) {
    const struct {
        std::optional<QString> setting;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool locked, fromBig;
    } rows[] = {{{}, Qt::Key_F12, {}, false, false},
                {"Ctrl+R", Qt::Key_R, Qt::ControlModifier, true, false},
                {"Space", Qt::Key_Space, {}, false, true},
                {"F9", Qt::Key_F12, {}, false, false}}; // F9 locks the keypad: F12 instead
    show(window);
    int count = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.setting.value_or("F12").toStdString());
        if (row.setting)
            r.rig.settings.values["Settings/RecordKey"] = *row.setting;
        additions = make();
        if (row.locked != r.form.mnu鎖住按鍵.checked())
            handlers.keypad.mnu鎖住按鍵_Click();
        QWidget* target = &window;
        if (row.fromBig) {
            big().open();
            show(big());
            target = &big();
        }
        QTest::keyClick(target, row.key, row.modifiers);
        EXPECT_TRUE(r.state.recordRequest);
        frame(TwoAxis);
        EXPECT_EQ(r.form.lab計數顯示.caption(), QString::number(++count));
        EXPECT_TRUE(r.serial.written().isEmpty()); // nothing went to the counter
        big().close();
        show(window);
    }
    EXPECT_EQ(r.logBytes(), (TwoAxis + "\r\n").repeated(count));
    additions->mainShown();
    additions->mainShown();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U); // the unusable key is told once
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains("F9"));
    EXPECT_EQ(ui::recordKeyFrom(QStringLiteral("Foo"), {}).key, QKeySequence(Qt::Key_F12));
    EXPECT_FALSE(ui::recordKeyFrom(QStringLiteral("Ctrl+K, Ctrl+R"), {}).problem.isEmpty());
}

} // namespace
