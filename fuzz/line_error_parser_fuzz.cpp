// The line-error marks of the terminal driver: whatever bytes come, fed whole or in two reads, the
// parser gives the same data and counts, and never more bytes than it was given.
#include "platform/line_error_parser.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArrayView raw(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    const qsizetype cut = data[0] % (raw.size() + 1);
    vx::LineErrorParser whole, split;
    const auto all = whole.feed(raw);
    auto first = split.feed(raw.first(cut));
    const auto second = split.feed(raw.sliced(cut));
    if (all.bytes != first.bytes + second.bytes || all.breaks != first.breaks + second.breaks ||
        all.badBytes != first.badBytes + second.badBytes || all.bytes.size() > raw.size())
        std::abort();
    return 0;
}
