#include "line_error_parser.h"

namespace vx {

namespace {
constexpr char kMark = '\377';
}

LineErrorParser::LineErrorParser(std::optional<char> replacement)
    : m_replacement(replacement) {}

void LineErrorParser::setReplacement(std::optional<char> replacement) {
    m_replacement = replacement;
}

void LineErrorParser::reset() {
    m_state = State::Data;
}

LineErrorParser::Result LineErrorParser::feed(QByteArrayView raw) {
    Result out;
    out.bytes.reserve(raw.size());
    for (const char c : raw) {
        switch (m_state) {
        case State::Data:
            if (c == kMark)
                m_state = State::Escape;
            else
                out.bytes.append(c);
            break;
        case State::Escape:
            m_state = State::Data;
            if (c == kMark) {
                out.bytes.append(kMark);
            } else if (c == '\0') {
                m_state = State::ErrorMark;
            } else {
                // Not a marker the driver writes: the stream was not being marked, keep it as is.
                out.bytes.append(kMark);
                out.bytes.append(c);
            }
            break;
        case State::ErrorMark:
            m_state = State::Data;
            if (c == '\0') {
                ++out.breaks;
            } else {
                ++out.badBytes;
                out.bytes.append(m_replacement.value_or(c));
            }
            break;
        }
    }
    return out;
}

} // namespace vx
