#pragma once

#include "form/controls.h"

#include <QPixmap>
#include <QWidget>

namespace vx::ui {

// Makes the widget for a control (label, button, frame or picture box) under the parent, at its
// place, and keeps it showing the control's caption, visibility, height and colour.
QWidget* createControlWidget(Control& control, QWidget* parent, const QPixmap& picture = {});

} // namespace vx::ui
