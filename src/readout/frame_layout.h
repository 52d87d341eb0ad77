#pragma once

#include <QByteArray>

namespace vx::frame {

// The counter's line: fixed columns counted from 1 at its first character.
inline constexpr char Marker = 'X';      // column 1: a frame
inline constexpr int XColumn = 2;        // columns 2-11: X reading
inline constexpr int YColumn = 14;       // columns 14-23: Y reading
inline constexpr int RecordColumn = 24;  // "T": write this line as a record
inline constexpr int ZMarkerColumn = 25; // "Z": a three-axis counter
inline constexpr int ZColumn = 26;       // columns 26-35: Z reading
inline constexpr int RecordColumn2 = 36; // "T" as well
inline constexpr int UnitColumn = 38;    // "M" metric, anything else imperial
inline constexpr int ReadingWidth = 10;

// The text from the column on, at most width characters; shorter or empty when the line ends.
QByteArray field(const QByteArray& line, int column, int width);
// Whether the column holds exactly that character (case counts).
bool hasMarker(const QByteArray& line, int column, char marker);

} // namespace vx::frame
