#include "conversions.h"

#include "runtime_error.h"

#include <QCoreApplication>
#include <cmath>
#include <limits>

namespace vx {

namespace {

template <class Whole> Whole toWhole(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || trimmed.isEmpty() || !std::isfinite(value))
        throw RuntimeError(err::TypeMismatch,
                           QCoreApplication::translate("RuntimeError", "%1：「%2」")
                               .arg(standardDescription(err::TypeMismatch), text));
    const double rounded = std::nearbyint(value); // the default rounding mode: half to even
    if (rounded < static_cast<double>(std::numeric_limits<Whole>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Whole>::max()))
        throw RuntimeError(err::Overflow, QCoreApplication::translate("RuntimeError", "%1：%2")
                                              .arg(standardDescription(err::Overflow), text));
    return static_cast<Whole>(rounded);
}

} // namespace

int16_t toInt16(const QString& text) {
    return toWhole<int16_t>(text);
}

int32_t toInt32(const QString& text) {
    return toWhole<int32_t>(text);
}

int16_t toInt16(int32_t value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw RuntimeError(err::Overflow, QCoreApplication::translate("RuntimeError", "%1：%2")
                                              .arg(standardDescription(err::Overflow))
                                              .arg(value));
    return static_cast<int16_t>(value);
}

} // namespace vx
