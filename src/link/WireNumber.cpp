// SPDX-License-Identifier: MIT
#include "link/WireNumber.h"

#include <limits>

namespace {

// Digit value of c in the given base, or -1. Only ASCII digits count: a field is bytes off the
// wire, and other scripts' digits are not numbers to the interface.
template <class Ch> int DigitValue(Ch ch, int base)
{
    const auto c = static_cast<char32_t>(ch);
    int v = -1;
    if (c >= U'0' && c <= U'9')
        v = int(c - U'0');
    else if (base == 16 && c >= U'a' && c <= U'f')
        v = int(c - U'a') + 10;
    else if (base == 16 && c >= U'A' && c <= U'F')
        v = int(c - U'A') + 10;
    return v < base ? v : -1;
}

template <class Ch> std::optional<int32_t> ReadInt(const Ch *p, qsizetype n)
{
    const Ch *const end = p + n;
    bool negative = false;
    if (p < end && (*p == Ch('+') || *p == Ch('-'))) {
        negative = *p == Ch('-');
        ++p;
    }
    int base = 10;
    if (p < end && *p == Ch('$')) {
        base = 16;
        ++p;
    } else if (p < end && (*p == Ch('x') || *p == Ch('X'))) {
        base = 16;
        ++p;
    } else if (end - p >= 2 && p[0] == Ch('0') && (p[1] == Ch('x') || p[1] == Ch('X'))) {
        base = 16;
        p += 2;
    }
    if (p == end)
        return std::nullopt;

    // Accumulate the magnitude in 64 bits and stop as soon as it can no longer fit, so that
    // any number of digits is safe.
    constexpr int64_t kLimit = int64_t(std::numeric_limits<int32_t>::max()) + 1; // |INT32_MIN|
    int64_t magnitude = 0;
    for (; p < end; ++p) {
        const int d = DigitValue(*p, base);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * base + d;
        if (magnitude > kLimit)
            return std::nullopt;
    }
    if (!negative && magnitude == kLimit)
        return std::nullopt;
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

} // namespace

std::optional<int32_t> ReadWireInt(QByteArrayView text)
{
    return ReadInt(text.data(), text.size());
}

std::optional<int32_t> ReadWireInt(QStringView text)
{
    return ReadInt(text.utf16(), text.size());
}
