#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <functional>

namespace vx::testing {

// The one application object of a test program without windows: socket notifiers, timers, queued
// events and translators need it.
inline QCoreApplication& coreApplication() {
    static int argc = 1;
    static char name[] = "vx_tests", *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Waits without running the event loop, as the program's start-up loop does: what a component
// finds, it finds in the calls the program makes.
inline bool waitUntil(const std::function<bool()>& condition, int ms = 5000) {
    for (const QDeadlineTimer deadline(ms); !condition(); QThread::msleep(10))
        if (deadline.hasExpired())
            return false;
    return true;
}

} // namespace vx::testing
