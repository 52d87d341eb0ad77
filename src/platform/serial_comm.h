#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace vx {

// Event codes that the serial component raises through OnComm.
namespace comm {
inline constexpr int16_t EvSend = 1;
inline constexpr int16_t EvReceive = 2;
inline constexpr int16_t EvCTS = 3;
inline constexpr int16_t EvDSR = 4;
inline constexpr int16_t EvCD = 5;
inline constexpr int16_t EvRing = 6;
inline constexpr int16_t EvEOF = 7;
inline constexpr int16_t ErBreak = 1001;
inline constexpr int16_t ErCTSTO = 1002;
inline constexpr int16_t ErDSRTO = 1003;
inline constexpr int16_t ErFrame = 1004;
inline constexpr int16_t ErOverrun = 1006;
inline constexpr int16_t ErCDTO = 1007;
inline constexpr int16_t ErRxOver = 1008;
inline constexpr int16_t ErRxParity = 1009;
inline constexpr int16_t ErTxFull = 1010;
inline constexpr int16_t ErDCB = 1011;
} // namespace comm

// The line settings text that the program applies for a speed: "<speed>,N,8,2".
QString lineSettingsFor(const QString& speedText);

// A parsed line settings text; parse() raises 8014 for a text it does not accept.
struct LineSettings {
    int baud = 9600;
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 2;

    static LineSettings parse(const QString& text);
    QString toString() const;
};

// The serial component on the main window. Every operation runs on the user-interface thread and
// raises numbered RuntimeErrors: 8002 for a port number that is no port, 8018 on a closed port,
// 8021 when the device has gone, others with a description that names the cause.
// Input is bytes, one character per byte.
class SerialComm {
public:
    virtual ~SerialComm() = default;

    virtual void setCommPort(int16_t portNumber) = 0;
    virtual int16_t commPort() const = 0;

    // Line settings text, "9600,N,8,2": read once into the line it asks for and applied at once,
    // also to an open port; a text that cannot be applied is refused and nothing changes.
    void setSettings(const QString& settings);
    const QString& settings() const { return m_settings; }
    const LineSettings& line() const { return m_line; }

    // True opens the port named by CommPort; False closes it (closing a closed port does nothing).
    virtual void setPortOpen(bool open) = 0;
    virtual bool portOpen() const = 0;
    // How often the port has been opened: bytes read under one count never belong to a line read
    // under another, since the port was closed in between.
    int openCount() const { return m_openCount; }
    // How often received bytes were dropped (the input buffer was full). It goes up with the
    // input() that returns the last byte before the gap, so the bytes that come after it never
    // complete a line that began before it.
    int lossCount() const { return m_lossCount; }

    // Bytes received and not yet read.
    virtual int inBufferCount() = 0;
    // Removes and returns the waiting bytes, at most inputLen() of them (all when inputLen() is 0).
    virtual QByteArray input() = 0;
    // Sends the bytes as they are, nothing appended.
    virtual void output(const QByteArray& bytes) = 0;

    // The most bytes one input() returns; 0 for all that wait.
    void setInputLen(int16_t length) { m_inputLen = length; }
    int16_t inputLen() const { return m_inputLen; }
    // The input is read on the poll tick and character 26 is ordinary input, so this component
    // raises no receive and no end-of-file event: what RThreshold 0 and EOFEnable False ask for.
    // Another value fails with 380 rather than wait for an event that never comes.
    void setRThreshold(int16_t threshold);
    void setEOFEnable(bool enable);

    // Bytes that arrive while the input buffer is full are dropped, with ErRxOver (see lossCount).
    void setInBufferSize(int16_t size) { m_inBufferSize = size; }
    int16_t inBufferSize() const { return m_inBufferSize; }
    // Output goes to the driver's own queue at once, so there is no buffer here to size; a size
    // below 1 fails with 380 all the same.
    void setOutBufferSize(int16_t size);
    // The character that stands for a byte received with a parity error; a component that marks
    // no parity errors has nothing to replace.
    virtual void setParityReplace(const QString& /*replacement*/) {}

    // The code of the event being delivered through onComm.
    int16_t commEvent() const { return m_commEvent; }

    // OnComm: called on the user-interface thread for each event.
    void setOnComm(std::function<void()> handler) { m_onComm = std::move(handler); }

protected:
    // Checks that the device can run the line, and applies it when the port is open; raises 8014
    // for a line it cannot run, another number when the open port refuses it.
    virtual void applyLine(const LineSettings& line) = 0;
    void raiseOnComm(int16_t code);
    // The backends call it each time the port has opened.
    void noteOpened() { ++m_openCount; }
    // The backends call it when an input() ends where bytes were dropped.
    void noteBytesLost() { ++m_lossCount; }

private:
    QString m_settings = QStringLiteral("9600,N,8,2");
    LineSettings m_line;
    std::function<void()> m_onComm;
    int16_t m_commEvent = 0;
    int m_openCount = 0;
    int m_lossCount = 0;
    int16_t m_inputLen = 0;
    int16_t m_inBufferSize = 1024;
};

} // namespace vx
