#pragma once

#include "../error_trap.h"
#include "../runtime_error.h"

#include <functional>
#include <map>

namespace vx::testing {

// Errors on cue: the next `times` calls of an op raise the number (0: every call until cleared).
template <class Op> class Faults {
public:
    void failNext(Op op, int errorNumber, int times = 1) { m_faults[op] = {errorNumber, times}; }
    void clearFaults() { m_faults.clear(); }

protected:
    void maybeFail(Op op) {
        const auto it = m_faults.find(op);
        if (it == m_faults.end())
            return;
        const int number = it->second.first;
        if (it->second.second > 0 && --it->second.second == 0)
            m_faults.erase(it);
        throw RuntimeError(number);
    }

private:
    std::map<Op, std::pair<int, int>> m_faults; // op -> (error, calls left)
};

// The run-time error of the operation, or 0; its description goes to the text if one is given.
inline int errorOf(const std::function<void()>& op, QString* description = nullptr) {
    ResumeNext step;
    step(op);
    if (description && step.error())
        *description = step.error()->description();
    return step.number();
}

} // namespace vx::testing
