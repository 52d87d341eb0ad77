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

// Every control stands on the window as its definition says, at 15 twips a pixel.
void expectWidgetsShow(const QWidget& window, const std::vector<Control*>& controls) {
    for (const Control* c : controls) {
        SCOPED_TRACE(c->name().toStdString());
        const QWidget* w = window.findChild<QWidget*>(c->name());
        ASSERT_NE(w, nullptr);
        const Twips g = c->geometry();
        const QRect place(g.left / 15, g.top / 15, g.width / 15, g.height / 15);
        EXPECT_TRUE(c->autoSize() ? w->pos() == place.topLeft() : w->geometry() == place);
        // In its frame, or else on the window's client area, which is no control.
        if (c->container())
            EXPECT_EQ(w->parentWidget()->objectName(), c->container()->name());
        else
            EXPECT_TRUE(std::none_of(controls.begin(), controls.end(), [&](const Control* o) {
                return o->name() == w->parentWidget()->objectName();
            }));
        const QString text =
            w->property(qobject_cast<const QGroupBox*>(w) ? "title" : "text").toString();
        EXPECT_EQ(c->kind() == ControlKind::PictureBox ? QString() : text, c->caption());
        EXPECT_EQ(w->toolTip(), c->toolTip());
        EXPECT_EQ(w->palette().color(QPalette::WindowText),
                  ui::qtColor(c->foreColor(), QApplication::palette()));
        EXPECT_EQ(w->isHidden(), !c->visible());
        EXPECT_EQ(w->focusPolicy() != Qt::NoFocus, c->kind() == ControlKind::Button);
        if (c->font()) {
            EXPECT_EQ(std::tuple(w->font().family(), w->font().pointSizeF(), w->font().bold()),
                      std::tuple(c->font()->face, c->font()->points, c->font()->weight >= 700));
        }
    }
}

struct MainWindowTest : ::testing::Test {
    QWidget* widget(const char* name) { return window.findChild<QWidget*>(name); }

    FormRig rig;
    std::vector<const Observable*> dispatched;
    int unloads = 0;
    ui::MainWindow window{rig.form, [this](const Observable& s) { dispatched.push_back(&s); },
                          [this] { ++unloads; }};
};

} // namespace

TEST_F(MainWindowTest, ControlsFollowTheDefinitionAndWhatTheHandlersChange) {
    std::map<int, QString> tabs; // the buttons in their tab order
    for (const Control* c : rig.form.controls())
        if (c->kind() == ControlKind::Button)
            tabs[c->tabIndex()] = c->name();
    QWidget* w = window.findChild<QWidget*>(tabs.begin()->second);
    for (const auto& [tab, name] : tabs) {
        while (!qobject_cast<QPushButton*>(w))
            w = w->nextInFocusChain();
        EXPECT_EQ(w->objectName(), name);
        w = w->nextInFocusChain();
    }
    EXPECT_EQ(widget("Frame顯示")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(qobject_cast<QLabel*>(widget("labX顯示"))->alignment() & Qt::AlignRight);
    rig.form.labX顯示.setForeColor(color::Red);
    rig.form.Frame顯示.setHeight(2295);
    rig.form.labZ顯示.setVisible(false);
    rig.form.lab計數顯示.setCaption(QStringLiteral("12"));
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    expectWidgetsShow(window, rig.form.controls());
    EXPECT_EQ(window.windowTitle(), "二軸顯示");
}

TEST_F(MainWindowTest, MenusShowTheTreeAndHandTheItemToTheHandlers) {
    QStringList defined, shown;
    std::vector<const Observable*> items;
    for (const MenuItem* menu : rig.form.menuBar())
        for (const MenuItem* item : menu->items()) {
            defined << menu->caption() + ">" + (item->isSeparator() ? "" : item->caption()) + " " +
                           QKeySequence(item->shortcut()).toString();
            if (!item->isSeparator())
                items.push_back(item);
        }
    for (QAction* top : window.menuBar()->actions())
        for (QAction* action : top->menu()->actions()) {
            shown << top->text() + ">" + action->text() + " " + action->shortcut().toString();
            if (!action->isSeparator())
                action->trigger();
            EXPECT_FALSE(action->isChecked()) << "the check mark is the handlers' to set";
        }
    EXPECT_EQ(shown, defined);
    EXPECT_EQ(dispatched, items);
    rig.form.port.item(3).setChecked(true);
    rig.form.port.item(3).setToolTip(QStringLiteral("/dev/ttyUSB2：已連接"));
    EXPECT_TRUE(window.action(QStringLiteral("port"), 3)->isChecked());
    EXPECT_EQ(window.action(QStringLiteral("port"), 3)->toolTip(), "/dev/ttyUSB2：已連接");
}

// Not on Halt, where one press of the space bar would pause the readout.
TEST_F(MainWindowTest, FocusStartsOnXAndShortcutsWorkWhileTheKeypadIsHidden) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), widget("cmdX"));
    rig.form.cmdX.setVisible(false);
    QTest::keyClick(&window, Qt::Key_F2);
    QTest::mouseClick(qobject_cast<QPushButton*>(widget("cmdRS")), Qt::LeftButton);
    EXPECT_EQ(dispatched, (std::vector<const Observable*>{&rig.form.mnuY軸歸零, &rig.form.cmdRS}));
}

