#pragma once

#include "vx515sim/line_format.h"
#include "vx515sim/rng.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vx::sim {

enum class Axis { X = 0, Y = 1, Z = 2 };

struct KeyResult {
    bool known = false;
    std::string text; // what the key did, for the log
};

// The counter behind the line: axis positions that drift a little with every answer, one origin
// per absolute/relative mode, diameter/radius, the unit shown, DIV and one level of undo.
class Counter {
public:
    struct Config {
        int axes = 3;
        Unit unit = Unit::Millimetre;
        std::uint64_t seed = 1;
        bool still = false; // the axes do not drift
    };

    explicit Counter(const Config& config);

    int axes() const { return m_axes; }
    // A different counter on the same cable: the positions stay, a pending DIV and the undo go.
    void setAxes(int axes);

    Unit unit() const { return m_settings.unit; }
    bool relative() const { return m_settings.relative; }
    bool diameter() const { return m_settings.diameter; }
    bool divPending() const { return m_settings.divPending; }

    // Machine positions in millimetres, independent of origins and modes.
    double position(Axis axis) const { return m_positions[index(axis)]; }
    void setPosition(Axis axis, double millimetres) { m_positions[index(axis)] = millimetres; }

    // The reading shown for an axis, in the unit shown.
    double shown(Axis axis) const;

    // A key code as sent by the program; unknown codes change nothing.
    KeyResult key(char code);

    void requestRecord() { m_record = true; }

    // The line shown now, without its line end.
    std::string line() const;
    // The answer to one poll: the line shown now; the record request is used up and the axes
    // drift afterwards, so a reading just zeroed is answered as zero.
    std::string answerPoll();

    void drift();

private:
    enum class Action { ZeroX, ZeroY, ZeroZ, DiaRad, AbsRel, Div, Unit, Undo };

    struct Settings {
        Unit unit = Unit::Millimetre;
        bool relative = false;
        bool diameter = false;
        bool divPending = false;
        std::array<double, 3> absoluteOrigin{};
        std::array<double, 3> relativeOrigin{};
    };

    static std::size_t index(Axis axis) { return static_cast<std::size_t>(axis); }
    std::optional<Action> actionFor(char code) const;
    std::array<double, 3>& origins() {
        return m_settings.relative ? m_settings.relativeOrigin : m_settings.absoluteOrigin;
    }
    const std::array<double, 3>& origins() const {
        return m_settings.relative ? m_settings.relativeOrigin : m_settings.absoluteOrigin;
    }

    int m_axes;
    bool m_still;
    Settings m_settings;
    std::optional<Settings> m_undo;
    std::array<double, 3> m_positions;
    bool m_record = false;
    Rng m_rng;
};

} // namespace vx::sim
