#pragma once

#include "platform/serial_devices.h"

namespace vx {

// Port n is /dev/ttyUSB<n-1>, or $VX_SERIAL_PORT_DIR/COM<n> when that variable names a folder of
// links (the simulator's, or one a user made to reach another device). Stable names are those
// under /dev/serial/by-id.
class PosixSerialDevices : public SerialDevices {
public:
    explicit PosixSerialDevices(NamedPorts named,
                                QString byIdFolder = QStringLiteral("/dev/serial/by-id"))
        : SerialDevices(std::move(named))
        , m_byIdFolder(std::move(byIdFolder)) {}

    SerialDeviceInfo describe(int portNumber) const override;

protected:
    QString systemPath(int portNumber) const override;

private:
    QString m_byIdFolder;
};

} // namespace vx
