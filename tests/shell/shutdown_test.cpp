#include "form_rig.h"
#include "platform/error_trap.h"
#include "platform/qt_settings_store.h"
#include "platform/runtime_error.h"
#include "shell/core/shutdown.h"

#include <QSettings>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
    QtSettingsStore store(config.path());
    Platform platform{rig.rig.files, store,          rig.rig.dialogs, rig.rig.sound,
                      rig.rig.clock, rig.rig.events, rig.rig.help,    rig.rig.app};
    int16_t cancel = 0;
    Shutdown(rig.form, platform, forms).Form_Unload(cancel);
    const QSettings file(config.filePath(QStringLiteral("Vx/Vx.conf")), QSettings::IniFormat);
    EXPECT_EQ(file.childGroups(), QStringList{"Settings"});
    EXPECT_EQ(file.value("Settings/MainTop"), "-45");
}

// A store that is a pipe (it would block the program for good) or absurdly large is neither read
// nor written: the defaults serve, at once.
TEST(UserStore, AStoreThatIsNoFileOrTooLargeIsNeitherReadNorWritten) {
    for (const bool pipe : {true, false}) {
        QTemporaryDir config;
        QDir().mkpath(config.filePath(QStringLiteral("Vx")));
        const QString file = config.filePath(QStringLiteral("Vx/Vx.conf"));
        if (pipe)
            ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        else
            writeFileBytes(file,
                           "[Log]\nCsv=true\n" + QByteArray(QtSettingsStore::MaxFileBytes, ';'));
        const auto check = [&] {
            ::alarm(5); // a store that waits for the pipe's writer ends here
            QtSettingsStore store(config.path());
            ResumeNext save;
            save([&] { store.saveSetting("Vx", "Log", "Csv", "false"); });
            const bool refused = !store.readSetting("Vx", "Log", "Csv") && save.error() &&
                                 save.error()->description().contains(file);
            std::_Exit(refused ? 0 : 1);
        };
        EXPECT_EXIT(check(), ::testing::ExitedWithCode(0), "") << pipe;
    }
}
