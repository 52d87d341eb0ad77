#include "conversions.h"

#include "runtime_error.h"

#include <cmath>

namespace vx {

int16_t toInt16(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || trimmed.isEmpty() || !std::isfinite(value))
        throw RuntimeError(
            err::TypeMismatch,
            QStringLiteral("%1：「%2」").arg(standardDescription(err::TypeMismatch), text));
    const double rounded = std::nearbyint(value); // the default rounding mode: half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        throw RuntimeError(err::Overflow,
                           QStringLiteral("%1：%2").arg(standardDescription(err::Overflow), text));
    return static_cast<int16_t>(rounded);
}

} // namespace vx
