#pragma once

#include "form/main_form.h"
#include "form/module_state.h"
#include "platform/platform.h"

#include <QCoreApplication>

namespace vx {

// The on-screen keypad: key codes to the counter, the record button, pause and continue, and the
// key lock that hides the keypad.
class Keypad {
    Q_DECLARE_TR_FUNCTIONS(Keypad)

public:
    enum class Key { X, Y, Z, DR, ABS, DIV, IM, TF };

    Keypad(MainForm& form, ModuleState& state, Platform& platform)
        : m_form(form)
        , m_state(state)
        , m_platform(platform) {}

    void cmdX_Click() { send(Key::X); }
    void cmdY_Click() { send(Key::Y); }
    void cmdZ_Click() { send(Key::Z); }
    void cmdDR_Click() { send(Key::DR); }
    void cmdABS_Click() { send(Key::ABS); }
    void cmdDIV_Click() { send(Key::DIV); }
    void cmdIM_Click() { send(Key::IM); }
    void cmdTF_Click() { send(Key::TF); }
    void mnuX軸歸零_Click() { send(Key::X); }
    void mnuY軸歸零_Click() { send(Key::Y); }

    void cmdRS_Click();
    void CmdHalt_Click();
    void mnu鎖住按鍵_Click();

    // The key code the counter expects, by the axis count of the last line.
    static char codeFor(Key key, bool twoAxis);

private:
    void send(Key key);

    MainForm& m_form;
    ModuleState& m_state;
    Platform& m_platform;
};

} // namespace vx
