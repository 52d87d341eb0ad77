#include "form_rig.h"
#include "shell/core/main_handlers.h"
#include "shell/core/startup.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

// The start-up's calls on the window system, in order.
struct StartupTest : ::testing::Test {
    StartupTest() {
        const auto step = [this](const char* name) { return [this, name] { steps << name; }; };
        hooks.showSplash = [this] {
            steps << "showSplash";
            startup->Form_Load(); // loading the splash runs its load handler
        };
        hooks.repaintSplash = [this] { steps << "repaint:" + rig.splash.lblVersion.caption(); };
        hooks.loadMain = step("loadMain");
        hooks.showMain = step("showMain");
        hooks.unloadSplash = step("unloadSplash");
        hooks.otherCopyRunning = [this] { return otherCopy; };
        hooks.activateOtherCopy = step("activateOther");
        hooks.endProgram = step("end");
        startup.emplace(rig.splash, rig.platform, rig.rig.app, hooks);
    }

    FormRig rig;
    StartupHooks hooks;
    std::optional<Startup> startup;
    QStringList steps;
    bool otherCopy = false;
};

} // namespace

TEST_F(StartupTest, SplashShowsTheVersionFromItsFirstPaintAndItsTickHandsOver) {
    rig.rig.app.minor = 3;
    rig.rig.app.revision = 45;
    EXPECT_TRUE(startup->Main());
    EXPECT_EQ(steps, QStringList({"showSplash", "repaint:版本 2.3.45"}));
    EXPECT_TRUE(rig.splash.Timer1.enabled());
    steps.clear();
    rig.splash.Timer1.setHandler([this] { startup->Timer1_Timer(); });
    EXPECT_TRUE(rig.splash.Timer1.fire());
    EXPECT_EQ(steps, QStringList({"loadMain", "showMain", "unloadSplash"}));
    EXPECT_FALSE(rig.splash.Timer1.fire()) << "the splash hands over once";
}

TEST_F(StartupTest, ASecondCopyPointsToTheFirstAndEnds) {
    otherCopy = true;
    EXPECT_FALSE(startup->Main());
    EXPECT_EQ(steps, QStringList({"activateOther", "end"}));
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(rig.rig.dialogs.messages[0].prompt, "這程式已執行");
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::Critical);
    EXPECT_EQ(rig.rig.dialogs.messages[0].title, "Vx");
}

// Another copy that asks while the main window loads (the waits of the handshake and the scan let
// it in) brings forward what the start-up shows, never the main window that is not yet to be seen.
TEST_F(StartupTest, AnotherCopyDuringTheStartBringsTheSplashForwardNotTheMainWindow) {
    hooks.loadMain = [this] { startup->OtherCopyStarted(); };
    hooks.bringStartupForward = [this] { steps.push_back("startupForward"); };
    hooks.bringMainForward = [this] { steps.push_back("mainForward"); };
    startup.emplace(rig.splash, rig.platform, rig.rig.app, hooks);
    startup->Main();
    steps.clear();
    startup->Timer1_Timer();
    startup->OtherCopyStarted();
    EXPECT_EQ(steps, QStringList({"startupForward", "showMain", "unloadSplash", "mainForward"}));
}

// The only port is there but cannot be had and no counter answers: the start-up names the cause at
// once, the first tick names it again as it ends the program, and no message blames the cable.
TEST(StartupWithAPortThatCannotBeHad, EveryMessageNamesTheCauseAndNoneBlamesTheCable) {
    for (const int number : {err::PortInUse, err::PortAccessDenied}) {
        FormRig rig;
        LoadedForms forms;
        MainHandlers handlers(rig.form, rig.state, rig.platform, forms, &rig.splash.lblProductName);
        rig.serial.addPort(1);
        rig.serial.holdPort(1, number); // no settings file: port 1, the component's own
        handlers.startup.Form_Load();
        handlers.poll.Timer1_Timer();
        ASSERT_EQ(rig.rig.dialogs.messages.size(), 2U);
        for (const ScriptedDialogs::Message& message : rig.rig.dialogs.messages) {
            EXPECT_TRUE(message.prompt.contains(standardDescription(number)));
            EXPECT_FALSE((message.prompt + message.title).contains(QStringLiteral("USB")));
        }
        EXPECT_EQ(rig.host.unloads, 1);
    }
}
