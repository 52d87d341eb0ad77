#include "big_readout_layout.h"

#include <algorithm>
#include <cmath>

namespace vx {

int BigReadoutLayout::fittingSize(double width, double height, int rows, int figureCells,
                                  const Face& face) {
    const int cells = LeadCells + std::max(figureCells, static_cast<int>(FieldCells));
    const double bySize =
        std::min(width * (1 - 2 * Margin) / (cells * face.cell),
                 height * (1 - 2 * Margin) / ((rows + InfoLines * InfoLine) * face.line));
    return std::max(1, static_cast<int>(std::floor(bySize)));
}

BigReadoutLayout BigReadoutLayout::at(double width, double height, int rows, int figureCells,
                                      const Face& face, int pixelSize) {
    BigReadoutLayout layout;
    layout.rows = rows;
    layout.figureCells = std::max(figureCells, static_cast<int>(FieldCells));
    layout.pixelSize = pixelSize;
    layout.cell = pixelSize * face.cell;
    layout.line = pixelSize * face.line;
    layout.left = (width - layout.width()) / 2;
    layout.top = (height - (rows + InfoLines * InfoLine) * layout.line) / 2;
    layout.band = 0.75 * Margin * std::min(width, height);
    return layout;
}

int decimalsOf(const QString& reading) {
    const QString text = reading.trimmed();
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : static_cast<int>(text.size() - point - 1);
}

int firstCellOf(const QString& reading, int decimals, int figureCells) {
    const QString text = reading.trimmed();
    const int length = static_cast<int>(text.size());
    const int places = decimalsOf(text);
    const bool hasPoint = text.contains(QLatin1Char('.'));
    // The point column: the last cells hold the decimals, the one before them the point.
    const int pointCell = figureCells - 1 - decimals;
    const int first = hasPoint ? pointCell - (length - places - 1) : pointCell - length;
    if (places > decimals || first < 0)
        return figureCells - length;
    return first;
}

uint32_t highContrastColour(VbColor color) {
    constexpr uint32_t Light = 0xF2F2F2;
    constexpr uint32_t Dim = 0x8C8C8C;
    if ((color & 0x80000000U) != 0) {
        switch (color & 0xFFU) {
        case 17: // greyed text
            return Dim;
        default:
            return Light;
        }
    }
    const int rgb[] = {static_cast<int>(color & 0xFFU), static_cast<int>((color >> 8) & 0xFFU),
                       static_cast<int>((color >> 16) & 0xFFU)};
    const int high = *std::max_element(std::begin(rgb), std::end(rgb));
    const int low = *std::min_element(std::begin(rgb), std::end(rgb));
    if (high - low < 48)
        return high >= 230 ? Light : Dim;
    // Full brightness, then a fifth of the way to white.
    uint32_t result = 0;
    for (const int channel : rgb) {
        const double full = channel * 255.0 / high;
        result = (result << 8) | static_cast<uint32_t>(std::lround(full + (255 - full) * 0.2));
    }
    return result;
}

} // namespace vx
