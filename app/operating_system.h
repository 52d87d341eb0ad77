#pragma once

#include "platform/operating_system.h"

#include <memory>

namespace vx::app {

// The operating system this build runs on: the one place where its side of the seam is chosen.
std::unique_ptr<OperatingSystem> thisOperatingSystem();

} // namespace vx::app
