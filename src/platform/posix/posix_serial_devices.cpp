#include "posix_serial_devices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace vx {

QString PosixSerialDevices::systemPath(int portNumber) const {
    const QString folder = qEnvironmentVariable("VX_SERIAL_PORT_DIR");
    if (!folder.isEmpty())
        return QDir(folder).filePath(QStringLiteral("COM%1").arg(portNumber));
    return QStringLiteral("/dev/ttyUSB%1").arg(portNumber - 1);
}

SerialDeviceInfo PosixSerialDevices::describe(int portNumber) const {
    SerialDeviceInfo info;
    const QString named = namedPath(portNumber);
    info.named = !named.isEmpty();
    info.path = info.named ? named : systemPath(portNumber);
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
    const QDir byId(m_byIdFolder);
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
