#pragma once

#include "input_queue.h"
#include "serial_comm.h"

namespace vx {

// What the serial components of both systems share: received bytes are pulled from the driver
// only when the program asks how many wait or reads them, and kept in one input buffer whose
// overflow is told once an episode. A backend pulls, says whether the port is open and still
// there, and clears the buffer when the port opens or closes.
class PulledSerial : public SerialComm {
public:
    int inBufferCount() final;
    QByteArray input() final;

protected:
    // Raises 8018 on a closed port.
    virtual void requireOpen() const = 0;
    // Moves what the driver holds into the buffer (keepBytes).
    virtual void pullInput() = 0;
    // Raises what the pull met: 8021 for a device that went away, a read failure.
    virtual void requireLive() = 0;

    // Keeps what fits of the received bytes; returns whether an overflow begins with them, to be
    // told as ErRxOver.
    bool keepBytes(QByteArrayView bytes);
    void clearInput();

private:
    InputQueue m_inBuffer;
    bool m_overflowing = false; // bytes were dropped since the buffer last had room
};

} // namespace vx
