#include "operating_system.h"
#include "platform/win32/win32_system.h"

namespace vx::app {

std::unique_ptr<OperatingSystem> thisOperatingSystem() {
    return std::make_unique<Win32System>();
}

} // namespace vx::app
