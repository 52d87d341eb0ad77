#pragma once

#include <functional>

namespace vx {

// One copy of the program per working folder (a copy per folder may serve a counter of its own).
// The first copy holds a claim that the system lets go of when it ends or dies; a second one asks
// it to come to the front.
class SingleCopy {
public:
    virtual ~SingleCopy() = default;

    // Takes the claim if no other copy holds it; false when another copy runs here.
    virtual bool claim() = 0;
    // Asks the running copy to bring its window to the front.
    virtual void callFirstCopy() = 0;
    // Called in the running copy, on the user-interface thread, when another one asks.
    void setOnCalled(std::function<void()> handler) { m_onCalled = std::move(handler); }

protected:
    void called() {
        if (m_onCalled)
            m_onCalled();
    }

private:
    std::function<void()> m_onCalled;
};

} // namespace vx
