#include "frame_layout.h"

namespace vx::frame {

QByteArray field(const QByteArray& line, int column, int width) {
    if (column < 1 || column > line.size())
        return {};
    return line.mid(column - 1, width);
}

bool hasMarker(const QByteArray& line, int column, char marker) {
    return column >= 1 && column <= line.size() && line.at(column - 1) == marker;
}

} // namespace vx::frame
