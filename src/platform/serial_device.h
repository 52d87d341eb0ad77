#pragma once

#include <QString>
#include <functional>

namespace vx {

// The device that the operator named for a port number (the settings store's [Ports] n=path), so
// the counter keeps its number whichever USB socket it is in; empty when none is named.
using NamedSerialDevices = std::function<QString(int portNumber)>;
// Installs the lookup for the whole program (nothing: no port is named).
void setNamedSerialDevices(NamedSerialDevices lookup);

// The device of serial port number n: the one named for it, else /dev/ttyUSB<n-1>, or
// $VX_SERIAL_PORT_DIR/COM<n> when that variable names a folder of links (the simulator's, or one a
// user made to reach another device).
QString serialDevicePath(int portNumber);

// What the port menu shows about a port, found without opening it.
struct SerialDeviceInfo {
    QString path;         // serialDevicePath(portNumber)
    bool named = false;   // the path is the one named for the port number
    bool present = false; // the path leads to a character device now
    QString stableName;   // the /dev/serial/by-id name of that device, empty when it has none
    QString device;       // for a named path that is present: the device it leads to now
};

SerialDeviceInfo describeSerialDevice(int portNumber);
// The same, with the stable names looked up in byIdFolder instead of /dev/serial/by-id.
SerialDeviceInfo describeSerialDevice(int portNumber, const QString& byIdFolder);

} // namespace vx
