#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <deque>

namespace vx {

// The bytes received and not yet read, with the places where bytes were dropped because the
// buffer was full: a read never runs past such a gap, so the reader learns where a line broke.
class InputQueue {
public:
    // Appends what fits within the capacity; the rest is dropped and a gap marked where it would
    // have gone. Returns whether anything was dropped.
    bool append(QByteArrayView bytes, qsizetype capacity);
    // Bytes were lost before they reached the queue: a gap after what waits now.
    void markGap();
    qsizetype size() const { return m_bytes.size(); }
    // Removes and returns at most `most` bytes (all for 0 or less), never beyond a gap; endsAtGap
    // tells whether they end where bytes were lost.
    QByteArray take(qsizetype most, bool& endsAtGap);
    void clear();

private:
    QByteArray m_bytes;
    std::deque<qsizetype> m_gaps; // offsets into m_bytes, ascending
};

} // namespace vx
