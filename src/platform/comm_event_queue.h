#pragma once

#include <QObject>
#include <cstdint>
#include <deque>
#include <functional>

namespace vx {

// The serial component's events on their way to OnComm: found while the program reads the port or
// on a timer, raised from the event loop, never from inside a call the program made. One pending
// event of a kind says all there is to say until the program has seen it.
class CommEventQueue : public QObject {
public:
    explicit CommEventQueue(std::function<void(int16_t)> raise, QObject* parent = nullptr)
        : QObject(parent)
        , m_raise(std::move(raise)) {}

    void queue(int16_t code);
    // What a closed port had found belongs to nobody.
    void clear() { m_pending.clear(); }

private:
    void schedule();
    void deliverNext();

    std::function<void(int16_t)> m_raise;
    std::deque<int16_t> m_pending;
    bool m_scheduled = false;
};

} // namespace vx
