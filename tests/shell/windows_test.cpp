#include "form_rig.h"
#include "paint_log.h"
#include "shell/ui/caption_label.h"
#include "shell/ui/main_window.h"
#include "shell/ui/splash_window.h"
#include "shell/ui/widget_style.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRawFont>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

QImage rgb(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Every control stands on the window as its definition says, at 15 twips a pixel.
void expectWidgetsShow(const QWidget& window, const std::vector<Control*>& controls) {
    for (const Control* c : controls) {
        SCOPED_TRACE(c->name().toStdString());
        const QWidget* w = window.findChild<QWidget*>(c->name());
        ASSERT_NE(w, nullptr);
        const Twips g = c->geometry();
        const QRect place(g.left / 15, g.top / 15, g.width / 15, g.height / 15);
        EXPECT_TRUE(c->autoSize() ? w->pos() == place.topLeft() : w->geometry() == place);
        EXPECT_EQ(w->parentWidget()->objectName(),
                  c->container() ? c->container()->name() : w->parentWidget()->objectName());
        const auto* label = qobject_cast<const QLabel*>(w);
        const auto* button = qobject_cast<const QPushButton*>(w);
        const QString text = label    ? label->text()
                             : button ? button->text()
                                      : qobject_cast<const QGroupBox*>(w)->title();
        EXPECT_EQ(c->kind() == ControlKind::PictureBox ? QString() : text, c->caption());
        EXPECT_EQ(w->toolTip(), c->toolTip());
        EXPECT_EQ(w->isHidden(), !c->visible());
        EXPECT_EQ(w->focusPolicy() != Qt::NoFocus, c->kind() == ControlKind::Button);
        if (c->font()) {
            EXPECT_EQ(w->font().family(), c->font()->face);
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), c->font()->points);
            EXPECT_EQ(w->font().bold(), c->font()->weight >= 700);
        }
    }
}

struct MainWindowTest : ::testing::Test {
    QWidget* widget(const char* name) {
        return window.findChild<QWidget*>(QString::fromUtf8(name));
    }
    void showActive() {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    FormRig rig;
    std::vector<const Observable*> dispatched;
    int unloads = 0;
    ui::MainWindow window{rig.form, [this](const Observable& s) { dispatched.push_back(&s); },
                          [this] { ++unloads; }};
};

} // namespace

