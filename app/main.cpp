// vx: the readout program. Without arguments it works in the current folder; --desktop-entry
// (the menu's launch) in the per-user folder; --help and --version answer and touch nothing.
#include "command_line.h"
#include "operating_system.h"
#include "platform/app_info.h"
#include "platform/language.h"
#include "platform/qt_settings_store.h"
#include "shell/ui/application.h"
#include "shell/ui/widget_style.h"
#include "work_folder.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

QStringList arguments(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i)
        list << QString::fromLocal8Bit(argv[i]);
    return list;
}

} // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<vx::OperatingSystem> system = vx::app::thisOperatingSystem();
    system->prepareProcess();

    // Before the application object: an answer needs no display and no file.
    using Action = vx::app::CommandLine::Action;
    const vx::app::CommandLine commandLine = vx::app::parseCommandLine(arguments(argc, argv));
    if (commandLine.action == Action::Help || commandLine.action == Action::Version) {
        std::fputs(qPrintable(commandLine.text), stdout);
        return 0;
    }
    if (commandLine.action == Action::Error) {
        std::fprintf(stderr, "vx: %s\nTry 'vx --help'.\n", qPrintable(commandLine.text));
        return 2;
    }

    QApplication qapp(argc, argv);
    vx::ui::installFontSubstitutions();
    // Before any window or text is made: English for a user whose language is English, the
    // documented Traditional Chinese otherwise; [Settings] Language= wins over both.
    const vx::Translations translations(vx::chooseLanguage(
        system->userLanguage(),
        vx::QtSettingsStore().readSetting(vx::AppInfo().title, QStringLiteral("Settings"),
                                          QStringLiteral("Language"))));
    if (commandLine.desktopEntry) {
        const QString error = vx::app::enterFolder(system->menuLaunchFolder());
        if (!error.isEmpty()) {
            QMessageBox::critical(nullptr, QStringLiteral("Vx"), error);
            return 1;
        }
    }
    vx::ui::Application app(*system);
    return app.run();
}
