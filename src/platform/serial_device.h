#pragma once

#include <QString>

namespace vx {

// The device of serial port number n: /dev/ttyUSB<n-1>, or $VX_SERIAL_PORT_DIR/COM<n> when that
// variable names a folder of links (the simulator's, or one a user made to reach another device).
QString serialDevicePath(int portNumber);

// What the port menu shows about a port, found without opening it.
struct SerialDeviceInfo {
    QString path;         // serialDevicePath(portNumber)
    bool present = false; // the path leads to a character device now
    QString stableName;   // the /dev/serial/by-id name of that device, empty when it has none
};

SerialDeviceInfo describeSerialDevice(int portNumber);
// The same, with the stable names looked up in byIdFolder instead of /dev/serial/by-id.
SerialDeviceInfo describeSerialDevice(int portNumber, const QString& byIdFolder);

} // namespace vx
