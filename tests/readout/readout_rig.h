#pragma once

#include "form_rig.h"
#include "readout/frame_handler.h"
#include "readout/keypad.h"
#include "readout/poll_cycle.h"

namespace vx::testing {

inline const QByteArray ThreeAxisMetric =
    QByteArrayLiteral("X   -12.345 Y   250.000 Z     0.001  M\r\n");
inline const QByteArray ThreeAxisInch =
    QByteArrayLiteral("X    1.2346 Y   -0.5000 Z -123.4567  I\r\n");
inline const QByteArray TwoAxis = QByteArrayLiteral("X   -12.345 Y     7.500 \r\n");

// The readout's handlers on a scripted port (number 1, open) with a log file in the test folder.
struct ReadoutRig : FormRig {
    ReadoutRig() {
        serial.addPort(1);
        serial.setPortOpen(true);
        serial.setInputLen(50);
        form.Timer1.setHandler([this] { poll.Timer1_Timer(); });
        form.Timer1.setEnabled(true);
    }
    QString logPath() { return rig.path(QStringLiteral("log.txt")); }
    void openLog() { rig.files.openAppend(fileno::LogFile, logPath()); }
    QByteArray logBytes() { return fileBytes(logPath()); }
    void handle(const QByteArray& line) { frames.handleFrame(line); }
    bool tick() { return form.Timer1.fire(); }

    FrameHandler frames{form, state, platform};
    PollCycle poll{form, state, platform, frames};
    Keypad keypad{form, state, platform};
};

} // namespace vx::testing
