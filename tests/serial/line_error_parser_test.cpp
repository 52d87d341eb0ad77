#include "platform/line_error_parser.h"

#include <gtest/gtest.h>
#include <optional>

namespace vx {
namespace {

// Bytes with embedded NULs, as the driver writes them.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

// The driver marks a break as FF 00 00, a bad byte b as FF 00 b and a data FF as FF FF. The marks
// are taken apart whatever the read boundaries: whole, cut anywhere once, and byte by byte.
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
    for (const auto& row : rows) {
        for (qsizetype step = 0; step < row.raw.size(); ++step) {
            // step 0: whole; otherwise cut at step, then byte by byte after a cut at 1.
            LineErrorParser parser(row.replacement);
            LineErrorParser::Result total;
            for (qsizetype from = 0; from < row.raw.size();) {
                const qsizetype end = step == 0 ? row.raw.size() : from == 0 ? step : from + 1;
                const auto part = parser.feed(QByteArrayView(row.raw).sliced(from, end - from));
                total.bytes += part.bytes;
                total.breaks += part.breaks;
                total.badBytes += part.badBytes;
                from = end;
            }
            EXPECT_EQ(total.bytes, row.clean) << row.raw.toHex(' ').toStdString() << " / " << step;
            EXPECT_EQ(total.breaks, row.breaks) << row.raw.toHex(' ').toStdString();
            EXPECT_EQ(total.badBytes, row.badBytes) << row.raw.toHex(' ').toStdString();
        }
    }
}

TEST(SerialLineErrorParser, ResetForgetsAPartialMark) {
    LineErrorParser parser;
    EXPECT_EQ(parser.feed(bytes("a\377\0")).bytes, "a");
    parser.reset();
    EXPECT_EQ(parser.feed(bytes("\0b")).bytes, bytes("\0b"));
}

} // namespace
} // namespace vx
