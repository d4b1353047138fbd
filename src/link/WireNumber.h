// SPDX-License-Identifier: MIT
// Reading a reply field as an integer: an optional sign, then decimal digits, or hexadecimal
// digits after $, x or 0x; the value, sign included, must fit a 32-bit signed integer. Any
// other text (empty, blanks, a sign alone, trailing characters, too large) does not read and
// the caller uses its own default.
#pragma once

#include <QByteArrayView>
#include <QStringView>

#include <cstdint>
#include <optional>

std::optional<int32_t> ReadWireInt(QByteArrayView text);
std::optional<int32_t> ReadWireInt(QStringView text);

inline int32_t ReadWireInt(QByteArrayView text, int32_t fallback)
{
    return ReadWireInt(text).value_or(fallback);
}
inline int32_t ReadWireInt(QStringView text, int32_t fallback)
{
    return ReadWireInt(text).value_or(fallback);
}
