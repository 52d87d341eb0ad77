#include "vx515sim/counter.h"

#include <utility>

namespace vx::sim {

namespace {

// Where the axes stand when the counter is switched on, in millimetres.
constexpr std::array<double, 3> StartPositions{120.0, -45.25, 10.0};
// Each answer moves every axis by at most this much, so a display visibly lives.
constexpr int MaxDriftMicrometres = 3;

const char* axisName(Axis axis) {
    switch (axis) {
    case Axis::X:
        return "X";
    case Axis::Y:
        return "Y";
    case Axis::Z:
        return "Z";
    }
    return "?";
}

} // namespace

Counter::Counter(const Config& config)
    : m_axes(config.axes == 2 ? 2 : 3)
    , m_still(config.still)
    , m_positions(StartPositions)
    , m_rng(config.seed) {
    m_settings.unit = config.unit;
}

void Counter::setAxes(int axes) {
    m_axes = axes == 2 ? 2 : 3;
    m_settings.divPending = false;
    m_undo.reset();
}

double Counter::shown(Axis axis) const {
    const std::size_t i = index(axis);
    double value = m_positions[i] - origins()[i];
    if (axis == Axis::X && m_settings.diameter)
        value *= 2.0;
    return m_settings.unit == Unit::Inch ? value / MillimetresPerInch : value;
}

std::optional<Counter::Action> Counter::actionFor(char code) const {
    if (m_axes == 2) {
        switch (code) {
        case '0':
            return Action::ZeroX;
        case '1':
            return Action::ZeroY;
        case '2':
            return Action::DiaRad;
        case '3':
            return Action::AbsRel;
        case '4':
            return Action::Div;
        case '5':
            return Action::Unit;
        case '8':
            return Action::Undo;
        default:
            return std::nullopt;
        }
    }
    switch (code) {
    case '0':
        return Action::ZeroX;
    case '1':
        return Action::ZeroY;
    case '2':
        return Action::ZeroZ;
    case '3':
        return Action::DiaRad;
    case '4':
        return Action::AbsRel;
    case '5':
        return Action::Unit;
    case '6':
        return Action::Div;
    case '8':
        return Action::Undo;
    default:
        return std::nullopt;
    }
}

KeyResult Counter::key(char code) {
    const std::optional<Action> action = actionFor(code);
    if (!action)
        return {false, "not a key of a " + std::to_string(m_axes) + "-axis counter"};

    std::optional<Axis> axis;
    if (*action == Action::ZeroX)
        axis = Axis::X;
    else if (*action == Action::ZeroY)
        axis = Axis::Y;
    else if (*action == Action::ZeroZ)
        axis = Axis::Z;

    // DIV and its axis key are one operation: the undo state saved at DIV covers both.
    if (axis && m_settings.divPending) {
        const std::size_t i = index(*axis);
        double& origin = origins()[i];
        origin = (m_positions[i] + origin) / 2.0;
        m_settings.divPending = false;
        return {true, std::string("halve-") + axisName(*axis)};
    }

    if (*action == Action::Undo) {
        if (!m_undo)
            return {true, "undo: nothing to undo"};
        m_settings = *m_undo;
        m_undo.reset();
        return {true, "undo"};
    }

    const bool divCancelled = std::exchange(m_settings.divPending, false);
    m_undo = m_settings;
    std::string text;
    switch (*action) {
    case Action::ZeroX:
    case Action::ZeroY:
    case Action::ZeroZ:
        origins()[index(*axis)] = m_positions[index(*axis)];
        text = std::string("zero-") + axisName(*axis);
        break;
    case Action::DiaRad:
        m_settings.diameter = !m_settings.diameter;
        text = m_settings.diameter ? "dia/rad: diameter" : "dia/rad: radius";
        break;
    case Action::AbsRel:
        m_settings.relative = !m_settings.relative;
        text = m_settings.relative ? "abs/rel: relative" : "abs/rel: absolute";
        break;
    case Action::Div:
        m_settings.divPending = true;
        text = "DIV: waiting for an axis";
        break;
    case Action::Unit:
        m_settings.unit = m_settings.unit == Unit::Inch ? Unit::Millimetre : Unit::Inch;
        text = m_settings.unit == Unit::Inch ? "unit: inch" : "unit: mm";
        break;
    case Action::Undo:
        break;
    }
    if (divCancelled)
        text += " (DIV cancelled)";
    return {true, text};
}

std::string Counter::line() const {
    LineFields fields;
    fields.axes = m_axes;
    fields.x = shown(Axis::X);
    fields.y = shown(Axis::Y);
    fields.z = shown(Axis::Z);
    fields.unit = m_settings.unit;
    fields.record = m_record;
    return formatLine(fields);
}

std::string Counter::answerPoll() {
    std::string answer = line();
    m_record = false;
    if (!m_still)
        drift();
    return answer;
}

void Counter::drift() {
    for (double& position : m_positions) {
        const auto step =
            static_cast<int>(m_rng.below(2 * MaxDriftMicrometres + 1)) - MaxDriftMicrometres;
        position += step / 1000.0;
    }
}

} // namespace vx::sim
