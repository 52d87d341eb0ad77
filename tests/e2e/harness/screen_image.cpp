#include "screen_image.h"

#include <algorithm>
#include <cctype>

namespace vx::e2e {

namespace {

// The next header number of a PPM, skipping white space and comments.
std::optional<int> headerNumber(const std::string& bytes, std::size_t& pos) {
    for (;;) {
        while (pos < bytes.size() && std::isspace(static_cast<unsigned char>(bytes[pos])))
            ++pos;
        if (pos < bytes.size() && bytes[pos] == '#') {
            while (pos < bytes.size() && bytes[pos] != '\n')
                ++pos;
            continue;
        }
        break;
    }
    int value = 0;
    const std::size_t start = pos;
    while (pos < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[pos])) &&
           value < 1'000'000)
        value = value * 10 + (bytes[pos++] - '0');
    if (pos == start)
        return std::nullopt;
    return value;
}

Rect clip(const Rect& area, int width, int height) {
    const int left = std::clamp(area.x, 0, width);
    const int top = std::clamp(area.y, 0, height);
    const int right = std::clamp(area.right(), 0, width);
    const int bottom = std::clamp(area.bottom(), 0, height);
    return {left, top, std::max(0, right - left), std::max(0, bottom - top)};
}

} // namespace

bool Rect::intersects(const Rect& other) const {
    return x < other.right() && other.x < right() && y < other.bottom() && other.y < bottom();
}

std::optional<ScreenImage> ScreenImage::fromPpm(const std::string& bytes) {
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] != '6')
        return std::nullopt;
    std::size_t pos = 2;
    const std::optional<int> width = headerNumber(bytes, pos);
    const std::optional<int> height = headerNumber(bytes, pos);
    const std::optional<int> maxval = headerNumber(bytes, pos);
    if (!width || !height || maxval != 255 || pos >= bytes.size())
        return std::nullopt;
    ++pos; // the single white space before the pixels
    const std::size_t size =
        static_cast<std::size_t>(*width) * static_cast<std::size_t>(*height) * 3;
    if (bytes.size() - pos < size)
        return std::nullopt;
    ScreenImage image;
    image.m_width = *width;
    image.m_height = *height;
    image.m_rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                       bytes.begin() + static_cast<std::ptrdiff_t>(pos + size));
    return image;
}

Rgb ScreenImage::pixel(int x, int y) const {
    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
                            static_cast<std::size_t>(x)) *
                           3;
    return {m_rgb[at], m_rgb[at + 1], m_rgb[at + 2]};
}

bool ScreenImage::sameIn(const ScreenImage& other, const Rect& area) const {
    const Rect a = clip(area, std::min(m_width, other.m_width), std::min(m_height, other.m_height));
    for (int y = a.y; y < a.bottom(); ++y)
        for (int x = a.x; x < a.right(); ++x)
            if (!(pixel(x, y) == other.pixel(x, y)))
                return false;
    return true;
}

int ScreenImage::darkPixels(const Rect& area, int level) const {
    const Rect a = clip(area, m_width, m_height);
    int count = 0;
    for (int y = a.y; y < a.bottom(); ++y)
        for (int x = a.x; x < a.right(); ++x) {
            const Rgb p = pixel(x, y);
            if (p.r < level && p.g < level && p.b < level)
                ++count;
        }
    return count;
}

std::optional<Rgb> ScreenImage::rowColour(int y) const {
    if (y < 0 || y >= m_height || m_width == 0)
        return std::nullopt;
    const Rgb first = pixel(0, y);
    for (int x = 1; x < m_width; ++x)
        if (!(pixel(x, y) == first))
            return std::nullopt;
    return first;
}

} // namespace vx::e2e
