#include "scripted_serial.h"

namespace vx::testing {

void ScriptedSerial::setPortOpen(bool open) {
    if (open) {
        if (m_open)
            throw RuntimeError(err::PortAlreadyOpen);
        const auto port = m_ports.find(m_commPort);
        if (port == m_ports.end() || port->second != 0)
            throw RuntimeError(port == m_ports.end() ? err::InvalidPortNumber : port->second);
        noteOpened();
        m_openedPorts.push_back(m_commPort);
    }
    m_open = open;
    m_pulled = false;
    m_input.clear();
}

} // namespace vx::testing
