#include "keypad.h"

#include "platform/runtime_error.h"

namespace vx {

char Keypad::codeFor(Key key, bool twoAxis) {
    switch (key) {
    case Key::X:
        return '0';
    case Key::Y:
        return '1';
    case Key::Z:
        return '2';
    case Key::DR:
        return twoAxis ? '2' : '3';
    case Key::ABS:
        return twoAxis ? '3' : '4';
    case Key::DIV:
        return twoAxis ? '4' : '6';
    case Key::IM:
        return '5';
    case Key::TF:
        return '8';
    }
    return '0';
}

// A key that cannot reach the counter is told at once, so the operator does not take the reading
// for zeroed or switched.
void Keypad::send(Key key) {
    try {
        m_form.MSComm1.output(QByteArray(1, codeFor(key, m_state.twoAxis)));
    } catch (const RuntimeError& error) {
        m_platform.dialogs.msgBox(tr("按鍵沒有送到計數器：\n%1").arg(error.description()),
                                  mb::Exclamation);
    }
}

void Keypad::cmdRS_Click() {
    m_state.recordRequest = true;
}

// The button's caption shows the state, drawn from it: Halt while running, Go while paused.
void Keypad::CmdHalt_Click() {
    m_state.paused = !m_state.paused;
    m_form.CmdHalt.setCaption(MainForm::haltCaption(m_state.paused));
    if (m_state.paused) {
        m_form.Timer1.setEnabled(false);
        m_form.setReadingsColor(color::Red);
    } else {
        m_state.recordRequest = false;
        m_state.frameBuffer.clear();
        m_form.Timer1.setEnabled(true);
        // Without a port nothing will refresh them, and stale ones stay stale until a line
        // comes: they must not look live.
        const bool live = m_form.MSComm1.portOpen() && !m_form.readingsStale();
        m_form.setReadingsColor(live ? color::ButtonText : color::Grey);
    }
}

void Keypad::mnu鎖住按鍵_Click() {
    MenuItem& lock = m_form.mnu鎖住按鍵;
    lock.setChecked(!lock.checked());
    const bool show = !lock.checked();
    for (Control* control :
         {&m_form.cmdX, &m_form.cmdY, &m_form.cmdZ, &m_form.Frame歸零, &m_form.cmdDR,
          &m_form.cmdABS, &m_form.cmdIM, &m_form.cmdDIV, &m_form.cmdTF})
        control->setVisible(show);
}

} // namespace vx
