// SPDX-License-Identifier: MIT
#include "link/FieldSplitter.h"

namespace {

constexpr char kQuote = '"';
constexpr char kComma = ',';

inline bool IsBlank(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 1 && u <= 32;
}

} // namespace

qsizetype SplitFields(QByteArrayView line, TWireFields &fields)
{
    fields.Clear();

    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line = line.first(nul);

    const char *p = line.data();
    const char *const end = p + line.size();

    auto addField = [&fields](qsizetype start) {
        fields.fSpans.append({start, fields.fBytes.size() - start});
    };

    while (p < end && IsBlank(*p))
        ++p;
    while (p < end) {
        const qsizetype start = fields.fBytes.size();
        if (*p == kQuote) {
            ++p;
            while (p < end) {
                if (*p == kQuote) {
                    if (p + 1 < end && p[1] == kQuote) {
                        fields.fBytes.append(kQuote);
                        p += 2;
                        continue;
                    }
                    ++p; // the closing quote
                    break;
                }
                fields.fBytes.append(*p++);
            }
        } else {
            const char *const first = p;
            while (p < end && !IsBlank(*p) && *p != kComma)
                ++p;
            fields.fBytes.append(first, p - first);
        }
        addField(start);

        while (p < end && IsBlank(*p))
            ++p;
        if (p < end && *p == kComma) {
            if (p + 1 == end)
                addField(fields.fBytes.size()); // a trailing comma: one more, empty, field
            do
                ++p;
            while (p < end && IsBlank(*p));
        }
    }
    return fields.Count();
}
