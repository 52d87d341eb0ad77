// vx: the readout program. It takes no arguments.
#include "platform/posix_serial.h"
#include "shell/ui/application.h"
#include "shell/ui/widget_style.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <csignal>

int main(int argc, char** argv) {
    // A write that cannot go through is a run-time error the handlers report, never the end of the
    // program: no signal for a reader that went away or a file size limit.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication qapp(argc, argv);
    vx::ui::installFontSubstitutions();
    // The buttons and labels of the standard dialogs in Traditional Chinese, like the program.
    QTranslator dialogTexts;
    if (dialogTexts.load(
            QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan),
            QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&dialogTexts);
    vx::ui::Application app([] { return std::make_unique<vx::PosixSerial>(); });
    return app.run();
}
