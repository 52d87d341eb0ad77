#include "form_rig.h"
#include "shell/core/main_handlers.h"
#include "shell/core/startup.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct StartupTest : ::testing::Test {
    StartupTest() {
        hooks.showSplash = [this] {
            steps.push_back("showSplash");
            startup->Form_Load(); // loading the splash runs its load handler
        };
        hooks.repaintSplash = [this] {
            steps.push_back("repaint:" + rig.splash.lblVersion.caption());
        };
        hooks.loadMain = [this] {
            steps.push_back(rig.splash.Timer1.enabled() ? "loadMain(timer on)" : "loadMain");
        };
        hooks.showMain = [this] { steps.push_back("showMain"); };
        hooks.unloadSplash = [this] { steps.push_back("unloadSplash"); };
        hooks.otherCopyRunning = [this] { return otherCopy; };
        hooks.activateOtherCopy = [this] { steps.push_back("activateOther"); };
        hooks.endProgram = [this] { steps.push_back("end"); };
    }
    Startup& make() {
        startup = std::make_unique<Startup>(rig.splash, rig.platform, rig.rig.app, hooks);
        return *startup;
    }

    FormRig rig;
    StartupHooks hooks;
    std::unique_ptr<Startup> startup;
    std::vector<QString> steps;
    bool otherCopy = false;
};

} // namespace

TEST_F(StartupTest, SplashShowsTheVersionFromItsFirstPaintThenHandsOver) {
    EXPECT_EQ(rig.splash.lblVersion.caption(), "版本 1.0");
    EXPECT_TRUE(make().Main());
    EXPECT_EQ(steps, (std::vector<QString>{"showSplash", "repaint:版本 2.0.0"}));
    EXPECT_TRUE(rig.splash.Timer1.enabled());
    EXPECT_EQ(rig.splash.Timer1.interval(), 500);
    steps.clear();
    startup->Timer1_Timer();
    EXPECT_EQ(steps, (std::vector<QString>{"loadMain", "showMain", "unloadSplash"}));
    EXPECT_FALSE(rig.splash.Timer1.enabled());
}

TEST_F(StartupTest, VersionNumbersAreWrittenInFull) {
    rig.rig.app.major = 12;
    rig.rig.app.minor = 3;
    rig.rig.app.revision = 45;
    make().Form_Load();
    EXPECT_EQ(rig.splash.lblVersion.caption(), "版本 12.3.45");
}

TEST_F(StartupTest, ASecondCopyPointsToTheFirstAndEnds) {
    otherCopy = true;
    EXPECT_FALSE(make().Main());
    EXPECT_EQ(steps, (std::vector<QString>{"activateOther", "end"}));
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(rig.rig.dialogs.messages[0].prompt, "這程式已執行");
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::Critical);
    EXPECT_EQ(rig.rig.dialogs.messages[0].title, "Vx");
    EXPECT_TRUE(rig.rig.app.title.isEmpty());
}

// Another copy that asks while the main window loads (the waits of the handshake and the scan let
// it in) brings forward what the start-up shows, never the main window that is not yet to be seen.
TEST_F(StartupTest, AnotherCopyDuringTheStartBringsTheSplashForwardNotTheMainWindow) {
    hooks.loadMain = [this] { startup->OtherCopyStarted(); };
    hooks.bringStartupForward = [this] { steps.push_back("startupForward"); };
    hooks.bringMainForward = [this] { steps.push_back("mainForward"); };
    make().Main();
    steps.clear();
    startup->Timer1_Timer();
    startup->OtherCopyStarted();
    EXPECT_EQ(steps,
              (std::vector<QString>{"startupForward", "showMain", "unloadSplash", "mainForward"}));
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
