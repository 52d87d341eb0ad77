#include "form/controls.h"
#include "platform/error_trap.h"
#include "platform/log_categories.h"
#include "platform/testing/fakes.h"
#include "platform/untrapped.h"

#include <gtest/gtest.h>

using namespace vx;

// A tick runs only while enabled and not held, never inside itself, and one that fails does not
// keep the next from running.
TEST(FormTimer, TicksOnlyWhenEnabledNeverInsideItselfNorWhileHeld) {
    FormTimer timer(50, false);
    std::vector<bool> inner;
    timer.setHandler([&] {
        inner.push_back(timer.fire());
        throw RuntimeError(err::DeviceGone);
    });
    EXPECT_FALSE(timer.fire());
    timer.setEnabled(true);
    EXPECT_THROW(timer.fire(), RuntimeError);
    {
        FormTimer::Hold hold(timer);
        EXPECT_FALSE(timer.fire());
    }
    EXPECT_THROW(timer.fire(), RuntimeError);
    EXPECT_EQ(inner, std::vector<bool>({false, false}));
}

// Missing indexes are the run-time errors 340 and 35600; a handler that branches on a number goes
// on after it and ends on any other.
TEST(ErrorTraps, MissingIndexesAndTheChosenNumberOnly) {
    MenuArray ports(QStringLiteral("port"));
    ports.add(QStringLiteral("Port1"), 1);
    StatusBar bar;
    bar.add(PanelStyle::Text, QStringLiteral("a"), QString(), 1440, PanelSizing::Spring);
    int reactions = 0;
    const auto reaction = [&] { ++reactions; };
    continueOn(
        err::NoSuchArrayElement, [&] { ports.item(2); }, reaction);
    EXPECT_THROW(continueOn(
                     err::NoSuchArrayElement, [&] { bar.panel(2); }, reaction),
                 RuntimeError);
    EXPECT_EQ(reactions, 1);
}

TEST(Dialogs, AnUntrappedErrorIsToldWithItsNumber) {
    vx::testing::ScriptedDialogs dialogs;
    runUntrapped(dialogs, [] { throw RuntimeError(err::PortNotOpen); });
    ASSERT_EQ(dialogs.messages.size(), 1U);
    EXPECT_EQ(dialogs.messages[0].type, mb::Critical);
    EXPECT_TRUE(dialogs.messages[0].prompt.contains(QStringLiteral("8018")));
}

// A view is told of changes only while its subscription lives, whichever goes first, and an
// observer may end a subscription while the holder is telling.
TEST(Observable, AnObserverLastsAsLongAsItsSubscription) {
    std::vector<QString> told;
    ControlDefinition definition;
    definition.name = QStringLiteral("lab");
    auto label = std::make_unique<Control>(definition);
    Observable::Subscription second;
    Observable::Subscription first = label->observe([&](unsigned) {
        told.push_back(QStringLiteral("first"));
        second.cancel();
    });
    second = label->observe([&](unsigned) { told.push_back(QStringLiteral("second")); });
    label->setCaption(QStringLiteral("a"));
    EXPECT_EQ(told, std::vector<QString>{QStringLiteral("first")});
    first = Observable::Subscription();
    label->setCaption(QStringLiteral("b"));
    EXPECT_EQ(told.size(), 1U);
    Observable::Subscription outlived = label->observe([&](unsigned) { told.clear(); });
    label.reset(); // the holder goes first: ending the subscription later is harmless
}

// An error skipped on purpose is told to its logging category, and only when that is switched on.
TEST(ErrorTraps, SkippedErrorsAreLoggedOnlyWhenAskedFor) {
    static QStringList logged;
    const QtMessageHandler before = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext&, const QString& text) { logged << text; });
    for (const bool on : {false, true}) {
        QLoggingCategory::setFilterRules(on ? QStringLiteral("vx.files=true") : QString());
        ResumeNext skip(vxFiles);
        skip([] { throw RuntimeError(err::DiskFull); });
    }
    qInstallMessageHandler(before);
    QLoggingCategory::setFilterRules(QString());
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged[0].contains(QStringLiteral("61")));
}
