#include "form_rig.h"
#include "shell/ui/main_window.h"
#include "shell/ui/splash_window.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

QString textOf(const QWidget* w) {
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->text();
    if (const auto* button = qobject_cast<const QPushButton*>(w))
        return button->text();
    return qobject_cast<const QGroupBox*>(w)->title();
}

// Every control of the form stands on the window as its definition says, at 15 twips a pixel.
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
        EXPECT_EQ(c->kind() == ControlKind::PictureBox ? QString() : textOf(w), c->caption());
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

    FormRig rig;
    std::vector<const Observable*> dispatched;
    int unloads = 0;
    ui::MainWindow window{rig.form, [this](const Observable& s) { dispatched.push_back(&s); },
                          [this] { ++unloads; }};
};

} // namespace

TEST_F(MainWindowTest, ControlsColoursAndTabOrderFollowTheDefinition) {
    expectWidgetsShow(window, rig.form.controls());
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

TEST_F(MainWindowTest, ShortcutsWorkWhileTheKeypadIsHidden) {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    rig.form.cmdX.setVisible(false);
    const std::pair<QKeyCombination, const MenuItem*> keys[] = {
        {Qt::Key_F1, &rig.form.mnuX軸歸零},
        {Qt::Key_F2, &rig.form.mnuY軸歸零},
        {Qt::Key_F9, &rig.form.mnu鎖住按鍵},
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

TEST_F(MainWindowTest, StartsStoppedWithItsSizesAndShowsWhatHandlersChange) {
    EXPECT_EQ(window.windowTitle(), "三軸顯示");
    // The poll timer waits for the start-up; the port has its line before the stored one is set.
    EXPECT_FALSE(rig.form.Timer1.enabled());
    EXPECT_EQ(rig.form.Timer1.interval(), 50);
    EXPECT_EQ(rig.serial.settings(), "9600,N,8,2");
    EXPECT_EQ(rig.serial.inBufferSize(), 1024);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.centralWidget()->height(), 5160 / 15);
    EXPECT_EQ(window.width(), 8385 / 15);
    EXPECT_EQ(window.statusPanel(1)->text(), "RS232傳輸狀態");
    EXPECT_EQ(window.statusPanel(2)->width(), 2000 / 15);
    EXPECT_TRUE(QTime::fromString(window.statusPanel(4)->text(), "HH:mm:ss").isValid());
    // Enlarged: the controls stay, the status bar follows the bottom edge and takes the width.
    const QRect tf = widget("cmdTF")->geometry();
    window.resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(widget("cmdTF")->geometry(), tf);
    EXPECT_EQ(window.statusBar()->geometry(),
              QRect(0, 600 - window.statusBar()->height(), 900, window.statusBar()->height()));
    EXPECT_GE(window.statusPanel(1)->width(), 1440 / 15);

    rig.form.Frame顯示.setHeight(2295);
    rig.form.labZ顯示.setVisible(false);
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    rig.form.sbStatusBar.panel(1).setText(QStringLiteral("信號斷接14:05:09"));
    expectWidgetsShow(window, rig.form.controls());
    EXPECT_EQ(window.windowTitle(), "二軸顯示");
    EXPECT_EQ(window.statusPanel(1)->text(), "信號斷接14:05:09");

    rig.form.window.unload();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(rig.form.window.loaded());
    window.close(); // a second close runs nothing again
    EXPECT_EQ(unloads, 1);
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
    expectWidgetsShow(window, form.controls());
    const auto* logo = window.findChild<QLabel*>(QStringLiteral("picLogo"));
    ASSERT_FALSE(logo->pixmap().isNull());
    EXPECT_LE(logo->pixmap().width(), logo->width());
    // An auto-sized label shrinks to a shorter text where it stands.
    auto* product = window.findChild<QLabel*>(QStringLiteral("lblProductName"));
    const QRect wide = product->geometry();
    form.lblProductName.setCaption(QStringLiteral("無信號"));
    EXPECT_LT(product->width(), wide.width());
    EXPECT_EQ(product->pos(), wide.topLeft());

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
