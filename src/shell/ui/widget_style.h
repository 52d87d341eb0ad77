#pragma once

#include "form/controls.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>

namespace vx::ui {

// Twips to device-independent pixels (15 twips a pixel at 96 dots per inch); Qt scales the rest.
int pixels(int twips);
QRect pixelRect(const Twips& twips);
int twipsFromPixels(int pixels);

// A colour value of the windows: RGB as 0x00BBGGRR, or system colour nn as 0x800000nn.
QColor qtColor(VbColor color, const QPalette& palette);
QFont qtFont(const FontDefinition& definition);

// The Windows faces that the windows name stand for these faces on Linux.
void installFontSubstitutions();

} // namespace vx::ui
