#include "../readout/readout_rig.h"
#include "paint_log.h"
#include "shell/core/main_handlers.h"
#include "shell/ui/big_readout_launcher.h"

#include <QAccessible>
#include <QApplication>
#include <QGlyphRun>
#include <QTest>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct BigReadoutTest : ::testing::Test {
    static void show(QWidget& w) {
        w.show();
        QApplication::setActiveWindow(&w);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    ui::BigReadoutWindow& big() { return launcher->bigReadout(); }
    void frame(const QByteArray& line) { handlers.frames.handleFrame(line); }
    void make() { // as at a start of the program
        launcher.reset();
        recordKey = std::make_unique<ui::RecordKeyShortcuts>(
            r.form, r.platform, [this](const Observable& s) { run(s); });
        recordKey->listenOn(&window);
        launcher = std::make_unique<ui::BigReadoutLauncher>(
            r.form, window, r.platform, *recordKey, [this](const Observable& s) { run(s); });
    }
    void run(const Observable& source) { commands[&source](); }
    QStringList spoken() { // the names a screen reader finds in the big readout
        QAccessibleInterface* tree = QAccessible::queryAccessibleInterface(&big());
        QStringList names;
        for (int i = 0; i < tree->childCount(); ++i)
            names << tree->child(i)->text(QAccessible::Name);
        return names;
    }

    ReadoutRig r;
    LoadedForms forms;
    MainHandlers handlers{r.form, r.state, r.platform, forms, r.rig.devices, nullptr};
    Commands commands = mainWindowCommands(r.form, handlers);
    ui::MainWindow window{r.form, [this](const Observable& s) { run(s); }, [] {}};
    std::unique_ptr<ui::RecordKeyShortcuts> recordKey;
    std::unique_ptr<ui::BigReadoutLauncher> launcher;
    BigReadoutTest() {
        make();
        r.openLog();
    }
    ~BigReadoutTest() override { r.rig.files.close(fileno::LogFile); }
};

// With two axes and three, from half to four times the first size (and at a scale factor of 2).
TEST_F(BigReadoutTest, FiguresScaleWithTheWindowAndNeverClip) {
    for (const QByteArray& line :
         {QByteArray("X-99999.999 Y-88888.888 Z-77777.777  M\r\n"), TwoAxis}) {
        frame(line);
        big().open();
        int lastWidth = 0;
        for (double scale : {0.5, 1.0, 2.0, 4.0}) {
            big().resize(QSize(640, 400) * scale);
            const QImage image = big().grab().toImage();
            QRect ink; // around every pixel that is not the dark ground
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if ((image.pixel(x, y) & 0xFFFFFF) != BigReadoutGround)
                        ink |= QRect(x, y, 1, 1);
            EXPECT_TRUE(image.rect().adjusted(1, 1, -1, -1).contains(ink)) << scale;
            EXPECT_GT(ink.width(), std::exchange(lastWidth, ink.width())) << scale;
            EXPECT_TRUE(ink.width() > image.width() * 3 / 4 ||
                        ink.height() > image.height() * 2 / 3)
                << scale;
        }
        big().close();
    }
}

TEST(BigReadoutLayout, DecimalPointsStandInOneColumn) {
    const std::tuple<const char*, int, int> rows[] = {{"-12.345", 3, 3},    {"120", 3, 3},
                                                      {"-99999.999", 3, 0}, {"12.34567", 3, 2},
                                                      {"", 3, 6},           {"1.2346", 4, 4}};
    for (const auto& [reading, decimals, first] : rows)
        EXPECT_EQ(firstCellOf(QString::fromLatin1(reading), decimals, 10), first) << reading;
}

