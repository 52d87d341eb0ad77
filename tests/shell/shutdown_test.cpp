#include "form_rig.h"
#include "platform/qt_settings_store.h"
#include "platform/runtime_error.h"
#include "shell/core/shutdown.h"

#include <QSettings>
#include <gtest/gtest.h>

using namespace vx;
using namespace vx::testing;

namespace {

using KeyValues = std::vector<std::pair<QString, QString>>;

struct ShutdownTest : ::testing::Test {
    ShutdownTest() {
        forms.add(rig.form.window);
        rig.host.onUnload = [this] {
            int16_t cancel = 0;
            shutdown.Form_Unload(cancel);
            EXPECT_EQ(cancel, 0);
        };
        rig.host.geometry = {1200, 900, 8505, 6450};
        rig.rig.files.openAppend(fileno::LogFile, rig.rig.path(QStringLiteral("log.txt")));
        rig.rig.files.openRandom(fileno::PortSettings, rig.rig.path(QStringLiteral("s")), 20);
    }
    KeyValues stored() {
        KeyValues out;
        for (const auto& w : rig.rig.settings.writes)
            out.emplace_back(w.app + "/" + w.section + "/" + w.key, w.value);
        rig.rig.settings.writes.clear();
        return out;
    }

    FormRig rig;
    LoadedForms forms;
    Shutdown shutdown{rig.form, rig.platform, forms};
};

} // namespace

TEST_F(ShutdownTest, ExitClosesTheFilesAndOtherWindowsAndStoresTheGeometryInOrder) {
    FormWindow other(QStringLiteral("frmOther"), QString());
    FakeWindowHost otherHost(other);
    forms.add(other);
    shutdown.mnuFileExit_Click();
    EXPECT_EQ(otherHost.unloads, 1);
    EXPECT_EQ(rig.host.unloads, 1);
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::LogFile));
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::PortSettings));
    EXPECT_EQ(stored(), (KeyValues{{"Vx/Settings/MainLeft", "1200"},
                                   {"Vx/Settings/MainTop", "900"},
                                   {"Vx/Settings/MainWidth", "8505"},
                                   {"Vx/Settings/MainHeight", "6450"}}));
    EXPECT_TRUE(rig.rig.dialogs.messages.empty());
}

TEST_F(ShutdownTest, MaximizedStoresItsNegativeEdgesAndMinimizedNothing) {
    rig.host.state = WindowMaximized;
    rig.host.geometry = {-60, -60, 15480, 11640};
    rig.form.window.unload();
    EXPECT_EQ(stored(), (KeyValues{{"Vx/Settings/MainLeft", "-60"},
                                   {"Vx/Settings/MainTop", "-60"},
                                   {"Vx/Settings/MainWidth", "15480"},
                                   {"Vx/Settings/MainHeight", "11640"}}));
    rig.host.state = WindowMinimized;
    int16_t cancel = 0;
    shutdown.Form_Unload(cancel);
    EXPECT_TRUE(stored().empty());
}

// A file that fails to close is told, and nothing after it is skipped; a key that cannot be
// written is lost quietly and the others are still written.
TEST_F(ShutdownTest, FailuresSkipNothingElse) {
    rig.rig.files.failNext(FaultyFiles::Op::Close, err::DeviceIoError, 2);
    rig.rig.settings.failingKeys = {QStringLiteral("MainTop")};
    rig.form.window.unload();
    EXPECT_EQ(rig.rig.dialogs.messages.size(), 2U);
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::LogFile));
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::PortSettings));
    EXPECT_EQ(stored().size(), 3U);
}

TEST_F(ShutdownTest, TheUserStoreKeepsTheGeometryInItsSettingsGroup) {
    QTemporaryDir config;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
    QtSettingsStore store;
    Platform platform{rig.rig.files, store,          rig.rig.dialogs, rig.rig.sound,
                      rig.rig.clock, rig.rig.events, rig.rig.help,    rig.rig.app};
    int16_t cancel = 0;
    Shutdown(rig.form, platform, forms).Form_Unload(cancel);
    const QSettings file(config.filePath(QStringLiteral("Vx/Vx.conf")), QSettings::IniFormat);
    EXPECT_EQ(file.childGroups(), QStringList{"Settings"});
    EXPECT_EQ(file.value("Settings/MainLeft"), "1200");
    EXPECT_EQ(file.value("Settings/MainHeight"), "6450");
}
