#include "form_rig.h"
#include "shell/core/main_handlers.h"
#include "shell/core/startup.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

// The start-up's calls on the window system, in order. Another copy asks for this one while the
// main window loads.
struct StartupTest : ::testing::Test {
    StartupTest() {
        const auto log = [this](const char* step) { return [this, step] { steps << step; }; };
        hooks.showMain = log("showMain");
        hooks.unloadSplash = log("unloadSplash");
        hooks.tellAfterSplash = log("tell");
        hooks.activateOtherCopy = log("activateOther");
        hooks.endProgram = log("end");
        hooks.bringMainForward = log("mainForward");
        hooks.bringStartupForward = log("startupForward");
        const auto then = [this](const char* step, void (Startup::*run)()) {
            return [this, step, run] {
                steps << step;
                ((*startup).*run)();
            };
        };
        hooks.showSplash = then("showSplash", &Startup::Form_Load); // the splash's load handler
        hooks.loadMain = then("loadMain", &Startup::OtherCopyStarted);
        hooks.repaintSplash = [this] { steps << "repaint:" + rig.splash.lblVersion.caption(); };
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
// Per-user settings that cannot be used are told once, before the splash; the main window's
// warnings wait for the splash to go.
TEST_F(StartupTest, SplashHandsOverOnceAndAnotherCopyBringsForwardWhatIsShown) {
    rig.rig.app.minor = 3;
    rig.rig.app.revision = 45;
    rig.rig.settings.refused = RuntimeError(err::PathFileAccessError, QStringLiteral("Vx.conf"));
    rig.rig.dialogs.whileMessageOpen = [&](auto& told) { steps << told.prompt.right(7); };
    EXPECT_TRUE(startup->Main());
    EXPECT_TRUE(rig.splash.Timer1.fire());
    EXPECT_FALSE(rig.splash.Timer1.fire());
    startup->OtherCopyStarted();
    EXPECT_EQ(steps,
              QStringList({"Vx.conf", "showSplash", "repaint:版本 2.3.45", "loadMain",
                           "startupForward", "showMain", "unloadSplash", "tell", "mainForward"}));
}

TEST_F(StartupTest, ASecondCopyPointsToTheFirstAndEnds) {
    otherCopy = true;
    EXPECT_FALSE(startup->Main());
    EXPECT_EQ(steps, QStringList({"activateOther", "end"}));
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    const ScriptedDialogs::Message& told = rig.rig.dialogs.messages[0];
    EXPECT_EQ(told.title + ": " + told.prompt, "Vx: " + Startup::alreadyRunningMessage());
    EXPECT_EQ(told.type, mb::Critical);
}

// No counter answers: the start-up names the cause, the first tick again as it ends the program.
TEST_F(StartupTest, WithAPortThatCannotBeHadEveryMessageNamesTheCauseAndNoneBlamesTheCable) {
    LoadedForms forms;
    MainHandlers handlers(rig.form, rig.state, rig.platform, forms, rig.rig.devices,
                          &rig.splash.lblProductName);
    rig.serial.addPort(1);
    rig.serial.holdPort(1, err::PortAccessDenied); // no settings file: port 1, the component's own
    handlers.startup.Form_Load();
    handlers.poll.Timer1_Timer();
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 2U);
    for (const ScriptedDialogs::Message& m : rig.rig.dialogs.messages)
        EXPECT_TRUE(m.prompt.contains(standardDescription(err::PortAccessDenied)) &&
                    !(m.prompt + m.title).contains(QStringLiteral("USB")));
    EXPECT_EQ(rig.host.unloads, 1);
}
