#pragma once

#include "platform/serial_devices.h"

namespace vx {

// Port n is COMn, the number Windows shows for the adapter in the Device Manager (and keeps for
// it in whichever USB socket it is plugged). A named port may be another COM name, a \\.\ device
// path, or any other device path that Windows opens.
class Win32SerialDevices : public SerialDevices {
public:
    using SerialDevices::SerialDevices;

    SerialDeviceInfo describe(int portNumber) const override;

protected:
    QString systemPath(int portNumber) const override;
};

} // namespace vx
