// SPDX-License-Identifier: MIT
#include "storage/TextDecoding.h"

#include <QString>
#include <QStringDecoder>

namespace {

bool StartsWith(const QByteArray &raw, std::initializer_list<unsigned char> mark)
{
    if (raw.size() < static_cast<qsizetype>(mark.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char byte : mark) {
        if (static_cast<unsigned char>(raw[i++]) != byte)
            return false;
    }
    return true;
}

// Well-formed UTF-8 as Unicode defines it: no overlong forms, no encoded surrogates, nothing
// beyond U+10FFFF, no sequence cut short.
bool IsValidUtf8(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80; // the range of the second byte
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // overlong
            else if (lead == 0xED)
                high = 0x9F; // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90; // overlong
            else if (lead == 0xF4)
                high = 0x8F; // beyond U+10FFFF
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i < length; ++i) {
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        }
        p += length;
    }
    return true;
}

QByteArray Decode(QStringConverter::Encoding encoding, const QByteArray &bytes)
{
    // The mark was dropped already; a second one is text (and makes the file no JSON object).
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless |
                                         QStringConverter::Flag::ConvertInitialBom);
    const QString text = decoder.decode(bytes);
    return text.toUtf8();
}

} // namespace

QByteArray FileTextToUtf8(const QByteArray &raw)
{
    if (StartsWith(raw, {0xEF, 0xBB, 0xBF})) {
        // Well-formed UTF-8 decodes to itself (the program's own files always are): only the
        // mark goes. Anything else is decoded, which puts replacement characters in.
        QByteArray text = raw.mid(3);
        if (IsValidUtf8(text))
            return text;
        return Decode(QStringConverter::Utf8, text);
    }
    if (StartsWith(raw, {0xFF, 0xFE}))
        return Decode(QStringConverter::Utf16LE, raw.mid(2));
    if (StartsWith(raw, {0xFE, 0xFF}))
        return Decode(QStringConverter::Utf16BE, raw.mid(2));
    // No mark: editors on Linux write UTF-8 without one, so text that is valid UTF-8 is taken
    // as such. Anything else is the 8-bit code page: every byte a character of its own. ASCII
    // (all that the program itself ever writes) reads the same either way.
    if (IsValidUtf8(raw))
        return raw;
    return QString::fromLatin1(raw).toUtf8();
}
