#include "form_rig.h"
#include "platform/runtime_error.h"
#include "shell/core/help_commands.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

// Without a help file, Contents names the counter under the window's current caption; with one,
// the file opens quietly, or the operator is told why it cannot.
TEST(HelpCommands, ContentsNamesTheCounterOrOpensTheHelpFile) {
    FormRig rig;
    HelpCommands help(rig.form, rig.platform);
    rig.form.window.setCaption(QStringLiteral("二軸顯示"));
    help.mnuHelpContents_Click();
    rig.rig.app.helpFile = QStringLiteral("/usr/share/doc/vx/vx.html");
    help.mnuHelpContents_Click();
    EXPECT_EQ(rig.rig.help.shown, std::vector<QString>{"/usr/share/doc/vx/vx.html"});
    rig.rig.help.failWith = err::HelpUnavailable;
    help.mnuHelpContents_Click();
    const auto& told = rig.rig.dialogs.messages;
    ASSERT_EQ(told.size(), 2U);
    EXPECT_EQ(told[0].type, mb::Information);
    EXPECT_EQ(told[0].title, "二軸顯示");
    EXPECT_EQ(told[1].prompt, standardDescription(err::HelpUnavailable));
    EXPECT_EQ(told[1].title, "Vx");
}
