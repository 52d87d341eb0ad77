#include "form/controls.h"
#include "platform/error_trap.h"
#include "platform/testing/fakes.h"
#include "platform/untrapped.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(FormTimer, TicksOnlyWhenEnabledNeverInsideItselfNorWhileHeld) {
    FormTimer timer(50, false);
    int ticks = 0;
    bool innerRan = true;
    timer.setHandler([&] {
        ++ticks;
        innerRan = timer.fire(); // a tick that lets events run meets another tick
    });
    EXPECT_FALSE(timer.fire());
    timer.setEnabled(true);
    EXPECT_TRUE(timer.fire());
    EXPECT_FALSE(innerRan);
    EXPECT_EQ(ticks, 1);
    {
        FormTimer::Hold hold(timer);
        EXPECT_FALSE(timer.fire());
    }
    EXPECT_TRUE(timer.fire());
    EXPECT_EQ(ticks, 2);
}

TEST(FormTimer, AFailingTickDoesNotBlockTheNextOne) {
    FormTimer timer(50, true);
    timer.setHandler([] { throw RuntimeError(err::DeviceGone); });
    EXPECT_THROW(timer.fire(), RuntimeError);
    EXPECT_FALSE(timer.ticking());
}

TEST(MenuArrayAndStatusBar, MissingIndexesAreRunTimeErrors) {
    MenuArray ports(QStringLiteral("port"));
    ports.add(QStringLiteral("Port1"), 1);
    EXPECT_EQ(ports.item(1).caption(), "Port1");
    ResumeNext step;
    EXPECT_FALSE(step([&] { ports.item(7).setChecked(true); }));
    EXPECT_EQ(step.number(), err::NoSuchArrayElement);
    StatusBar bar;
    bar.add(PanelStyle::Text, QStringLiteral("a"), QString(), 1440, PanelSizing::Spring);
    EXPECT_FALSE(step([&] { bar.panel(2); }));
    EXPECT_EQ(step.number(), err::IndexOutOfBounds);
}

TEST(ErrorTraps, ContinueOnTheChosenNumberOnly) {
    int reactions = 0;
    continueOn(
        err::BadFileNumber, [] { throw RuntimeError(err::BadFileNumber); }, [&] { ++reactions; });
    EXPECT_EQ(reactions, 1);
    EXPECT_THROW(
        continueOn(
            err::BadFileNumber, [] { throw RuntimeError(err::DiskFull); }, [&] { ++reactions; }),
        RuntimeError);
    EXPECT_EQ(reactions, 1);
}

TEST(Dialogs, MessagesWithoutTitleUseTheApplicationTitle) {
    vx::testing::ScriptedDialogs dialogs;
    dialogs.msgBox(QStringLiteral("a"));
    dialogs.setApplicationTitle(QString());
    dialogs.msgBox(QStringLiteral("b"), mb::Information, QStringLiteral("三軸顯示"));
    runUntrapped(dialogs, [] { throw RuntimeError(err::PortNotOpen); });
    ASSERT_EQ(dialogs.messages.size(), 3U);
    EXPECT_EQ(dialogs.messages[0].title, "Vx");
    EXPECT_EQ(dialogs.messages[1].title, "三軸顯示");
    EXPECT_EQ(dialogs.messages[2].type, mb::Critical);
    EXPECT_TRUE(dialogs.messages[2].prompt.contains(QStringLiteral("8018")));
}

TEST(Dialogs, FileDialogKeepsItsNameOnCancelAndRaisesOnlyWhenAsked) {
    vx::testing::ScriptedDialogs dialogs;
    CommonDialog dialog;
    dialogs.fileAnswers = {QStringLiteral("/tmp/a.txt"), std::nullopt, std::nullopt};
    dialogs.showOpen(dialog);
    EXPECT_EQ(dialog.fileName, "/tmp/a.txt");
    dialogs.showOpen(dialog);
    EXPECT_EQ(dialog.fileName, "/tmp/a.txt");
    dialog.cancelError = true;
    try {
        dialogs.showOpen(dialog);
        FAIL();
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), err::CancelChosen);
    }
}
