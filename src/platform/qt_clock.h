#pragma once

#include "desktop.h"

#include <QElapsedTimer>

namespace vx {

class QtClock : public Clock {
public:
    QtClock() { m_elapsed.start(); }
    double seconds() const override { return static_cast<double>(m_elapsed.nsecsElapsed()) / 1e9; }
    QString timeOfDay() const override;

private:
    QElapsedTimer m_elapsed; // monotonic: a wait that spans midnight still ends
};

} // namespace vx
