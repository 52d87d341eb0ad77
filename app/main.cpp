// vx: the readout program. It takes no arguments.
#include "platform/posix_serial.h"
#include "shell/ui/application.h"
#include "shell/ui/widget_style.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qapp(argc, argv);
    vx::ui::installFontSubstitutions();
    vx::ui::Application app([] { return std::make_unique<vx::PosixSerial>(); });
    return app.run();
}
