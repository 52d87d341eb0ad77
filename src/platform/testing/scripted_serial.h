#pragma once

#include "../input_queue.h"
#include "../serial_comm.h"
#include "fakes.h"

namespace vx::testing {

enum class SerialOp { SetSettings, InBufferCount, Input, Output };

// A serial component for tests: which ports the computer has is scripted, input is fed by the test,
// output is recorded, and errors are raised on cue. It keeps the contract's error numbers.
class ScriptedSerial : public SerialComm, public Faults<SerialOp> {
public:
    using Op = SerialOp;

    // Unlike what the main window makes of it, so that a test sees the window's own settings.
    ScriptedSerial() { setSettings(QStringLiteral("9600,N,8,1")); }

    // The computer's ports. A held port is there but cannot be had: another program holds it
    // (8010), or the user may not open it (8011); opening it fails with that number.
    void addPort(int portNumber) { m_ports[portNumber] = 0; }
    void removePort(int portNumber) { m_ports.erase(portNumber); }
    void holdPort(int port, int error = err::PortInUse) { m_ports[port] = error; }
    // The cable: while pulled, every operation on the open port raises 8021 until it opens again.
    void pullCable() { m_pulled = true; }

    // Bytes arriving on the open port; beyond the input buffer they are dropped with event 1008.
    void feed(const QByteArray& bytes) {
        if (m_open && m_input.append(bytes, inBufferSize()))
            raiseOnComm(comm::ErRxOver);
    }
    void raise(int16_t code) { raiseOnComm(code); }
    // Called after every Output with the port and the bytes: a scripted counter answers here.
    std::function<void(int port, const QByteArray& bytes)> onOutput;

    // Everything written, and the ports opened, in order.
    const QByteArray& written() const { return m_written; }
    void clearOutputs() { m_written.clear(); }
    const std::vector<int>& openedPorts() const { return m_openedPorts; }

    void setCommPort(int16_t portNumber) override {
        if (m_open || portNumber < 1 || portNumber > 255)
            throw RuntimeError(m_open ? err::PortAlreadyOpen : err::InvalidPortNumber);
        m_commPort = portNumber;
    }
    int16_t commPort() const override { return m_commPort; }
    void setPortOpen(bool open) override;
    bool portOpen() const override { return m_open; }
    int inBufferCount() override {
        ready(Op::InBufferCount);
        return static_cast<int>(m_input.size());
    }
    QByteArray input() override {
        ready(Op::Input);
        bool endsAtGap = false;
        QByteArray chunk = m_input.take(inputLen(), endsAtGap);
        if (endsAtGap)
            noteBytesLost();
        return chunk;
    }
    void output(const QByteArray& bytes) override {
        ready(Op::Output);
        m_written += bytes;
        if (onOutput)
            onOutput(m_commPort, bytes);
    }

protected:
    void applyLine(const LineSettings&) override { maybeFail(Op::SetSettings); }

private:
    // An operation on the open port: raises what is scripted, then 8018 or 8021.
    void ready(Op op) {
        maybeFail(op);
        if (!m_open || m_pulled)
            throw RuntimeError(m_open ? err::DeviceGone : err::PortNotOpen);
    }

    std::map<int, int> m_ports; // port -> the error number that opening it raises, or 0
    bool m_pulled = false;
    int16_t m_commPort = 1;
    bool m_open = false;
    InputQueue m_input;
    QByteArray m_written;
    std::vector<int> m_openedPorts;
};

} // namespace vx::testing
