#pragma once

#include <QString>
#include <functional>

namespace vx {

// The device that the operator named for a port number (the settings store's [Ports] n=path), so
// the counter keeps its number whichever USB socket it is in; empty when none is named.
using NamedPorts = std::function<QString(int portNumber)>;

// What the port menu shows about a port, found without opening it.
struct SerialDeviceInfo {
    QString path;         // the device the port number leads to
    bool named = false;   // the path is the one named for the port number
    bool present = false; // the path leads to a serial device now
    QString stableName;   // the device's name that does not change between plugs, if it has one
    QString device;       // for a named path that is present: the device it leads to now
};

// Where port numbers lead: the device named for a number wins over the system's own name for it.
class SerialDevices {
public:
    explicit SerialDevices(NamedPorts named)
        : m_named(std::move(named)) {}
    virtual ~SerialDevices() = default;

    // The device of port number n.
    QString pathOf(int portNumber) const {
        const QString named = namedPath(portNumber);
        return named.isEmpty() ? systemPath(portNumber) : named;
    }
    virtual SerialDeviceInfo describe(int portNumber) const = 0;
    // Whether the operator named a device for port number n.
    bool isNamed(int portNumber) const { return !namedPath(portNumber).isEmpty(); }

protected:
    QString namedPath(int portNumber) const {
        return m_named ? m_named(portNumber).trimmed() : QString();
    }
    // The system's own name for port number n.
    virtual QString systemPath(int portNumber) const = 0;

private:
    NamedPorts m_named;
};

} // namespace vx
