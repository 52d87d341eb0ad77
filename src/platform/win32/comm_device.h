#pragma once

// What the serial component needs of a Windows communications device: its line settings and
// timeouts, its answers to a pulled cable, and the errors that name why a port could not be had.

#include "platform/runtime_error.h"
#include "platform/serial_comm.h"

#include <QString>
#include <utility>
#include <windows.h>

namespace vx::comm_device {

// The driver answers like this once the adapter has been unplugged: a USB adapter's driver with
// access denied, device removed or a bad command, a pseudo-terminal under Wine with not ready.
bool isGoneError(DWORD error);
// The system's text for an error code.
QString reason(DWORD error);

// Raises 8014 for a line that a communications device cannot run.
void checkLine(const LineSettings& line);
// Raw bytes, the line's speed and stop bits, no flow control; reads that return at once with
// what has arrived, writes that give up after writeTimeoutMs. Returns 0 or the error code.
DWORD setCommLine(HANDLE port, const LineSettings& line, DWORD writeTimeoutMs);

// The name CreateFile takes: a bare device name (COM12) in the device namespace, \\.\COM12.
QString openableName(const QString& path);

// Why port n (at path) could not be opened.
RuntimeError noSuchPort(int port, const QString& path, const QString& detail);
RuntimeError portInUse(int port, const QString& path);
RuntimeError openFailure(DWORD error, int port, const QString& path);

// Closes a handle on the way out of a failed open.
class HandleGuard {
public:
    explicit HandleGuard(HANDLE handle)
        : m_handle(handle) {}
    ~HandleGuard() {
        if (m_handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_handle);
    }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;
    HANDLE release() { return std::exchange(m_handle, INVALID_HANDLE_VALUE); }

private:
    HANDLE m_handle;
};

} // namespace vx::comm_device
