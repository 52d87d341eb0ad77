#include "widget_style.h"

#include <cmath>

namespace vx::ui {

int pixels(int twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / TwipsPerPixel));
}

QRect pixelRect(const Twips& twips) {
    return {pixels(twips.left), pixels(twips.top), pixels(twips.width), pixels(twips.height)};
}

int twipsFromPixels(int pixels) {
    return pixels * TwipsPerPixel;
}

QColor qtColor(VbColor color, const QPalette& palette) {
    if ((color & 0x80000000U) != 0) {
        switch (color & 0xFFU) {
        case 5: // window background
            return palette.color(QPalette::Base);
        case 8: // window text
            return palette.color(QPalette::WindowText);
        case 15: // button face
            return palette.color(QPalette::Button);
        case 18: // button text
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::WindowText);
        }
    }
    return {static_cast<int>(color & 0xFFU), static_cast<int>((color >> 8) & 0xFFU),
            static_cast<int>((color >> 16) & 0xFFU)};
}

QFont qtFont(const FontDefinition& definition) {
    QFont font(definition.face);
    font.setPointSizeF(definition.points);
    font.setWeight(definition.weight >= 700 ? QFont::Bold : QFont::Normal);
    return font;
}

void installFontSubstitutions() {
    const QStringList cjkFallback = {QStringLiteral("Noto Serif CJK TC"),
                                     QStringLiteral("Noto Sans CJK TC"),
                                     QStringLiteral("WenQuanYi Zen Hei")};
    QFont::insertSubstitutions(face::Ming,
                               QStringList{QStringLiteral("AR PL UMing TW")} + cjkFallback);
    QFont::insertSubstitutions(face::Kai,
                               QStringList{QStringLiteral("AR PL UKai TW")} + cjkFallback);
}

} // namespace vx::ui
