#pragma once

#include <optional>
#include <termios.h>

namespace vx {

// The line speeds a terminal can be set to, by bits per second. The program, the simulator and the
// test and benchmark harnesses all read this one table.
struct LineSpeed {
    int baud;
    speed_t code;
};

inline constexpr LineSpeed LineSpeeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

// The termios code of a speed, or nothing for a speed the line cannot run at.
constexpr std::optional<speed_t> speedCode(int baud) {
    for (const LineSpeed& s : LineSpeeds)
        if (s.baud == baud)
            return s.code;
    return std::nullopt;
}

// The bits per second of a termios code, or nothing for a code the table does not hold.
constexpr std::optional<int> baudOf(speed_t code) {
    for (const LineSpeed& s : LineSpeeds)
        if (s.code == code)
            return s.baud;
    return std::nullopt;
}

} // namespace vx