TEST_F(MainWindowTest, StatusBarFollowsTheBottomEdgeShowsTheFileNameAndKeepsTime) {
    EXPECT_FALSE(rig.form.Timer1.enabled()); // the poll timer waits for the start-up
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.statusPanel(1)->text(), "RS232傳輸狀態");
    const QRect tf = widget("cmdTF")->geometry();
    window.resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(widget("cmdTF")->geometry(), tf);
    const int height = window.statusBar()->height();
    EXPECT_EQ(window.statusBar()->geometry(), QRect(0, 600 - height, 900, height));
    // Narrower than the panels need, the window cuts them off at the right; none is drawn over
    // another.
    const auto place = [&](int n) {
        return QRect(window.statusPanel(n)->mapTo(&window, QPoint()),
                     window.statusPanel(n)->size());
    };
    const QPoint first = place(1).topLeft();
    window.resize(300, 600);
    QApplication::processEvents();
    EXPECT_EQ(place(1).topLeft(), first);
    EXPECT_GE(place(1).width(), 1440 / 15);
    for (int n = 2; n <= 4; ++n)
        EXPECT_GT(place(n).left(), place(n - 1).right()) << n;

    // A path too long for its fixed panel shows its end, where the file name is, and all of it
    // in the tooltip.
    const QString path = QStringLiteral("/home/machinist/measurements/2026/december/part-0042.txt");
    rig.form.sbStatusBar.panel(2).setText(path);
    QLabel* panel = window.statusPanel(2);
    EXPECT_EQ(panel->width(), 2000 / 15);
    EXPECT_EQ(panel->toolTip(), path);
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("part-0042.txt")));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width());

    // The clock shows each second within a tick or two of its start, whether the ticks run or one
    // of them holds a message box.
    QLabel* clock = window.statusPanel(4);
    const auto nextSecond = [&] {
        const QString last = clock->text();
        const bool changed = QTest::qWaitFor([&] { return clock->text() != last; }, 1500);
        const QTime shown = QTime::fromString(clock->text(), "HH:mm:ss");
        EXPECT_TRUE(shown.isValid());
        EXPECT_LT((shown.msecsTo(QTime::currentTime()) + 86'400'000) % 86'400'000, 400);
        return changed;
    };
    rig.form.Timer1.setEnabled(true);
    EXPECT_TRUE(nextSecond());
    int held = 0;
    rig.form.Timer1.setHandler([&] { held += held == 0 && nextSecond() ? 1 : 0; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return held != 0; }, 3000));
    rig.form.window.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(rig.form.window.loaded());
    window.close(); // a second close runs nothing again
    EXPECT_EQ(unloads, 1);
}

