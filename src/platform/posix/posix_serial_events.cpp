#include "posix_serial.h"

#include "terminal_device.h"

#include <cerrno>
#include <linux/serial.h>
#include <sys/ioctl.h>

// The serial component's line events: line error counters and modem lines, which have no
// descriptor event and are read on a timer.

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

} // namespace vx