TEST_F(BigReadoutTest, FollowsFramesHaltStaleAndTwoAxesRepaintingOnlyWhatChanged) {
    frame(ThreeAxisMetric);
    big().open();
    QApplication::processEvents();
    EXPECT_EQ(big().row(2).text, "0.001");
    EXPECT_EQ(big().unitText(), ui::BigReadoutWindow::unitName(MainForm::Unit::Metric));
    PaintLog log(big());
    frame(ThreeAxisMetric); // nothing changed: nothing painted
    QApplication::processEvents();
    EXPECT_TRUE(log.painted.isEmpty());
    frame(QByteArray(ThreeAxisMetric).replace("-12.345", "-12.346"));
    QApplication::processEvents();
    EXPECT_EQ(big().row(0).text, "-12.346");
    EXPECT_EQ(spoken().mid(0, 4),
              QStringList({"X -12.346 mm", "Y 250.000 mm", "Z 0.001 mm", big().unitText()}));
    EXPECT_LE(log.painted.boundingRect().height(), big().layout().line + 2); // the last digit
    EXPECT_LE(log.painted.boundingRect().width(), big().layout().cell + 3);

    log.painted = {};
    handlers.keypad.CmdHalt_Click();
    QApplication::processEvents();
    EXPECT_EQ(big().row(1).colour, QColor(0xFF3333));
    EXPECT_GE(log.painted.boundingRect().height(), 3 * big().layout().line - 2); // all in red
    handlers.keypad.CmdHalt_Click();
    r.form.markReadingsStale(); // grey, and said in words
    EXPECT_EQ(big().row(1).colour, QColor(0x8C8C8C));
    EXPECT_TRUE(spoken().contains(big().wordText()) && !big().wordText().isEmpty());
    frame(ThreeAxisInch);
    EXPECT_TRUE(big().wordText().isEmpty());
    EXPECT_EQ(big().unitText(), ui::BigReadoutWindow::unitName(MainForm::Unit::Imperial));
    QTextLayout unitLine(big().unitText(), big().infoFont()); // in one face
    unitLine.beginLayout();
    unitLine.createLine();
    unitLine.endLayout();
    EXPECT_EQ(unitLine.glyphRuns().size(), 1);
    frame(TwoAxis);
    EXPECT_FALSE(big().row(2).visible);
    EXPECT_TRUE(big().unitText().isEmpty());
    EXPECT_EQ(big().layout().rows, 2);
    EXPECT_EQ(spoken().mid(0, 3), QStringList({"X -12.345", "Y 7.500", big().countText()}));
}

TEST_F(BigReadoutTest, PlaceSizeAndFullScreenAreKeptOnceUsed) {
    show(window);
    EXPECT_TRUE(r.rig.settings.writes.empty());
    QTest::keyClick(&window, Qt::Key_F11);
    ASSERT_TRUE(big().isVisible());
    big().setGeometry(40, 30, 700, 420);
    QTest::keyClick(&big(), Qt::Key_Escape);
    EXPECT_FALSE(big().isVisible());
    make();
    QTest::mouseDClick(window.findChild<QWidget*>("labX顯示"), Qt::LeftButton);
    ASSERT_TRUE(big().isVisible());
    EXPECT_EQ(big().geometry(), QRect(40, 30, 700, 420));
    show(big());
    QTest::keyClick(&big(), Qt::Key_F11);
    EXPECT_TRUE(big().isFullScreen());
    launcher->mainUnloading();
    EXPECT_EQ(r.rig.settings.values["BigReadout/Left"], "600");
    make();
    big().open();
    EXPECT_TRUE(big().isFullScreen());
}

