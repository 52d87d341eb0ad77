#include "pulled_serial.h"

namespace vx {

int PulledSerial::inBufferCount() {
    requireOpen();
    pullInput();
    requireLive();
    return static_cast<int>(m_inBuffer.size());
}

QByteArray PulledSerial::input() {
    requireOpen();
    pullInput();
    requireLive();
    bool endsAtGap = false;
    QByteArray chunk = m_inBuffer.take(inputLen(), endsAtGap);
    if (endsAtGap)
        noteBytesLost();
    if (!chunk.isEmpty())
        m_overflowing = false;
    return chunk;
}

bool PulledSerial::keepBytes(QByteArrayView bytes) {
    if (!m_inBuffer.append(bytes, inBufferSize()) || m_overflowing)
        return false;
    m_overflowing = true;
    return true;
}

void PulledSerial::clearInput() {
    m_inBuffer.clear();
    m_overflowing = false;
}

} // namespace vx
