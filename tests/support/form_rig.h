#pragma once

#include "platform/module_state.h"
#include "platform/testing/fakes.h"
#include "platform/testing/scripted_serial.h"
#include "shell/form/main_form.h"
#include "shell/form/splash_form.h"

#include <QDir>

namespace vx::testing {

// The main window's definition with every outside thing scripted, working in a temporary folder.
struct FormRig {
    FormRig() { QDir::setCurrent(rig.dir.path()); }

    TestRig rig;
    ScriptedSerial serial;
    MainForm form{serial};
    SplashForm splash;
    ModuleState state;
    FakeWindowHost host{form.window};
    Platform& platform = rig.platform;

    // The ports that are checked, in menu order.
    std::vector<int> checkedPorts() {
        std::vector<int> checked;
        for (MenuItem* item : form.port.items())
            if (item->checked())
                checked.push_back(*item->index());
        return checked;
    }
    std::vector<int> checkedSpeeds() {
        std::vector<int> checked;
        for (MenuItem* item : form.baud.items())
            if (item->checked())
                checked.push_back(*item->index());
        return checked;
    }
    QString panel(int number) { return form.sbStatusBar.panel(number).text(); }
};

// The bytes of a file, or nothing when it is missing.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline void writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write test file");
    file.write(bytes);
}

} // namespace vx::testing
