#pragma once

#include <QByteArray>
#include <QStringList>
#include <cstdint>

namespace vx {

// The numbered files of the program.
namespace fileno {
inline constexpr int LogFile = 1;      // records of the counter's lines, opened by the operator
inline constexpr int PortSettings = 2; // port number and line speed, open for the whole run
} // namespace fileno

// The counter's side of the line: "O" asks it for one line, and a line ends with a line feed.
inline const QByteArray PollCharacter = QByteArrayLiteral("O");
inline constexpr char LineEnd = '\n';

// The state that the main window's handlers share for the whole run.
struct ModuleState {
    int16_t portNumber = 0;   // port read from the settings file, chosen, found or typed
    bool deviceFound = false; // the latest start-up wait ended with the counter's line
    QByteArray lastChunk;     // what the latest read of the serial input returned
    QByteArray frameBuffer;   // what came in since the last complete line
    int16_t idleTicks = 0;    // empty ticks since the last idle poll, 0 to 26
    bool twoAxis = false;     // the last frame had no Z reading
    bool recordRequest = false;
    bool paused = false;     // Halt stopped the readout; Go continues it
    int32_t recordCount = 0; // records written to the log file since it was opened or closed
    // Why ports that are there could not be opened while the start-up looked for the counter.
    QStringList portFailures;
};

} // namespace vx
