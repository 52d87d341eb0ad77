#include "win32_serial_devices.h"

#include <windows.h>

namespace vx {

namespace {

// The device a name of the device namespace (COM3, or \\.\COM3) stands for now, as the system's
// own \Device\... path; empty when no such device is there. Asking opens nothing, so the port's
// modem lines stay as they are.
QString dosDeviceTarget(QString path) {
    if (path.startsWith(QStringLiteral("\\\\.\\")))
        path = path.mid(4);
    if (path.isEmpty() || path.contains(QLatin1Char('\\')) || path.contains(QLatin1Char('/')))
        return {};
    wchar_t target[1024] = {};
    if (::QueryDosDeviceW(reinterpret_cast<const wchar_t*>(path.utf16()), target,
                          sizeof target / sizeof target[0]) == 0)
        return {};
    return QString::fromWCharArray(target);
}

} // namespace

QString Win32SerialDevices::systemPath(int portNumber) const {
    return QStringLiteral("COM%1").arg(portNumber);
}

SerialDeviceInfo Win32SerialDevices::describe(int portNumber) const {
    SerialDeviceInfo info;
    const QString named = namedPath(portNumber);
    info.named = !named.isEmpty();
    info.path = info.named ? named : systemPath(portNumber);
    const QString target = dosDeviceTarget(info.path);
    info.present = !target.isEmpty();
    if (info.present && info.named)
        info.device = target;
    return info;
}

} // namespace vx
