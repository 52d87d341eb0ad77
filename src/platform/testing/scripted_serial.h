#pragma once

#include "../runtime_error.h"
#include "../serial_comm.h"

#include <functional>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace vx::testing {

// A serial component for tests: which ports the computer has is scripted, input is fed by the test,
// output is recorded, and errors are raised on cue. It keeps the contract's error numbers.
class ScriptedSerial : public SerialComm {
public:
    enum class Op { SetCommPort, SetSettings, Open, Close, InBufferCount, Input, Output };

    ScriptedSerial();

    // The computer's ports.
    void addPort(int portNumber) { m_ports.insert(portNumber); }
    void removePort(int portNumber) { m_ports.erase(portNumber); }
    // The port is there but cannot be had: another program holds it (8010), or the user may not
    // open it (8011). Opening it fails with that number.
    void holdPort(int portNumber, int errorNumber = err::PortInUse) {
        m_held[portNumber] = errorNumber;
    }

    // Bytes arriving on the open port; beyond the input buffer they are dropped with event 1008.
    void feed(const QByteArray& bytes);
    // Called after every Output with the port number and the bytes: a scripted counter answers
    // here.
    std::function<void(int port, const QByteArray& bytes)> onOutput;

    // The next `times` calls of op raise the error (0 times: every call until clearFaults()).
    void failNext(Op op, int errorNumber, int times = 1);
    void clearFaults() { m_faults.clear(); }
    // The cable: while pulled, every operation on the open port raises 8021.
    void pullCable() { m_pulled = true; }
    void plugBack() { m_pulled = false; }

    // Raises OnComm with the code.
    void raise(int16_t code) { raiseOnComm(code); }

    // Everything written, with the port it went to, one entry per Output.
    const std::vector<std::pair<int, QByteArray>>& outputs() const { return m_outputs; }
    QByteArray written() const;
    void clearOutputs() { m_outputs.clear(); }
    int closeCount() const { return m_closeCount; }
    // Ports opened, in order.
    const std::vector<int>& openedPorts() const { return m_openedPorts; }
    QByteArray pendingInput() const { return m_input; }

    void setCommPort(int16_t portNumber) override;
    int16_t commPort() const override { return m_commPort; }
    void setSettings(const QString& settings) override;
    QString settings() const override { return m_settings; }
    void setPortOpen(bool open) override;
    bool portOpen() const override { return m_open; }
    int inBufferCount() override;
    QByteArray input() override;
    void output(const QByteArray& bytes) override;

private:
    void maybeFail(Op op);
    void requireOpenAndPlugged() const;

    std::set<int> m_ports;
    std::map<int, int> m_held;                  // port -> error number
    std::map<Op, std::pair<int, int>> m_faults; // op -> (error, remaining; 0 = always)
    bool m_pulled = false;
    int16_t m_commPort = 1;
    QString m_settings = QStringLiteral("9600,N,8,1");
    bool m_open = false;
    QByteArray m_input;
    std::vector<std::pair<int, QByteArray>> m_outputs;
    std::vector<int> m_openedPorts;
    int m_closeCount = 0;
};

} // namespace vx::testing
