#pragma once

#include "form/controls.h"

#include <QString>
#include <cstdint>

namespace vx {

// Where the big readout puts its figures. A row is the axis letter, a blank cell and the reading in
// cells of one width, so the decimal points stand in one column; below the rows, two lines at half
// size (the count and the unit, then a word on the readings or the last record), and around it all,
// inside the margin, the band that marks a record. Everything is in pixels of the window.
struct BigReadoutLayout {
    // Proportions of the figures' face for a font of size 1: the widest figure and the line.
    struct Face {
        double cell = 0.6;
        double line = 1.2;
        double ascent = 0.95;
    };

    static constexpr int FieldCells = 10; // a reading of the counter is ten characters at most
    static constexpr int LeadCells = 2;   // the axis letter and a blank
    static constexpr int InfoLines = 2;
    static constexpr double InfoLine = 0.5; // of a row's height
    static constexpr double Margin = 0.04;  // of the window's width and height, on each side

    int pixelSize = 1; // the figures' font size
    double left = 0;   // of the rows
    double top = 0;
    double cell = 0;
    double line = 0;
    int rows = 0;
    int figureCells = FieldCells;
    double band = 0; // the record mark's width, within the margin

    // The largest font size at which the rows fit the window, for the face's proportions.
    static int fittingSize(double width, double height, int rows, int figureCells,
                           const Face& face);
    // The rows in that font size, centred in the window.
    static BigReadoutLayout at(double width, double height, int rows, int figureCells,
                               const Face& face, int pixelSize);

    double rowTop(int row) const { return top + row * line; }
    double width() const { return (LeadCells + figureCells) * cell; }
    double infoTop(int infoLine) const { return rowTop(rows) + infoLine * InfoLine * line; }
    // The left edge of the figure cell that holds character `index` of a reading whose text
    // starts at `firstCell`.
    double figureLeft(int firstCell, int index) const {
        return left + (LeadCells + firstCell + index) * cell;
    }
};

// The decimal places of a reading: digits after its point, 0 without one.
int decimalsOf(const QString& reading);
// The cell where a reading (without its padding) starts, so that its point falls in the column
// left for `decimals` places; a reading that does not fit that way stands at the right.
int firstCellOf(const QString& reading, int decimals, int figureCells);

// The figures' colour in the big readout, light on its dark ground (0xRRGGBB): the ordinary text
// colour is near white, other neutral colours (a reading no longer live) a mid grey, and colours
// such as Halt's red or imperial magenta are kept, brightened to read well on the dark.
uint32_t highContrastColour(VbColor color);
inline constexpr uint32_t BigReadoutGround = 0x101010;

} // namespace vx
