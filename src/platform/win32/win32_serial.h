#pragma once

#include "platform/comm_event_queue.h"
#include "platform/pulled_serial.h"
#include "platform/serial_devices.h"

#include <QObject>
#include <QTimer>
#include <windows.h>

namespace vx {

// The serial component on a Windows communications device: COMn of a USB adapter, or under Wine a
// pseudo-terminal of the simulator. Everything runs on the user-interface thread; reads return at
// once with what the driver holds, and a write waits at most a moment. Received bytes are pulled
// from the driver only when the program asks how many wait or reads them (the poll tick does that
// every 50 ms). The driver's line errors, found with each pull and on a timer, are raised from the
// event loop; a pulled cable fails the call that finds it and every later one with 8021.
class Win32Serial : public QObject, public PulledSerial {
public:
    // Port numbers lead where the devices say; they must outlive the component.
    explicit Win32Serial(const SerialDevices& devices, QObject* parent = nullptr);
    ~Win32Serial() override;

    void setCommPort(int16_t portNumber) override;
    int16_t commPort() const override;
    void setPortOpen(bool open) override;
    bool portOpen() const override;

    void output(const QByteArray& bytes) override;

protected:
    void applyLine(const LineSettings& line) override;

private:
    void openPort();
    void closePort();
    void requireOpen() const override;
    void requireLive() override;
    void failed(DWORD error);
    void pullInput() override;
    void takeBytes(QByteArrayView bytes);
    bool checkLineErrors();
    void readModemLines(bool report);
    void onLineTimer();
    void markGone();

    const SerialDevices& m_devices;
    int16_t m_commPort = 1;

    HANDLE m_port = INVALID_HANDLE_VALUE;
    HANDLE m_claim = nullptr; // this session's claim on the port, held while it is open
    QString m_openPath;
    bool m_gone = false;   // the device went away; the next call raises 8021
    DWORD m_readFault = 0; // a read failure met outside a call, raised by the next call
    QTimer m_lineTimer;
    bool m_askModemLines = false;
    DWORD m_modemLines = 0;
    CommEventQueue m_events{[this](int16_t code) { raiseOnComm(code); }};
};

} // namespace vx
