// SPDX-License-Identifier: MIT
#include "link/FieldSplitter.h"

#include <cstring>

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
    fields.fSpans.clear();

    const qsizetype nul = line.indexOf('\0');
    if (nul >= 0)
        line = line.first(nul);

    // The fields' bytes are never more than the line's, so one resize makes room for all of
    // them and they are written through a plain pointer (resize keeps the capacity).
    fields.fBytes.resize(line.size());
    char *const base = fields.fBytes.data();
    char *out = base;
    const char *p = line.data();
    const char *const end = p + line.size();

    auto addField = [&](const char *start) {
        fields.fSpans.append({start - base, out - start});
    };

    while (p < end && IsBlank(*p))
        ++p;
    while (p < end) {
        const char *const start = out;
        if (*p == kQuote) {
            ++p;
            while (p < end) {
                if (*p == kQuote) {
                    if (p + 1 < end && p[1] == kQuote) {
                        *out++ = kQuote;
                        p += 2;
                        continue;
                    }
                    ++p; // the closing quote
                    break;
                }
                *out++ = *p++;
            }
        } else {
            const char *const first = p;
            while (p < end && !IsBlank(*p) && *p != kComma)
                ++p;
            std::memcpy(out, first, size_t(p - first));
            out += p - first;
        }
        addField(start);

        while (p < end && IsBlank(*p))
            ++p;
        if (p < end && *p == kComma) {
            if (p + 1 == end)
                addField(out); // a trailing comma: one more, empty, field
            do
                ++p;
            while (p < end && IsBlank(*p));
        }
    }
    fields.fBytes.resize(out - base);
    return fields.Count();
}
