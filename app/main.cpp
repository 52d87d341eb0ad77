// vx: the readout program. It takes no arguments.
#include "platform/posix_serial.h"
#include "shell/ui/application.h"
#include "shell/ui/widget_style.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
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
