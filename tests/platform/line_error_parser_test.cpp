#include "platform/line_error_parser.h"

#include <gtest/gtest.h>

using namespace vx;

// Bytes with embedded NULs, as the driver writes them.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// The driver marks a break as FF 00 00, a bad byte b as FF 00 b and a data FF as FF FF. The marks
// are taken apart whatever the read boundaries.
TEST(SerialLineErrorParser, DecodesMarksWhateverTheReadBoundaries) {
    const std::tuple<QByteArray, QByteArray, int, int, std::optional<char>> rows[] = {
        {bytes("X+0012.345\r\0"), bytes("X+0012.345\r\0"), 0, 0, '?'},
        {bytes("a\377\0\0b"), bytes("ab"), 1, 0, '?'},
        {bytes("a\377\0xb\377\0\377"), bytes("a?b?"), 0, 2, '?'},
        {bytes("a\377\0xb"), bytes("axb"), 0, 1, std::nullopt},
        {bytes("\377\377\377\0\0\377\0A\377\0\0\377\377"), bytes("\377?\377"), 2, 1, '?'},
        {bytes("\377A"), bytes("\377A"), 0, 0, '?'},
    };
    for (const auto& [raw, clean, breaks, badBytes, replacement] : rows)
        for (const qsizetype piece : {raw.size(), qsizetype(1)}) { // whole, byte by byte
            LineErrorParser parser(replacement);
            LineErrorParser::Result total;
            for (qsizetype from = 0; from < raw.size(); from += piece) {
                const auto part = parser.feed(QByteArrayView(raw).sliced(from, piece));
                total = {total.bytes + part.bytes, total.breaks + part.breaks,
                         total.badBytes + part.badBytes};
            }
            EXPECT_EQ(std::tuple(total.bytes, total.breaks, total.badBytes),
                      std::tuple(clean, breaks, badBytes))
                << raw.toHex(' ').toStdString();
        }
    LineErrorParser parser; // a reset forgets a partial mark
    EXPECT_EQ(parser.feed(bytes("a\377\0")).bytes, "a");
    parser.reset();
    EXPECT_EQ(parser.feed(bytes("\0b")).bytes, bytes("\0b"));
}