TEST_F(MainWindowTest, ControlsFollowTheDefinitionAndWhatTheHandlersChange) {
    std::vector<std::pair<int, QString>> buttons;
    for (const Control* c : rig.form.controls())
        if (c->kind() == ControlKind::Button)
            buttons.emplace_back(c->tabIndex(), c->name());
    std::sort(buttons.begin(), buttons.end());
    QWidget* w = window.findChild<QWidget*>(buttons[0].second);
    for (size_t i = 1; i < buttons.size(); ++i) {
        do
            w = w->nextInFocusChain();
        while (!qobject_cast<QPushButton*>(w));
        EXPECT_EQ(w->objectName(), buttons[i].second);
    }
    EXPECT_EQ(widget("Frame顯示")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(widget("labX顯示")->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::ButtonText));
    EXPECT_TRUE(qobject_cast<QLabel*>(widget("labX顯示"))->alignment() & Qt::AlignRight);
    rig.form.labX顯示.setForeColor(color::Red);
    EXPECT_EQ(widget("labX顯示")->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    rig.form.Frame顯示.setHeight(2295);
    rig.form.labZ顯示.setVisible(false);
    rig.form.lab計數顯示.setCaption(QStringLiteral("12"));
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    expectWidgetsShow(window, rig.form.controls());
    EXPECT_EQ(window.windowTitle(), "二軸顯示");
}

TEST_F(MainWindowTest, MenusShowTheTreeAndHandTheItemToTheHandlers) {
    const QList<QAction*> tops = window.menuBar()->actions();
    const std::vector<MenuItem*> tree = rig.form.menuBar();
    ASSERT_EQ(static_cast<size_t>(tops.size()), tree.size());
    for (size_t m = 0; m < tree.size(); ++m) {
        EXPECT_EQ(tops[m]->text(), tree[m]->caption());
        const QList<QAction*> actions = tops[m]->menu()->actions();
        ASSERT_EQ(static_cast<size_t>(actions.size()), tree[m]->items().size());
        for (qsizetype i = 0; i < actions.size(); ++i) {
            const MenuItem* item = tree[m]->items()[static_cast<size_t>(i)];
            SCOPED_TRACE(item->caption().toStdString());
            EXPECT_EQ(actions[i]->isSeparator(), item->isSeparator());
            if (item->isSeparator())
                continue;
            EXPECT_EQ(actions[i]->text(), item->caption());
            EXPECT_EQ(actions[i]->shortcut(), QKeySequence(item->shortcut()));
            dispatched.clear();
            actions[i]->trigger();
            EXPECT_EQ(dispatched, std::vector<const Observable*>{item});
            EXPECT_FALSE(actions[i]->isChecked()) << "the check mark is the handlers' to set";
        }
    }
    rig.form.port.item(3).setChecked(true);
    rig.form.port.item(3).setToolTip(QStringLiteral("/dev/ttyUSB2：已連接"));
    EXPECT_TRUE(window.action(QStringLiteral("port"), 3)->isChecked());
    EXPECT_EQ(window.action(QStringLiteral("port"), 3)->toolTip(), "/dev/ttyUSB2：已連接");
}

// The focus starts on X, not on Halt, where one press of the space bar would pause the readout;
// the menu keys work wherever it is, the keypad hidden.
TEST_F(MainWindowTest, FocusStartsOnXAndShortcutsWorkWhileTheKeypadIsHidden) {
    showActive();
    EXPECT_EQ(QApplication::focusWidget(), widget("cmdX"));
    rig.form.cmdX.setVisible(false);
    const std::pair<QKeyCombination, const MenuItem*> keys[] = {
        {Qt::Key_F2, &rig.form.mnuY軸歸零},
        {Qt::ControlModifier | Qt::Key_X, &rig.form.mnuFileExit}};
    for (const auto& [key, item] : keys) {
        dispatched.clear();
        QTest::keyClick(&window, key.key(), key.keyboardModifiers());
        EXPECT_EQ(dispatched, std::vector<const Observable*>{item}) << item->name().toStdString();
    }
    dispatched.clear();
    QTest::mouseClick(qobject_cast<QPushButton*>(widget("cmdRS")), Qt::LeftButton);
    EXPECT_EQ(dispatched, std::vector<const Observable*>{&rig.form.cmdRS});
}

TEST_F(MainWindowTest, StatusBarFollowsTheBottomEdgeAndPanelTwoShowsTheFileName) {
    EXPECT_FALSE(rig.form.Timer1.enabled()); // the poll timer waits for the start-up
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.statusPanel(1)->text(), "RS232傳輸狀態");
    EXPECT_TRUE(QTime::fromString(window.statusPanel(4)->text(), "HH:mm:ss").isValid());
    const QRect tf = widget("cmdTF")->geometry();
    window.resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(widget("cmdTF")->geometry(), tf);
    const int height = window.statusBar()->height();
    EXPECT_EQ(window.statusBar()->geometry(), QRect(0, 600 - height, 900, height));
    EXPECT_GE(window.statusPanel(1)->width(), 1440 / 15);

    // A path too long for its fixed panel shows its end, where the file name is, and all of it
    // in the tooltip.
    const QString path = QStringLiteral("/home/machinist/measurements/2026/december/part-0042.txt");
    rig.form.sbStatusBar.panel(2).setText(path);
    QLabel* panel = window.statusPanel(2);
    EXPECT_EQ(panel->width(), 2000 / 15);
    EXPECT_EQ(panel->toolTip(), path);
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("part-0042.txt")));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());

    rig.form.window.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(rig.form.window.loaded());
    window.close(); // a second close runs nothing again
    EXPECT_EQ(unloads, 1);
}

