#include "operating_system.h"
#include "platform/posix/posix_system.h"

namespace vx::app {

std::unique_ptr<OperatingSystem> thisOperatingSystem() {
    return std::make_unique<PosixSystem>();
}

} // namespace vx::app
