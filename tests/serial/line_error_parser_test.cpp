#include "platform/line_error_parser.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

namespace vx {
namespace {

// Bytes with embedded NULs, as the driver writes them.
template <qsizetype N> QByteArray bytes(const char (&text)[N]) {
    return QByteArray(text, N - 1);
}

struct Case {
    const char* name;
    QByteArray raw;
    QByteArray clean;
    int breaks;
    int badBytes;
    std::optional<char> replacement = '?';
};

const std::vector<Case>& cases() {
    static const std::vector<Case> table = {
        {"plain data", bytes("X+0012.345\r"), bytes("X+0012.345\r"), 0, 0},
        {"NUL bytes are data", bytes("\0a\0"), bytes("\0a\0"), 0, 0},
        {"doubled 0xFF is one 0xFF", bytes("a\377\377b"), bytes("a\377b"), 0, 0},
        {"break leaves no byte", bytes("a\377\0\0b"), bytes("ab"), 1, 0},
        {"bad byte replaced", bytes("a\377\0xb"), bytes("a?b"), 0, 1},
        {"bad 0xFF replaced", bytes("\377\0\377"), bytes("?"), 0, 1},
        {"no replacement keeps bad byte", bytes("a\377\0xb"), bytes("axb"), 0, 1, std::nullopt},
        {"other replacement", bytes("\377\0x"), bytes("*"), 0, 1, '*'},
        {"marks in a row", bytes("\377\377\377\0\0\377\0A\377\0\0\377\377"), bytes("\377?\377"), 2,
         1},
        {"unmarked 0xFF kept", bytes("\377A"), bytes("\377A"), 0, 0},
    };
    return table;
}

// Feeds raw cut at the given positions and sums what comes out.
LineErrorParser::Result feedInPieces(const Case& c, const std::vector<qsizetype>& cuts) {
    LineErrorParser parser(c.replacement);
    LineErrorParser::Result total;
    qsizetype from = 0;
    std::vector<qsizetype> ends = cuts;
    ends.push_back(c.raw.size());
    for (const qsizetype end : ends) {
        const LineErrorParser::Result part =
            parser.feed(QByteArrayView(c.raw).sliced(from, end - from));
        total.bytes += part.bytes;
        total.breaks += part.breaks;
        total.badBytes += part.badBytes;
        from = end;
    }
    return total;
}

void expectResult(const Case& c, const LineErrorParser::Result& r) {
    EXPECT_EQ(r.bytes, c.clean);
    EXPECT_EQ(r.breaks, c.breaks);
    EXPECT_EQ(r.badBytes, c.badBytes);
}

TEST(SerialLineErrorParser, DecodesMarksWhateverTheReadBoundaries) {
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.name);
        expectResult(c, feedInPieces(c, {}));
        for (qsizetype cut = 1; cut < c.raw.size(); ++cut) {
            SCOPED_TRACE(testing::Message() << "split at " << cut);
            expectResult(c, feedInPieces(c, {cut}));
        }
        std::vector<qsizetype> everyByte;
        for (qsizetype cut = 1; cut < c.raw.size(); ++cut)
            everyByte.push_back(cut);
        SCOPED_TRACE("byte by byte");
        expectResult(c, feedInPieces(c, everyByte));
    }
}

TEST(SerialLineErrorParser, ResetForgetsAPartialMarker) {
    LineErrorParser parser;
    EXPECT_EQ(parser.feed(bytes("a\377\0")).bytes, bytes("a"));
    parser.reset();
    const LineErrorParser::Result r = parser.feed(bytes("\0b"));
    EXPECT_EQ(r.bytes, bytes("\0b"));
    EXPECT_EQ(r.breaks, 0);
    EXPECT_EQ(r.badBytes, 0);
}

} // namespace
} // namespace vx