// 公 at the top of the unit label and 制 at its bottom; a new reading repaints not the frame.
TEST_F(MainWindowTest, UnitLabelSpansItsHeightAndANewReadingRepaintsOnlyItsChange) {
    rig.form.labX顯示.setCaption(QStringLiteral("   120.003"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QImage unit = widget("lab公英制")->grab().toImage();
    QRect ink;
    for (int i = 0; i < unit.width() * unit.height(); ++i)
        if (unit.pixel(i % unit.width(), i / unit.width()) != unit.pixel(0, 0))
            ink |= QRect(i % unit.width(), i / unit.width(), 1, 1);
    EXPECT_LT(ink.top(), unit.height() / 6);
    EXPECT_GT(ink.bottom(), unit.height() * 2 / 3);

    PaintLog reading(*widget("labX顯示"));
    PaintLog frame(*widget("Frame顯示"));
    rig.form.labX顯示.setCaption(QStringLiteral("   120.005"));
    QApplication::processEvents();
    EXPECT_TRUE(frame.painted.isEmpty());
    EXPECT_FALSE(reading.painted.isEmpty());
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

// Shaped, or placed from glyphs it has learnt; of a new reading only its last digits repainted.
TEST(CaptionLabel, DrawsAsQLabelAndRepaintsWhatChanges) {
    const QString line = QStringLiteral("X   120.003 Y   -45.246 Z     9.979  M\r\n");
    const struct Row {
        FontDefinition font;
        Qt::Alignment align; // a status panel: framed, centred, not wrapping
        QString before, after;
    } rows[] = {{kai(36, 700), Qt::AlignRight | Qt::AlignTop, "   120.003", "   120.005"},
                {{"DejaVu Sans", 36, 400}, Qt::AlignLeft, "T A V", "TAV"}, // kerned
                {{}, Qt::AlignLeft, line, QString(line).replace("979", "981")},
                {ming(9, 400), Qt::AlignLeft | Qt::AlignVCenter, "03:01:19", "03:01:20"}};
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
        const QImage before = label.grab().toImage();
        label.setText(row.after);
        const QImage after = label.grab().toImage();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(own.grab().toImage(), before);              // shaped
        for (const QString& text : {row.after, row.before}) { // it learns their glyphs
            own.showCaption(text);
            QApplication::processEvents();
        }
        PaintLog log(own);
        own.showCaption(row.after);
        QApplication::processEvents();
        const QRegion painted = log.painted; // before a grab paints all of it
        EXPECT_EQ(own.grab().toImage(), after);
        for (int i = 0; i < after.width() * after.height(); ++i) {
            const QPoint p(i % after.width(), i / after.width());
            ASSERT_TRUE(before.pixel(p) == after.pixel(p) || painted.contains(p)) << p.x() << p.y();
        }
        EXPECT_LT(painted.boundingRect().width(), own.width() / 2);
    }
}

TEST(SplashWindow, ShowsItsDefinitionAndTicksHalfASecondAfterItsFirstPaint) {
    SplashForm form;
    ui::SplashWindow window(form);
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.contentsRect().size(), QSize(7455 / 15, 4710 / 15));
    const auto* logo = window.findChild<QLabel*>(QStringLiteral("picLogo"));
    EXPECT_TRUE(!logo->pixmap().isNull() && logo->pixmap().width() <= logo->width());
    const int wide = window.findChild<QLabel*>(QStringLiteral("lblProductName"))->width();
    form.lblProductName.setCaption(QStringLiteral("無信號")); // auto-sized: shrinks where it is
    expectWidgetsShow(window, form.controls());
    EXPECT_LT(window.findChild<QLabel*>(QStringLiteral("lblProductName"))->width(), wide);
    // Its half second counts from the first paint, however long it waited to be shown.
    int ticks = 0;
    form.Timer1.setHandler([&] { ++ticks; });
    form.Timer1.setEnabled(false), form.Timer1.setEnabled(true);
    QTest::qWait(300);
    QElapsedTimer shown;
    shown.start();
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 5000));
    EXPECT_GE(shown.elapsed(), 499);
}
