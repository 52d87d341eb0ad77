#include "frame_decoding.h"

namespace vx {

namespace {

constexpr char FrameMarker = 'X';
constexpr int XColumn = 2;
constexpr int YColumn = 14;
constexpr int RecordColumn = 24;
constexpr int ZMarkerColumn = 25;
constexpr int ZColumn = 26;
constexpr int RecordColumn2 = 36;
constexpr int UnitColumn = 38;
constexpr int ReadingWidth = 10;

QByteArray field(const QByteArray& line, int column) {
    if (column > line.size())
        return {};
    return line.mid(column - 1, ReadingWidth);
}

bool hasMarker(const QByteArray& line, int column, char marker) {
    return column <= line.size() && line.at(column - 1) == marker;
}

} // namespace

bool isFrame(const QByteArray& line) {
    return line.startsWith(FrameMarker);
}

DecodedFrame decodeFrame(const QByteArray& line) {
    DecodedFrame frame;
    frame.x = field(line, XColumn);
    frame.y = field(line, YColumn);
    frame.z = field(line, ZColumn);
    frame.threeAxes = hasMarker(line, ZMarkerColumn, 'Z');
    if (frame.threeAxes)
        frame.unit = hasMarker(line, UnitColumn, 'M') ? DecodedFrame::Unit::Metric
                                                      : DecodedFrame::Unit::Imperial;
    frame.recordMarker = hasMarker(line, RecordColumn, 'T') || hasMarker(line, RecordColumn2, 'T');
    return frame;
}

} // namespace vx
