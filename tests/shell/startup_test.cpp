#include "form_rig.h"
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