// A key that cannot be used is told once, and F12 stands in for it. Held, it records once.
TEST_F(BigReadoutTest, TheRecordKeyWritesTheNextLine) {
    const struct {
        const char* setting;
        QKeyCombination key;
        bool locked, fromBig;
    } rows[] = {{nullptr, Qt::Key_F12, false, false},
                {"Ctrl+R", Qt::ControlModifier | Qt::Key_R, true, false},
                {"Space", Qt::Key_Space, false, true},
                {"Ctrl+K, Ctrl+R", Qt::Key_F12, false, false},
                {"F9", Qt::Key_F12, false, false}}; // F9 locks the keypad
    show(window);
    int count = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.setting ? row.setting : "F12");
        if (row.setting)
            r.rig.settings.values["Settings/RecordKey"] = QString::fromLatin1(row.setting);
        make();
        if (row.locked != r.form.mnu鎖住按鍵.checked())
            handlers.keypad.mnu鎖住按鍵_Click();
        if (row.fromBig) {
            big().open();
            show(big());
        }
        // A key held down repeats, marked as such or, as X may send it, as a release and a press
        // at the same moment: one record a press.
        QWidget* target = row.fromBig ? static_cast<QWidget*>(&big()) : &window;
        const auto send = [&](QEvent::Type type, quint64 at, bool marked = false) {
            QKeyEvent key(type, row.key.key(), row.key.keyboardModifiers(), {}, marked);
            key.setTimestamp(at);
            QApplication::sendEvent(target, &key);
        };
        const quint64 at = 100 * static_cast<quint64>(count);
        send(QEvent::KeyPress, at);
        frame(TwoAxis);
        send(QEvent::KeyPress, at, true);
        frame(TwoAxis);
        send(QEvent::KeyRelease, at + 50);
        send(QEvent::KeyPress, at + 50);
        frame(TwoAxis);
        EXPECT_EQ(r.form.lab計數顯示.caption(), QString::number(++count));
        EXPECT_TRUE(r.serial.written().isEmpty()); // nothing went to the counter
        big().close();
        show(window);
    }
    EXPECT_EQ(r.logBytes(), (TwoAxis + "\r\n").repeated(count));
    recordKey->tellProblemOnce();
    recordKey->tellProblemOnce();
    ASSERT_EQ(r.rig.dialogs.messages.size(), 1U);
    EXPECT_TRUE(r.rig.dialogs.messages[0].prompt.contains("F9"));
}

// Each record marks the window for a moment; one that is not written marks it otherwise and says
// so. The count shows while a log file is open.
TEST_F(BigReadoutTest, ARecordIsMarkedAndCounted) {
    using Mark = ui::BigReadoutWindow::Mark;
    const struct {
        std::function<void()> before;
        Mark mark;
        bool counted;
    } rows[] = {{[] {}, Mark::Written, true},
                {[this] { r.rig.files.fillDiskAfter(0); }, Mark::Failed, true},
                {[this] {
                     r.rig.files.clearFaults();
                     unlink(r.logPath().toLocal8Bit().constData());
                 },
                 Mark::Failed, true},
                {[this] { run(r.form.mnuFileClose); }, Mark::Failed, false}};
    big().open();
    for (const auto& row : rows) {
        row.before();
        r.state.recordRequest = true;
        frame(TwoAxis);
        EXPECT_EQ(big().mark(), row.mark);
        EXPECT_TRUE(big().markTimer().isActive());
        EXPECT_EQ(big().countText().endsWith(r.form.lab計數顯示.caption()), row.counted);
        EXPECT_EQ(big().wordText().isEmpty(), row.mark == Mark::Written);
    }
    QMetaObject::invokeMethod(const_cast<QTimer*>(&big().markTimer()), "timeout");
    EXPECT_EQ(big().mark(), Mark::None);
    EXPECT_TRUE(big().wordText().isEmpty());
}

// The menu keys that work while the keypad is hidden work here too.
TEST_F(BigReadoutTest, F1F2AndF9WorkInTheBigReadout) {
    frame(ThreeAxisMetric);
    handlers.keypad.mnu鎖住按鍵_Click();
    big().open();
    show(big());
    const std::tuple<Qt::Key, QByteArray, bool> rows[] = {
        {Qt::Key_F1, "0", true}, {Qt::Key_F2, "1", true}, {Qt::Key_F9, "", false}};
    for (const auto& [key, sent, locked] : rows) {
        r.serial.clearOutputs();
        QTest::keyClick(&big(), key);
        EXPECT_EQ(r.serial.written(), sent) << key;
        EXPECT_EQ(r.form.mnu鎖住按鍵.checked(), locked) << key;
    }
}

} // namespace
