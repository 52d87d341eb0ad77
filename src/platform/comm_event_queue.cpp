#include "comm_event_queue.h"

#include <algorithm>

namespace vx {

void CommEventQueue::queue(int16_t code) {
    if (std::find(m_pending.begin(), m_pending.end(), code) != m_pending.end())
        return;
    m_pending.push_back(code);
    schedule();
}

void CommEventQueue::schedule() {
    if (m_scheduled)
        return;
    m_scheduled = true;
    QMetaObject::invokeMethod(
        this, [this] { deliverNext(); }, Qt::QueuedConnection);
}

// One event per pass of the event loop, so that a handler that runs a modal dialog (and with it a
// nested loop) still sees the rest in order.
void CommEventQueue::deliverNext() {
    m_scheduled = false;
    if (m_pending.empty())
        return;
    const int16_t code = m_pending.front();
    m_pending.pop_front();
    if (!m_pending.empty())
        schedule();
    m_raise(code);
}

} // namespace vx