// 公 stands at the top of the unit label and 制 at its bottom; a new reading repaints its last
// digits, not the frame behind it.
TEST_F(MainWindowTest, UnitLabelSpansItsHeightAndANewReadingRepaintsOnlyItsChange) {
    rig.form.labX顯示.setCaption(QStringLiteral("   120.003"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QImage unit = rgb(*widget("lab公英制"));
    int top = unit.height();
    int bottom = 0;
    for (int i = 0; i < unit.width() * unit.height(); ++i)
        if (unit.pixel(i % unit.width(), i / unit.width()) != unit.pixel(0, 0))
            top = std::min(top, i / unit.width()), bottom = i / unit.width();
    EXPECT_LT(top, unit.height() / 6);
    EXPECT_GT(bottom, unit.height() * 2 / 3);

    PaintLog reading(*widget("labX顯示"));
    PaintLog frame(*widget("Frame顯示"));
    rig.form.labX顯示.setCaption(QStringLiteral("   120.005"));
    QApplication::processEvents();
    EXPECT_TRUE(frame.painted.isEmpty());
    EXPECT_FALSE(reading.painted.isEmpty());
    EXPECT_LT(reading.painted.boundingRect().width(), widget("labX顯示")->width() / 3);
}

TEST_F(MainWindowTest, GoIsDrawnInTheFaceOfHalt) {
    auto* halt = static_cast<QPushButton*>(widget("CmdHalt"));
    const auto face = [&](const char* caption) {
        rig.form.CmdHalt.setCaption(QString::fromLatin1(caption));
        return QFontInfo(halt->font()).family() + "/" +
               QRawFont::fromFont(halt->font()).familyName();
    };
    EXPECT_EQ(face("Go"), face("Halt"));
    EXPECT_EQ(face("Go").toLower(), "ar pl uming tw/ar pl uming tw");
}

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
                {{"DejaVu Sans", 36, 400}, Qt::AlignLeft, "T A V", "TAV", true}, // kerned
                {{}, Qt::AlignLeft, line, QString(line).replace("979", "981"), true},
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
            l->setAlignment(row.align | (panel ? Qt::Alignment() : Qt::AlignTop));
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
        QRegion painted;
        {
            PaintLog log(own); // a grab paints all of it
            own.showCaption(row.after);
            QApplication::processEvents();
            painted = log.painted;
        }
        EXPECT_EQ(rgb(own), after);
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (before.pixel(x, y) != after.pixel(x, y)) {
                    ASSERT_TRUE(painted.contains(QPoint(x, y))) << x << "," << y;
                }
        EXPECT_EQ(painted.boundingRect().width() < own.width() / 2, row.narrow);
    }
}

TEST(SplashWindow, ShowsItsDefinitionAndTicksHalfASecondAfterItsFirstPaint) {
    SplashForm form;
    int ticks = 0;
    form.Timer1.setHandler([&] {
        ++ticks;
        form.Timer1.setEnabled(false);
    });
    ui::SplashWindow window(form);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.contentsRect().size(), QSize(7455 / 15, 4710 / 15));
    const auto* logo = window.findChild<QLabel*>(QStringLiteral("picLogo"));
    ASSERT_FALSE(logo->pixmap().isNull());
    EXPECT_LE(logo->pixmap().width(), logo->width());
    const int wide = window.findChild<QLabel*>(QStringLiteral("lblProductName"))->width();
    form.lblProductName.setCaption(QStringLiteral("無信號")); // auto-sized: shrinks where it is
    expectWidgetsShow(window, form.controls());
    EXPECT_LT(window.findChild<QLabel*>(QStringLiteral("lblProductName"))->width(), wide);

    // The half second counts from the first paint, however long the splash waited to be shown.
    form.Timer1.setEnabled(true);
    QTest::qWait(300);
    QElapsedTimer clock;
    clock.start();
    window.show();
    window.repaint();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks == 1; }, 5000));
    EXPECT_GE(clock.elapsed(), 499);
}
