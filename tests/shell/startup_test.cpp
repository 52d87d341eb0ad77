#include "form_rig.h"
#include "shell/core/main_handlers.h"
#include "shell/core/startup.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

// The start-up's calls on the window system, in order. Another copy asks for this one while the
// main window loads (the waits of the handshake and the scan let it in).
struct StartupTest : ::testing::Test {
    StartupTest() {
        const std::pair<std::function<void()> StartupHooks::*, const char*> named[] = {
            {&StartupHooks::showMain, "showMain"},
            {&StartupHooks::unloadSplash, "unloadSplash"},
            {&StartupHooks::activateOtherCopy, "activateOther"},
            {&StartupHooks::endProgram, "end"},
            {&StartupHooks::bringMainForward, "mainForward"},
            {&StartupHooks::bringStartupForward, "startupForward"}};
        for (const auto& [hook, name] : named)
            hooks.*hook = [this, step = QString::fromLatin1(name)] { steps << step; };
        hooks.showSplash = [this] {
            steps << "showSplash";
            startup->Form_Load(); // loading the splash runs its load handler
        };
        hooks.repaintSplash = [this] { steps << "repaint:" + rig.splash.lblVersion.caption(); };
        hooks.loadMain = [this] {
            steps << "loadMain";
            startup->OtherCopyStarted();
        };
        hooks.otherCopyRunning = [this] { return otherCopy; };
        startup.emplace(rig.splash, rig.platform, rig.rig.app, hooks);
        rig.splash.Timer1.setHandler([this] { startup->Timer1_Timer(); });
    }

    FormRig rig;
    StartupHooks hooks;
    std::optional<Startup> startup;
    QStringList steps;
    bool otherCopy = false;
};

} // namespace

// The splash shows the version from its first paint and its tick hands over once; another copy
// brings forward what the start-up shows, never the main window that is not yet to be seen.
TEST_F(StartupTest, SplashHandsOverOnceAndAnotherCopyBringsForwardWhatIsShown) {
    rig.rig.app.minor = 3;
    rig.rig.app.revision = 45;
    EXPECT_TRUE(startup->Main());
    EXPECT_TRUE(rig.splash.Timer1.fire());
    EXPECT_FALSE(rig.splash.Timer1.fire());
    startup->OtherCopyStarted();
    EXPECT_EQ(steps, QStringList({"showSplash", "repaint:版本 2.3.45", "loadMain", "startupForward",
                                  "showMain", "unloadSplash", "mainForward"}));
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
