#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "form/splash_form.h"
#include "platform/testing/fakes.h"
#include "platform/testing/scripted_serial.h"

#include <QDir>

namespace vx::testing {

// The screen side of a window, for tests: state and geometry are set by the test; unload runs the
// hook (the unload handler) and marks the window unloaded.
class FakeWindowHost : public WindowHost {
public:
    explicit FakeWindowHost(FormWindow& window)
        : m_window(window) {
        window.setHost(this);
    }
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
        m_window.markUnloaded();
    }

private:
    FormWindow& m_window;
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
