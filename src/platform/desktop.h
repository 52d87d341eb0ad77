#pragma once

#include <QString>

namespace vx {

// The default beep.
class Sound {
public:
    virtual ~Sound() = default;
    virtual void beep() = 0;
};

// The time of day as the status bar shows it: hh:mm:ss on a 24-hour clock.
inline const QString TimeOfDayFormat = QStringLiteral("HH:mm:ss");

// Seconds for the start-up waits, and the time of day for the status bar.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds with sub-second resolution from a fixed point; never steps back, also not at
    // midnight.
    virtual double seconds() const = 0;
    // The time of day as hh:mm:ss, 24-hour clock.
    virtual QString timeOfDay() const = 0;
};

// Lets pending window events run from inside a handler, then returns.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void doEvents() = 0;
    // The same, for a loop that waits on the outside world: when nothing is pending it sleeps until
    // an event arrives or maxMs have passed, so the loop does not spin.
    virtual void doEventsOrWait(int maxMs) {
        (void)maxMs;
        doEvents();
    }
};

// Opens a help file with the desktop's viewer; raises a RuntimeError when that fails.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showContents(const QString& helpFile) = 0;
};

} // namespace vx
