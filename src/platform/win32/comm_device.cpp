#include "comm_device.h"

#include <QCoreApplication>

namespace vx::comm_device {

bool isGoneError(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_NOT_READY:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE:
    case ERROR_OPERATION_ABORTED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return true;
    default:
        return false;
    }
}

QString reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString result =
        length > 0 ? QString::fromWCharArray(text, static_cast<int>(length)).trimmed() : QString();
    ::LocalFree(text);
    if (result.isEmpty())
        result = QStringLiteral("Windows 錯誤 %1").arg(error);
    return result;
}

void checkLine(const LineSettings& line) {
    if (line.parity != 'N' || line.dataBits != 8)
        throw RuntimeError(
            err::InvalidSettings,
            QCoreApplication::translate(
                "SerialPort",
                "傳輸設定「%1」無法使用：只支援無同位檢查 (N)、8 個資料位元、1 或 2 個停止位元")
                .arg(line.toString()));
}

DWORD setCommLine(HANDLE port, const LineSettings& line, DWORD writeTimeoutMs) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(port, &dcb))
        return ::GetLastError();
    dcb.BaudRate = static_cast<DWORD>(line.baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = line.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE; // an error must not stop the port until the program clears it
    if (!::SetCommState(port, &dcb))
        return ::GetLastError();
    // A read returns at once with what is there: an interval of MAXDWORD with both totals 0.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = writeTimeoutMs;
    if (!::SetCommTimeouts(port, &timeouts))
        return ::GetLastError();
    return 0;
}

QString openableName(const QString& path) {
    if (path.contains(QLatin1Char('\\')) || path.contains(QLatin1Char('/')) ||
        path.contains(QLatin1Char(':')))
        return path;
    return QStringLiteral("\\\\.\\") + path;
}

RuntimeError noSuchPort(int port, const QString& path, const QString& detail) {
    return {err::InvalidPortNumber, QStringLiteral("%1：COM%2 (%3) %4")
                                        .arg(standardDescription(err::InvalidPortNumber))
                                        .arg(port)
                                        .arg(path, detail)};
}

RuntimeError portInUse(int port, const QString& path) {
    return {
        err::PortInUse,
        QCoreApplication::translate(
            "SerialPort", "傳輸埠 COM%1 正被其他程式使用：%2 已被開啟，請先關閉使用這個裝置的程式")
            .arg(port)
            .arg(path)};
}

RuntimeError openFailure(DWORD error, int port, const QString& path) {
    switch (error) {
    case ERROR_ACCESS_DENIED: // a communications device is opened by one program at a time
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY:
        return portInUse(port, path);
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return noSuchPort(port, path, QCoreApplication::translate("SerialPort", "不存在"));
    default:
        return noSuchPort(port, path, reason(error));
    }
}

} // namespace vx::comm_device
