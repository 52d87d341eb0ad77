#include "scripted_serial.h"

#include "../runtime_error.h"

namespace vx::testing {

ScriptedSerial::ScriptedSerial() = default;

void ScriptedSerial::failNext(Op op, int errorNumber, int times) {
    m_faults[op] = {errorNumber, times};
}

void ScriptedSerial::maybeFail(Op op) {
    const auto it = m_faults.find(op);
    if (it == m_faults.end())
        return;
    const int number = it->second.first;
    if (it->second.second > 0 && --it->second.second == 0)
        m_faults.erase(it);
    throw RuntimeError(number);
}

void ScriptedSerial::requireOpenAndPlugged() const {
    if (!m_open)
        throw RuntimeError(err::PortNotOpen);
    if (m_pulled)
        throw RuntimeError(err::DeviceGone);
}

QByteArray ScriptedSerial::written() const {
    QByteArray all;
    for (const auto& [port, bytes] : m_outputs)
        all += bytes;
    return all;
}

void ScriptedSerial::feed(const QByteArray& bytes) {
    if (!m_open)
        return;
    const qsizetype room = inBufferSize() - m_input.size();
    m_input += bytes.left(room);
    if (bytes.size() > room)
        raiseOnComm(comm::ErRxOver);
}

void ScriptedSerial::setCommPort(int16_t portNumber) {
    maybeFail(Op::SetCommPort);
    if (m_open)
        throw RuntimeError(err::PortAlreadyOpen);
    if (portNumber < 1 || portNumber > 255)
        throw RuntimeError(err::InvalidPortNumber);
    m_commPort = portNumber;
}

void ScriptedSerial::setSettings(const QString& settings) {
    maybeFail(Op::SetSettings);
    LineSettings::parse(settings);
    m_settings = settings;
}

void ScriptedSerial::setPortOpen(bool open) {
    if (open) {
        maybeFail(Op::Open);
        if (m_open)
            throw RuntimeError(err::PortAlreadyOpen);
        if (m_ports.count(m_commPort) == 0)
            throw RuntimeError(err::InvalidPortNumber);
        if (const auto held = m_held.find(m_commPort); held != m_held.end())
            throw RuntimeError(held->second);
        m_open = true;
        m_pulled = false;
        m_input.clear();
        noteOpened();
        m_openedPorts.push_back(m_commPort);
        return;
    }
    maybeFail(Op::Close);
    if (!m_open)
        return;
    m_open = false;
    m_input.clear();
    ++m_closeCount;
}

int ScriptedSerial::inBufferCount() {
    maybeFail(Op::InBufferCount);
    requireOpenAndPlugged();
    return static_cast<int>(m_input.size());
}

QByteArray ScriptedSerial::input() {
    maybeFail(Op::Input);
    requireOpenAndPlugged();
    const qsizetype n =
        inputLen() > 0 ? std::min<qsizetype>(inputLen(), m_input.size()) : m_input.size();
    QByteArray chunk = m_input.left(n);
    m_input.remove(0, n);
    return chunk;
}

void ScriptedSerial::output(const QByteArray& bytes) {
    maybeFail(Op::Output);
    requireOpenAndPlugged();
    m_outputs.emplace_back(m_commPort, bytes);
    if (onOutput)
        onOutput(m_commPort, bytes);
}

} // namespace vx::testing
