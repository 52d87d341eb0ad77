#include "form_rig.h"
#include "platform/runtime_error.h"
#include "shell/core/shutdown.h"

#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

struct ShutdownTest : ::testing::Test {
    ShutdownTest() {
        forms.add(rig.form.window);
        rig.host.onUnload = [this] {
            int16_t cancel = 0;
            shutdown.Form_Unload(cancel);
        };
        rig.host.geometry = {1200, 900, 8505, 6450};
    }
    std::vector<std::pair<QString, QString>> stored() {
        std::vector<std::pair<QString, QString>> out;
        for (const auto& w : rig.rig.settings.writes) {
            EXPECT_EQ(w.app, "Vx");
            EXPECT_EQ(w.section, "Settings");
            out.emplace_back(w.key, w.value);
        }
        return out;
    }

    FormRig rig;
    LoadedForms forms;
    Shutdown shutdown{rig.form, rig.platform, forms};
};

using KeyValues = std::vector<std::pair<QString, QString>>;

} // namespace

TEST_F(ShutdownTest, ExitClosesBothFilesAndStoresTheGeometryInOrder) {
    rig.rig.files.openAppend(fileno::LogFile, rig.rig.path(QStringLiteral("log.txt")));
    rig.rig.files.openRandom(fileno::PortSettings, rig.rig.path(QStringLiteral("s")), 20);
    shutdown.mnuFileExit_Click();
    EXPECT_EQ(rig.host.unloads, 1);
    EXPECT_FALSE(rig.form.window.loaded());
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::LogFile));
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::PortSettings));
    EXPECT_EQ(stored(), (KeyValues{{"MainLeft", "1200"},
                                   {"MainTop", "900"},
                                   {"MainWidth", "8505"},
                                   {"MainHeight", "6450"}}));
    EXPECT_TRUE(rig.rig.dialogs.messages.empty());
}

TEST_F(ShutdownTest, MaximizedStoresItsNegativeEdgesAndMinimizedStoresNothing) {
    rig.host.state = WindowMaximized;
    rig.host.geometry = {-60, -60, 15480, 11640};
    int16_t cancel = 0;
    shutdown.Form_Unload(cancel);
    EXPECT_EQ(stored(), (KeyValues{{"MainLeft", "-60"},
                                   {"MainTop", "-60"},
                                   {"MainWidth", "15480"},
                                   {"MainHeight", "11640"}}));
    EXPECT_EQ(cancel, 0);

    rig.rig.settings.writes.clear();
    rig.host.state = WindowMinimized;
    shutdown.Form_Unload(cancel);
    EXPECT_TRUE(rig.rig.settings.writes.empty());
}

TEST_F(ShutdownTest, FilesThatFailToCloseAreToldAndNothingElseIsSkipped) {
    rig.rig.files.openAppend(fileno::LogFile, rig.rig.path(QStringLiteral("log.txt")));
    rig.rig.files.openRandom(fileno::PortSettings, rig.rig.path(QStringLiteral("s")), 20);
    rig.rig.files.failNext(FaultyFiles::Op::Close, err::DeviceIoError, 2);
    rig.rig.settings.failingKeys = {QStringLiteral("MainTop")};
    int16_t cancel = 0;
    shutdown.Form_Unload(cancel);
    EXPECT_EQ(rig.rig.dialogs.messages.size(), 2U); // one for each file
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::LogFile));
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::PortSettings));
    // A key that cannot be written is lost quietly; the others are still written.
    EXPECT_EQ(stored(),
              (KeyValues{{"MainLeft", "1200"}, {"MainWidth", "8505"}, {"MainHeight", "6450"}}));
}

TEST_F(ShutdownTest, OtherWindowsAreUnloadedTooButNotTheMainWindowTwice) {
    FormWindow other(QStringLiteral("frmOther"), QString());
    FakeWindowHost otherHost(other);
    forms.add(other);
    shutdown.mnuFileExit_Click();
    EXPECT_EQ(otherHost.unloads, 1);
    EXPECT_EQ(rig.host.unloads, 1);
}
