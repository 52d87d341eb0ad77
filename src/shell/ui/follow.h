#pragma once

#include "form/controls.h"

#include <QObject>

namespace vx::ui {

// The view follows the property holder for as long as the view lives: the observation ends with
// it, so the observer never runs for a view that is gone.
void follow(QObject* view, Observable& holder, Observable::Observer observer);

} // namespace vx::ui
