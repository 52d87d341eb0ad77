#include "posix_serial.h"

#include "terminal_device.h"

#include <algorithm>
#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

// The serial component's line events: line error counters and modem lines, which have no
// descriptor event and are read on a timer, and the queue that raises OnComm from the event loop.

namespace vx {

using terminal::isGoneErrno;

void PosixSerial::onLineTimer() {
    if (m_fd < 0 || m_gone)
        return;
    if (m_askCounters)
        readLineCounters(true);
    if (m_askModemLines && !m_gone)
        readModemLines(true);
    if (!m_askCounters && !m_askModemLines)
        m_lineTimer.stop();
}

void PosixSerial::readLineCounters(bool report) {
    serial_icounter_struct now{};
    if (::ioctl(m_fd, TIOCGICOUNT, &now) != 0) {
        // Pseudo-terminals and some adapters keep no counters (ENOTTY, EINVAL): stop asking.
        if (isGoneErrno(errno))
            markGone();
        else
            m_askCounters = false;
        return;
    }
    const LineCounters counted{now.brk, now.frame, now.overrun, now.parity, now.buf_overrun};
    if (report) {
        if (counted.breaks != m_counters.breaks)
            queueEvent(comm::ErBreak);
        if (counted.frame != m_counters.frame)
            queueEvent(comm::ErFrame);
        if (counted.overrun != m_counters.overrun)
            queueEvent(comm::ErOverrun);
        if (counted.parity != m_counters.parity)
            queueEvent(comm::ErRxParity);
        if (counted.bufferOverrun != m_counters.bufferOverrun)
            queueEvent(comm::ErRxOver);
    }
    m_counters = counted;
}

void PosixSerial::readModemLines(bool report) {
    int lines = 0;
    if (::ioctl(m_fd, TIOCMGET, &lines) != 0) {
        if (isGoneErrno(errno))
            markGone();
        else
            m_askModemLines = false;
        return;
    }
    if (report) {
        if (((lines ^ m_modemLines) & TIOCM_DSR) != 0)
            queueEvent(comm::EvDSR);
        if ((lines & ~m_modemLines & TIOCM_RNG) != 0)
            queueEvent(comm::EvRing);
    }
    m_modemLines = lines;
}

void PosixSerial::queueEvent(int16_t code) {
    // One pending event of a kind says all there is to say until the program has seen it.
    if (std::find(m_pendingEvents.begin(), m_pendingEvents.end(), code) != m_pendingEvents.end())
        return;
    m_pendingEvents.push_back(code);
    scheduleDelivery();
}

void PosixSerial::scheduleDelivery() {
    if (m_deliveryScheduled)
        return;
    m_deliveryScheduled = true;
    QMetaObject::invokeMethod(
        this, [this] { deliverNextEvent(); }, Qt::QueuedConnection);
}

// One event per pass of the event loop, so that a handler that runs a modal dialog (and with it a
// nested loop) still sees the rest in order.
void PosixSerial::deliverNextEvent() {
    m_deliveryScheduled = false;
    if (m_pendingEvents.empty())
        return;
    const int16_t code = m_pendingEvents.front();
    m_pendingEvents.pop_front();
    if (!m_pendingEvents.empty())
        scheduleDelivery();
    raiseOnComm(code);
}

} // namespace vx
