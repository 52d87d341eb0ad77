#pragma once

#include "platform/comm_event_queue.h"
#include "platform/line_error_parser.h"
#include "platform/pulled_serial.h"
#include "platform/serial_devices.h"

#include <QObject>
#include <QTimer>

namespace vx {

// The serial component on a POSIX terminal device: a USB adapter, or a pseudo-terminal of the
// simulator. Everything runs on the user-interface thread and nothing waits longer than a write
// of a few bytes. Received bytes are pulled from the driver only when the program asks how many
// wait or reads them: the poll tick does that every 50 ms, so the event loop is not woken for
// every byte as it trickles in. Line errors and an overflow found while pulling are queued and
// raised from the event loop, never from inside a call the program made; a hang-up found while
// pulling fails that call and every later one with 8021.
class PosixSerial : public QObject, public PulledSerial {
public:
    // Port numbers lead where the devices say; they must outlive the component.
    explicit PosixSerial(const SerialDevices& devices, QObject* parent = nullptr);
    ~PosixSerial() override;

    void setCommPort(int16_t portNumber) override;
    int16_t commPort() const override;
    void setPortOpen(bool open) override;
    bool portOpen() const override;

    void output(const QByteArray& bytes) override;

    void setParityReplace(const QString& replacement) override;

protected:
    void applyLine(const LineSettings& line) override;

private:
    // Line error counters of the driver, as last read.
    struct LineCounters {
        int breaks = 0;
        int frame = 0;
        int overrun = 0;
        int parity = 0;
        int bufferOverrun = 0;
    };

    void openPort();
    void closePort();
    void requireOpen() const override;
    void requireLive() override;
    void pullInput() override;
    void takeBytes(QByteArrayView raw);
    void markGone();
    void onLineTimer();
    void readLineCounters(bool report);
    void readModemLines(bool report);
    void queueEvent(int16_t code) { m_events.queue(code); }

    const SerialDevices& m_devices;
    int16_t m_commPort = 1;

    int m_fd = -1;
    QString m_openPath;
    bool m_gone = false; // the device hung up; the next call raises 8021
    int m_readFault = 0; // errno of a read failure met outside a call, raised by the next call
    LineErrorParser m_parser;
    QTimer m_lineTimer;
    bool m_askCounters = false;
    bool m_askModemLines = false;
    LineCounters m_counters;
    int m_modemLines = 0;
    CommEventQueue m_events{[this](int16_t code) { raiseOnComm(code); }};
};

} // namespace vx
