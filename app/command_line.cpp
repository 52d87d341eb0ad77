#include "command_line.h"

#include "platform/app_info.h"

#include <QCommandLineParser>

namespace vx::app {

namespace {

// Qt's own options, which QApplication takes off the command line later ("-style fusion",
// "-session ID" from the session manager). They are let through as they always were.
const QStringList qtValueOptions = {"platform",    "platformpluginpath", "platformtheme",
                                    "plugin",      "qmljsdebugger",      "qwindowgeometry",
                                    "qwindowicon", "qwindowtitle",       "session",
                                    "display",     "geometry",           "style",
                                    "stylesheet"};
const QStringList qtFlagOptions = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

#ifdef Q_OS_WIN
const char* const description =
    "Reads a Vx515 digital readout counter on a serial port and shows its readings.\n"
    "\n"
    "Started from a command prompt, vx keeps its port settings (the file 系統資料電腦) in the\n"
    "current folder. The serial port n is COM<n>.";
const char* const desktopEntryHelp =
    "Work in the folder %LOCALAPPDATA%\\Vx, created on first use, as the Start menu's entry does.";
#else
const char* const description =
    "Reads a Vx515 digital readout counter on a serial port and shows its readings.\n"
    "\n"
    "Started from a shell, vx keeps its port settings (the file 系統資料電腦) in the current\n"
    "folder. The serial port n is /dev/ttyUSB<n-1>, or $VX_SERIAL_PORT_DIR/COM<n> when that\n"
    "variable names a folder of links.";
const char* const desktopEntryHelp = "Work in the folder $XDG_DATA_HOME/vx (~/.local/share/vx), "
                                     "created on first use, as the desktop menu's entry does.";
#endif

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromUtf8(description));
    // Not addHelpOption(): its --help-all would need the application object.
    const QCommandLineOption help({"h", "help", "?"}, "Show this help and end.");
    const QCommandLineOption version({"v", "version"}, "Show the version and end.");
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption desktopEntry("desktop-entry", QString::fromUtf8(desktopEntryHelp));
    parser.addOption(desktopEntry);
    for (const QString& name : qtValueOptions) {
        QCommandLineOption option(name, QString(), "value");
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const QString& name : qtFlagOptions) {
        QCommandLineOption option(name);
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLine result;
    const bool parsed = parser.parse(arguments);
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.text = parser.helpText().replace("<executable_name>", "vx");
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = "vx " + versionNumber(AppInfo{}) + '\n';
    } else if (!parsed) {
        result.action = CommandLine::Action::Error;
        result.text = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        result.action = CommandLine::Action::Error;
        result.text = "vx takes no file or other argument: " + parser.positionalArguments()[0];
    }
    result.desktopEntry = parser.isSet(desktopEntry);
    return result;
}

} // namespace vx::app
