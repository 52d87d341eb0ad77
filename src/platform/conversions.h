#pragma once

#include <QString>
#include <cstdint>

namespace vx {

// Reads a text as a number and rounds it to a 16-bit integer, half to the even neighbour
// ("2.5" gives 2). Raises 13 when the text is no number, 6 when it is outside -32768..32767.
int16_t toInt16(const QString& text);

} // namespace vx
