#pragma once

#include "platform/operating_system.h"

namespace vx {

// Linux and other POSIX systems: terminal devices, file descriptors, flock and Unix sockets, the
// XDG base directories and the locale variables.
class PosixSystem : public OperatingSystem {
public:
    void prepareProcess() const override;
    QString userLanguage() const override;
    QString menuLaunchFolder() const override;
    std::unique_ptr<NumberedFiles> makeNumberedFiles() const override;
    std::unique_ptr<SerialDevices> makeSerialDevices(NamedPorts named) const override;
    std::unique_ptr<SerialComm> makeSerial(const SerialDevices& devices) const override;
    std::unique_ptr<SingleCopy> makeSingleCopy(const QString& workFolder) const override;
};

} // namespace vx
