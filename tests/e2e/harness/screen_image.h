#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::e2e {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int right() const { return x + width; }
    int bottom() const { return y + height; }
    bool intersects(const Rect& other) const;
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

// A screenshot as 8-bit RGB pixels.
class ScreenImage {
public:
    // A binary PPM (P6, maxval 255), as "convert ... ppm:-" writes it; nothing when malformed.
    static std::optional<ScreenImage> fromPpm(const std::string& bytes);

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb pixel(int x, int y) const;

    // Whether the pixels inside the rectangle (clipped to the image) are the same in both.
    bool sameIn(const ScreenImage& other, const Rect& area) const;
    // Pixels inside the rectangle whose every channel is below the level: text on a light ground.
    int darkPixels(const Rect& area, int level = 96) const;
    // The one colour of a whole row, or nothing when it holds more than one.
    std::optional<Rgb> rowColour(int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint8_t> m_rgb;
};

} // namespace vx::e2e
