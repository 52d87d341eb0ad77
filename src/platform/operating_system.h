#pragma once

#include "numbered_files.h"
#include "serial_comm.h"
#include "serial_devices.h"
#include "single_copy.h"

#include <QString>
#include <memory>

namespace vx {

// Everything the program needs of the operating system, behind one seam: each system has one
// implementation, and main() chooses it.
class OperatingSystem {
public:
    virtual ~OperatingSystem() = default;

    // Once, before anything else: a write that cannot go through must be a run-time error that a
    // handler reports, never the end of the program.
    virtual void prepareProcess() const = 0;
    // The language the user asked the system for, as a locale name ("en_US", "zh_TW"); empty when
    // none is set.
    virtual QString userLanguage() const = 0;
    // The per-user working folder of a start from the desktop menu, which has no folder of its own.
    virtual QString menuLaunchFolder() const = 0;

    virtual std::unique_ptr<NumberedFiles> makeNumberedFiles() const = 0;
    virtual std::unique_ptr<SerialDevices> makeSerialDevices(NamedPorts named) const = 0;
    // The serial component; the devices must outlive it.
    virtual std::unique_ptr<SerialComm> makeSerial(const SerialDevices& devices) const = 0;
    // The single-copy claim for a working folder.
    virtual std::unique_ptr<SingleCopy> makeSingleCopy(const QString& workFolder) const = 0;
};

} // namespace vx
