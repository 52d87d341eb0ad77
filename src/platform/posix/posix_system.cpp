#include "posix_system.h"

#include "posix_numbered_files.h"
#include "posix_serial.h"
#include "posix_serial_devices.h"
#include "posix_single_copy.h"

#include <QDir>
#include <csignal>

namespace vx {

void PosixSystem::prepareProcess() const {
    // No signal for a reader that went away, nor for a file size limit.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

// The variables in the order the C library reads them for messages; LANGUAGE may list several
// languages, of which the first is the one wanted.
QString PosixSystem::userLanguage() const {
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable).section(QLatin1Char(':'), 0, 0);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

// $XDG_DATA_HOME/vx, or ~/.local/share/vx when XDG_DATA_HOME is unset or not absolute.
QString PosixSystem::menuLaunchFolder() const {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(dataHome + QStringLiteral("/vx"));
}

std::unique_ptr<NumberedFiles> PosixSystem::makeNumberedFiles() const {
    return std::make_unique<PosixNumberedFiles>();
}

std::unique_ptr<SerialDevices> PosixSystem::makeSerialDevices(NamedPorts named) const {
    return std::make_unique<PosixSerialDevices>(std::move(named));
}

std::unique_ptr<SerialComm> PosixSystem::makeSerial(const SerialDevices& devices) const {
    return std::make_unique<PosixSerial>(devices);
}

std::unique_ptr<SingleCopy> PosixSystem::makeSingleCopy(const QString& workFolder) const {
    return std::make_unique<PosixSingleCopy>(workFolder);
}

} // namespace vx
