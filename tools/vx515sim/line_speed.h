#pragma once

#include <termios.h>

namespace vx::sim {

// The bits per second of a termios speed code, 0 for a code it does not know.
int baudOf(speed_t speed);

} // namespace vx::sim
