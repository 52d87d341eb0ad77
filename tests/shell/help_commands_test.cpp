#include "form_rig.h"
#include "platform/runtime_error.h"
#include "shell/core/help_commands.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

TEST(HelpCommands, ContentsNamesTheCounterUnderTheCurrentCaption) {
    FormRig rig;
    HelpCommands help(rig.form, rig.platform);
    help.mnuHelpContents_Click();
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    help.mnuHelpContents_Click();
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 2U);
    EXPECT_EQ(rig.rig.dialogs.messages[0].prompt, "該程式專接Vx515用");
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::Information);
    EXPECT_EQ(rig.rig.dialogs.messages[0].title, "三軸顯示");
    EXPECT_EQ(rig.rig.dialogs.messages[1].title, "二軸顯示");
    EXPECT_TRUE(rig.rig.help.shown.empty());
}

TEST(HelpCommands, AboutShowsTheVersionUnderTheApplicationTitle) {
    FormRig rig;
    HelpCommands help(rig.form, rig.platform);
    help.mnuHelpAbout_Click();
    rig.rig.app.major = 12;
    rig.rig.app.minor = 3;
    rig.rig.app.revision = 45;
    help.mnuHelpAbout_Click();
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 2U);
    EXPECT_EQ(rig.rig.dialogs.messages[0].prompt, "版本 2.0.0");
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::OkOnly);
    EXPECT_EQ(rig.rig.dialogs.messages[0].title, "Vx");
    EXPECT_EQ(rig.rig.dialogs.messages[1].prompt, "版本 12.3.45");
}

TEST(HelpCommands, ConfiguredHelpFileOpensQuietlyOrTellsWhyItCannot) {
    FormRig rig;
    HelpCommands help(rig.form, rig.platform);
    rig.rig.app.helpFile = QStringLiteral("/usr/share/doc/vx/vx.html");
    help.mnuHelpContents_Click();
    EXPECT_EQ(rig.rig.help.shown, std::vector<QString>{"/usr/share/doc/vx/vx.html"});
    EXPECT_TRUE(rig.rig.dialogs.messages.empty());
    rig.rig.help.failWith = err::HelpUnavailable;
    help.mnuHelpContents_Click();
    ASSERT_EQ(rig.rig.dialogs.messages.size(), 1U);
    EXPECT_EQ(rig.rig.dialogs.messages[0].prompt, standardDescription(err::HelpUnavailable));
    EXPECT_EQ(rig.rig.dialogs.messages[0].type, mb::OkOnly);
    EXPECT_EQ(rig.rig.dialogs.messages[0].title, "Vx");
}
