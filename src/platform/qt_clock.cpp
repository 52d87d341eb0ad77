#include "qt_clock.h"

#include <QTime>

namespace vx {

QString QtClock::timeOfDay() const {
    return QTime::currentTime().toString(TimeOfDayFormat);
}

} // namespace vx
