#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "form/splash_form.h"
#include "platform/testing/fakes.h"
#include "platform/testing/scripted_serial.h"

#include <QDir>

namespace vx::testing {

// The screen side of a window: the test sets state and geometry; unload runs the hook, then
// unloads.
struct FakeWindowHost : WindowHost {
    explicit FakeWindowHost(FormWindow& shown)
        : window(shown) {
        window.setHost(this);
    }
    FormWindow& window;
    int state = WindowNormal;
    Twips geometry;
    int unloads = 0;
    std::function<void()> onUnload;

    int windowState() const override { return state; }
    Twips outerGeometry() const override { return geometry; }
    void unload() override {
        ++unloads;
        if (onUnload)
            onUnload();
        window.markUnloaded();
    }
};

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

    // The indexes of the items that carry a check mark, in menu order.
    static std::vector<int> checked(const MenuArray& menu) {
        std::vector<int> indexes;
        for (MenuItem* item : menu.items())
            if (item->checked())
                indexes.push_back(*item->index());
        return indexes;
    }
    std::vector<int> checkedPorts() const { return checked(form.port); }
    std::vector<int> checkedSpeeds() const { return checked(form.baud); }
    QString panel(int number) { return form.sbStatusBar.panel(number).text(); }
};

// The bytes of a file, or nothing when it is missing.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

} // namespace vx::testing
