#include "win32_serial.h"

#include "comm_device.h"
#include "platform/runtime_error.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

namespace vx {

using namespace comm_device;

namespace {

// How long output waits for the driver to take bytes before it gives up.
constexpr DWORD kWriteTimeoutMs = 200;
// Line errors and modem lines are also looked at on this tick when the program reads nothing.
constexpr int kLineTickMs = 100;
constexpr DWORD kReadChunk = 4096;
constexpr int kMaxReadsPerPull = 64;
// The driver's own queues; the program's buffer is InBufferSize on top of them.
constexpr DWORD kDriverQueue = 4096;

const wchar_t* wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

// The claim's name in the session's namespace, one per device whatever the case of its name.
QString claimName(const QString& path) {
    return QStringLiteral("Local\\vx-port-") +
           openableName(path).toLower().replace(QLatin1Char('\\'), QLatin1Char('/'));
}

} // namespace

Win32Serial::Win32Serial(const SerialDevices& devices, QObject* parent)
    : QObject(parent)
    , m_devices(devices) {
    m_lineTimer.setInterval(kLineTickMs);
    connect(&m_lineTimer, &QTimer::timeout, this, &Win32Serial::onLineTimer);
}

Win32Serial::~Win32Serial() {
    closePort();
}

void Win32Serial::setCommPort(int16_t portNumber) {
    if (m_port != INVALID_HANDLE_VALUE)
        throw RuntimeError(err::PortAlreadyOpen, QStringLiteral("%1：COM%2")
                                                     .arg(standardDescription(err::PortAlreadyOpen))
                                                     .arg(m_commPort));
    if (portNumber < 1 || portNumber > 255)
        throw RuntimeError(err::InvalidPortNumber,
                           QStringLiteral("%1：%2（1 - 255）")
                               .arg(standardDescription(err::InvalidPortNumber))
                               .arg(portNumber));
    m_commPort = portNumber;
}

int16_t Win32Serial::commPort() const {
    return m_commPort;
}

void Win32Serial::applyLine(const LineSettings& line) {
    checkLine(line);
    if (m_port == INVALID_HANDLE_VALUE)
        return;
    requireLive();
    if (const DWORD e = setCommLine(m_port, line, kWriteTimeoutMs); e != 0) {
        if (isGoneError(e)) {
            markGone();
            requireLive();
        }
        throw RuntimeError(err::CommStateFailed, QStringLiteral("%1：%2 「%3」(%4)")
                                                     .arg(standardDescription(err::CommStateFailed),
                                                          m_openPath, line.toString(), reason(e)));
    }
}

void Win32Serial::setPortOpen(bool open) {
    if (open)
        openPort();
    else
        closePort();
}

bool Win32Serial::portOpen() const {
    return m_port != INVALID_HANDLE_VALUE;
}

void Win32Serial::openPort() {
    if (m_port != INVALID_HANDLE_VALUE)
        throw RuntimeError(err::PortAlreadyOpen, QStringLiteral("%1：COM%2")
                                                     .arg(standardDescription(err::PortAlreadyOpen))
                                                     .arg(m_commPort));
    const int port = m_commPort;
    const QString path = m_devices.pathOf(port);
    const LineSettings& line = this->line();
    checkLine(line);

    // A communications device is opened by one program at a time: the driver refuses a second
    // opener. Where it does not (Wine's), the claim of a named mutex keeps two copies apart.
    const HANDLE claim = ::CreateMutexW(nullptr, FALSE, wide(claimName(path)));
    if (claim && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(claim);
        throw portInUse(port, path);
    }
    HandleGuard claimGuard(claim ? claim : INVALID_HANDLE_VALUE);
    const HANDLE handle = ::CreateFileW(wide(openableName(path)), GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw openFailure(::GetLastError(), port, path);
    HandleGuard guard(handle);
    // A name may open and still be no working port (a file, or a port whose adapter is gone while
    // its name lingers): only a device that tells its line settings is one.
    DCB probe{};
    probe.DCBlength = sizeof probe;
    if (::GetFileType(handle) != FILE_TYPE_CHAR || !::GetCommState(handle, &probe))
        throw noSuchPort(port, path, QCoreApplication::translate("SerialPort", "不是傳輸埠"));
    if (const DWORD e = setCommLine(handle, line, kWriteTimeoutMs); e != 0) {
        if (isGoneError(e))
            throw noSuchPort(port, path, reason(e));
        throw RuntimeError(err::CommStateFailed, QStringLiteral("%1：%2 「%3」(%4)")
                                                     .arg(standardDescription(err::CommStateFailed),
                                                          path, line.toString(), reason(e)));
    }
    ::SetupComm(handle, kDriverQueue, kDriverQueue); // a driver with fixed queues may refuse
    // Whatever the device sent before we were listening belongs to no request of ours.
    ::PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    DWORD stale = 0;
    ::ClearCommError(handle, &stale, nullptr);

    m_port = guard.release();
    m_claim = claim ? claimGuard.release() : nullptr;
    m_openPath = path;
    m_gone = false;
    m_readFault = 0;
    clearInput();
    m_events.clear();
    noteOpened();

    m_askModemLines = true;
    readModemLines(false); // the baseline that later readings are compared with
    if (!m_gone)
        m_lineTimer.start();
}

void Win32Serial::closePort() {
    if (m_port == INVALID_HANDLE_VALUE)
        return;
    m_lineTimer.stop();
    if (!m_gone) {
        // Bytes already written get the moment a write may take to leave; then the rest goes.
        COMSTAT status{};
        DWORD errors = 0;
        for (int i = 0; i < 50 && ::ClearCommError(m_port, &errors, &status) && status.cbOutQue > 0;
             ++i)
            ::Sleep(1);
        ::PurgeComm(m_port, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    }
    ::CloseHandle(m_port);
    m_port = INVALID_HANDLE_VALUE;
    if (m_claim)
        ::CloseHandle(std::exchange(m_claim, nullptr));
    m_openPath.clear();
    m_gone = false;
    m_readFault = 0;
    clearInput();
    m_events.clear();
}

void Win32Serial::requireOpen() const {
    if (m_port == INVALID_HANDLE_VALUE)
        throw RuntimeError(
            err::PortNotOpen,
            QStringLiteral("%1：COM%2").arg(standardDescription(err::PortNotOpen)).arg(m_commPort));
}

void Win32Serial::requireLive() {
    if (m_gone)
        throw RuntimeError(err::DeviceGone, QStringLiteral("%1：COM%2 (%3)")
                                                .arg(standardDescription(err::DeviceGone))
                                                .arg(m_commPort)
                                                .arg(m_openPath));
    if (m_readFault != 0) {
        const DWORD e = std::exchange(m_readFault, 0);
        throw RuntimeError(err::CommReadFailed, QStringLiteral("%1：%2 (%3)")
                                                    .arg(standardDescription(err::CommReadFailed),
                                                         m_openPath, reason(e)));
    }
}

// A driver call failed: the cable is out, or the failure is kept for the next call to raise.
void Win32Serial::failed(DWORD error) {
    if (isGoneError(error))
        markGone();
    else
        m_readFault = error;
}

void Win32Serial::output(const QByteArray& bytes) {
    requireOpen();
    requireLive();
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(m_port, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (!ok) {
        const DWORD e = ::GetLastError();
        if (isGoneError(e)) {
            markGone();
            requireLive();
        }
        throw RuntimeError(err::CommWriteFailed, QStringLiteral("%1：%2 (%3)")
                                                     .arg(standardDescription(err::CommWriteFailed),
                                                          m_openPath, reason(e)));
    }
    if (written < static_cast<DWORD>(bytes.size()))
        throw RuntimeError(
            err::CommWriteFailed,
            QCoreApplication::translate("SerialPort", "%1：%2 沒有在 %3 毫秒內收下資料")
                .arg(standardDescription(err::CommWriteFailed), m_openPath)
                .arg(kWriteTimeoutMs));
}

void Win32Serial::pullInput() {
    if (m_port == INVALID_HANDLE_VALUE || m_gone || m_readFault != 0)
        return;
    // A pulled cable shows here first: a read of an adapter that is gone may just come back empty.
    if (!checkLineErrors())
        return;
    char chunk[kReadChunk];
    for (int pass = 0; pass < kMaxReadsPerPull; ++pass) {
        DWORD got = 0;
        if (!::ReadFile(m_port, chunk, kReadChunk, &got, nullptr)) {
            failed(::GetLastError());
            return;
        }
        takeBytes(QByteArrayView(chunk, got));
        if (got < kReadChunk)
            return; // the driver had no more; what comes next waits for the next call
    }
}

// The driver's error flags since the last look, each an event; false when the device is gone.
bool Win32Serial::checkLineErrors() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(m_port, &errors, &status)) {
        failed(::GetLastError());
        return false;
    }
    const std::pair<DWORD, int16_t> flags[] = {{CE_BREAK, comm::ErBreak},
                                               {CE_FRAME, comm::ErFrame},
                                               {CE_OVERRUN, comm::ErOverrun},
                                               {CE_RXPARITY, comm::ErRxParity},
                                               {CE_RXOVER, comm::ErRxOver}};
    for (const auto& [flag, code] : flags)
        if ((errors & flag) != 0)
            m_events.queue(code);
    return true;
}

void Win32Serial::takeBytes(QByteArrayView bytes) {
    if (keepBytes(bytes))
        m_events.queue(comm::ErRxOver);
}

void Win32Serial::readModemLines(bool report) {
    DWORD lines = 0;
    if (!::GetCommModemStatus(m_port, &lines)) {
        // A pseudo-terminal, and some adapters, have no modem lines to tell: stop asking.
        const DWORD e = ::GetLastError();
        if (isGoneError(e))
            markGone();
        else
            m_askModemLines = false;
        return;
    }
    if (report) {
        if (((lines ^ m_modemLines) & MS_DSR_ON) != 0)
            m_events.queue(comm::EvDSR);
        if ((lines & ~m_modemLines & MS_RING_ON) != 0)
            m_events.queue(comm::EvRing);
    }
    m_modemLines = lines;
}

void Win32Serial::onLineTimer() {
    if (m_port == INVALID_HANDLE_VALUE || m_gone || m_readFault != 0)
        return;
    if (checkLineErrors() && m_askModemLines)
        readModemLines(true);
}

void Win32Serial::markGone() {
    m_gone = true;
    m_lineTimer.stop();
}

} // namespace vx
