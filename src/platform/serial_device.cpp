#include "serial_device.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace vx {

namespace {
NamedSerialDevices& namedDevices() {
    static NamedSerialDevices lookup;
    return lookup;
}

QString namedDevice(int portNumber) {
    return namedDevices() ? namedDevices()(portNumber).trimmed() : QString();
}

QString numberedDevice(int portNumber) {
    const QString folder = qEnvironmentVariable("VX_SERIAL_PORT_DIR");
    if (!folder.isEmpty())
        return QDir(folder).filePath(QStringLiteral("COM%1").arg(portNumber));
    return QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 1);
}
} // namespace

void setNamedSerialDevices(NamedSerialDevices lookup) {
    namedDevices() = std::move(lookup);
}

QString serialDevicePath(int portNumber) {
    const QString named = namedDevice(portNumber);
    return named.isEmpty() ? numberedDevice(portNumber) : named;
}

SerialDeviceInfo describeSerialDevice(int portNumber) {
    return describeSerialDevice(portNumber, QStringLiteral("/dev/serial/by-id"));
}

SerialDeviceInfo describeSerialDevice(int portNumber, const QString& byIdFolder) {
    SerialDeviceInfo info;
    const QString named = namedDevice(portNumber);
    info.named = !named.isEmpty();
    info.path = info.named ? named : numberedDevice(portNumber);
    // stat, not open: opening a serial device raises its modem lines, which a tooltip must not do.
    struct stat st {};
    info.present =
        ::stat(QFile::encodeName(info.path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
    if (!info.present)
        return info;
    const QString device = QFileInfo(info.path).canonicalFilePath();
    if (info.named) {
        info.device = device; // a named path is the stable name already
        return info;
    }
    const QDir byId(byIdFolder);
    const QStringList names =
        byId.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (QFileInfo(byId.filePath(name)).canonicalFilePath() == device) {
            info.stableName = name;
            break;
        }
    }
    return info;
}

} // namespace vx
