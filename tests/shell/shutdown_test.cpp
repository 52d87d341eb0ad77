#include "form_rig.h"
#include "platform/qt_settings_store.h"
#include "platform/runtime_error.h"
#include "shell/core/shutdown.h"

#include <QSettings>
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
        rig.host.geometry = {-60, -45, 15480, 11640}; // maximized, its edges off the screen
        rig.rig.files.openAppend(fileno::LogFile, rig.rig.path(QStringLiteral("log.txt")));
        rig.rig.files.openRandom(fileno::PortSettings, rig.rig.path(QStringLiteral("s")), 20);
    }
    QStringList stored() {
        QStringList out;
        for (const auto& w : rig.rig.settings.writes)
            out << w.app + "/" + w.section + "/" + w.key + "=" + w.value;
        rig.rig.settings.writes.clear();
        return out;
    }

    FormRig rig;
    LoadedForms forms;
    Shutdown shutdown{rig.form, rig.platform, forms};
};

} // namespace

// A file that fails to close is told and a key that cannot be written is lost quietly: nothing
// after either is skipped.
TEST_F(ShutdownTest, ExitClosesEverythingAndStoresTheGeometryWhateverFails) {
    FormWindow other(QStringLiteral("frmOther"), QString());
    FakeWindowHost otherHost(other);
    forms.add(other);
    rig.host.state = WindowMaximized;
    rig.rig.files.failNext(FaultyFiles::Op::Close, err::DeviceIoError, 2);
    rig.rig.settings.failingKeys = {QStringLiteral("MainWidth")};
    shutdown.mnuFileExit_Click();
    EXPECT_EQ(otherHost.unloads, 1);
    EXPECT_EQ(rig.host.unloads, 1);
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::LogFile));
    EXPECT_FALSE(rig.rig.files.isOpen(fileno::PortSettings));
    EXPECT_EQ(rig.rig.dialogs.messages.size(), 2U);
    EXPECT_EQ(stored(), QStringList({"Vx/Settings/MainLeft=-60", "Vx/Settings/MainTop=-45",
                                     "Vx/Settings/MainHeight=11640"}));
    rig.host.state = WindowMinimized; // stores nothing
    int16_t cancel = 0;
    shutdown.Form_Unload(cancel);
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(cancel, 0);
}

// The real store writes the geometry where the next start reads it: group Settings of Vx/Vx.conf.
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
    EXPECT_EQ(file.value("Settings/MainTop"), "-45");
}
