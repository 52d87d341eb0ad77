#pragma once

#include <QString>
#include <cstdint>

namespace vx {

// Reads a text as a number and rounds it to a whole number, half to the even neighbour ("2.5"
// gives 2). Raises 13 when the text is no number, 6 when it is outside the type's range.
int16_t toInt16(const QString& text);
int32_t toInt32(const QString& text);
// A whole number as 16 bits; 6 when it does not fit.
int16_t toInt16(int32_t value);

} // namespace vx
