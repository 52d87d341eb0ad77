#pragma once

#include "platform/operating_system.h"

namespace vx {

// Windows: communications devices, file handles, named kernel objects of the user's session, the
// user's known folders and the language of the user interface.
class Win32System : public OperatingSystem {
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
