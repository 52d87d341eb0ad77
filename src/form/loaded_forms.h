#pragma once

#include "form/controls.h"

#include <algorithm>
#include <vector>

namespace vx {

// The windows that are loaded now, in the order they were loaded. The program ends when none is
// left.
class LoadedForms {
public:
    void add(FormWindow& window) { m_windows.push_back(&window); }
    void remove(FormWindow& window) { std::erase(m_windows, &window); }
    int count() const { return static_cast<int>(m_windows.size()); }
    FormWindow& at(int position) const { return *m_windows.at(static_cast<size_t>(position)); }

private:
    std::vector<FormWindow*> m_windows;
};

} // namespace vx
