#pragma once

#include <QByteArray>

namespace vx {

// What one line of the counter says. The line has fixed columns, counted from 1 at its first
// character: "X" (1), the X reading (2-11), the Y reading (14-23), "T" to record (24), "Z" for a
// three-axis counter (25), the Z reading (26-35), "T" to record (36) and "M" for metric (38). The
// readings are the text in their columns as it stands, shorter or empty where the line ends.
struct DecodedFrame {
    enum class Unit { None, Metric, Imperial }; // None: a two-axis line shows no unit

    QByteArray x;
    QByteArray y;
    QByteArray z;
    bool threeAxes = false;
    Unit unit = Unit::None;
    bool recordMarker = false;

    bool operator==(const DecodedFrame&) const = default;
};

// Whether a complete line is a frame: its first character is "X", exactly.
bool isFrame(const QByteArray& line);
// Markers compare exactly, case included.
DecodedFrame decodeFrame(const QByteArray& line);

} // namespace vx
