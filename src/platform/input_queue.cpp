#include "input_queue.h"

#include <algorithm>

namespace vx {

bool InputQueue::append(QByteArrayView bytes, qsizetype capacity) {
    const qsizetype room = std::max<qsizetype>(std::max<qsizetype>(capacity, 1) - size(), 0);
    m_bytes.append(bytes.first(std::min(room, bytes.size())));
    if (bytes.size() <= room)
        return false;
    markGap();
    return true;
}

void InputQueue::markGap() {
    if (m_gaps.empty() || m_gaps.back() != size())
        m_gaps.push_back(size());
}

QByteArray InputQueue::take(qsizetype most, bool& endsAtGap) {
    qsizetype n = most > 0 ? std::min(most, size()) : size();
    if (!m_gaps.empty())
        n = std::min(n, m_gaps.front());
    endsAtGap = !m_gaps.empty() && n == m_gaps.front();
    QByteArray chunk = m_bytes.left(n);
    m_bytes.remove(0, n);
    if (endsAtGap)
        m_gaps.pop_front();
    for (qsizetype& gap : m_gaps)
        gap -= n;
    return chunk;
}

void InputQueue::clear() {
    m_bytes.clear();
    m_gaps.clear();
}

} // namespace vx
