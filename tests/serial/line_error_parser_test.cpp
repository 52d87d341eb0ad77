#include "platform/line_error_parser.h"

#include <gtest/gtest.h>
#include <optional>

using namespace vx;

// Bytes with embedded NULs, as the driver writes them.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// The driver marks a break as FF 00 00, a bad byte b as FF 00 b and a data FF as FF FF. The marks
// are taken apart whatever the read boundaries.
TEST(SerialLineErrorParser, DecodesMarksWhateverTheReadBoundaries) {
    const struct {
        QByteArray raw, clean;
        int breaks, badBytes;
        std::optional<char> replacement = '?';
    } rows[] = {
        {bytes("X+0012.345\r\0"), bytes("X+0012.345\r\0"), 0, 0},
        {bytes("a\377\377b"), bytes("a\377b"), 0, 0},
        {bytes("a\377\0\0b"), bytes("ab"), 1, 0},
        {bytes("a\377\0xb\377\0\377"), bytes("a?b?"), 0, 2},
        {bytes("a\377\0xb"), bytes("axb"), 0, 1, std::nullopt},
        {bytes("\377\0x"), bytes("*"), 0, 1, '*'},
        {bytes("\377\377\377\0\0\377\0A\377\0\0\377\377"), bytes("\377?\377"), 2, 1},
        {bytes("\377A"), bytes("\377A"), 0, 0},
    };
    for (const auto& row : rows)
        for (const qsizetype piece : {row.raw.size(), qsizetype(1)}) { // whole, byte by byte
            LineErrorParser parser(row.replacement);
            LineErrorParser::Result total;
            for (qsizetype from = 0; from < row.raw.size(); from += piece) {
                const auto part = parser.feed(QByteArrayView(row.raw).sliced(from, piece));
                total.bytes += part.bytes;
                total.breaks += part.breaks;
                total.badBytes += part.badBytes;
            }
            const std::string trace = row.raw.toHex(' ').toStdString();
            EXPECT_EQ(total.bytes, row.clean) << trace;
            EXPECT_EQ(total.breaks, row.breaks) << trace;
            EXPECT_EQ(total.badBytes, row.badBytes) << trace;
        }
    LineErrorParser parser; // a reset forgets a partial mark
    EXPECT_EQ(parser.feed(bytes("a\377\0")).bytes, "a");
    parser.reset();
    EXPECT_EQ(parser.feed(bytes("\0b")).bytes, bytes("\0b"));
}
