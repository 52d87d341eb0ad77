#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace vx {

// Undoes the marking that the terminal driver applies to received bytes when it is asked to mark
// line errors in the stream: "\377\0\0" is a break (no data byte), "\377\0c" is byte c received
// with a framing or parity error, "\377\377" is a real 0xFF. A marker can straddle two reads, so
// the partial state carries over from one feed to the next.
class LineErrorParser {
public:
    struct Result {
        QByteArray bytes; // the data, marks removed and bad bytes replaced
        int breaks = 0;
        int badBytes = 0; // bytes received with a framing or parity error
    };

    explicit LineErrorParser(std::optional<char> replacement = '?');

    // The character put in place of a byte received in error; none keeps the byte as received.
    void setReplacement(std::optional<char> replacement);
    Result feed(QByteArrayView raw);
    // Forgets a marker begun by an earlier feed: the next byte starts afresh.
    void reset();

private:
    enum class State { Data, Escape, ErrorMark };

    State m_state = State::Data;
    std::optional<char> m_replacement;
};

} // namespace vx
