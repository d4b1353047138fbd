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
    if (StartsWith(raw, {0xEF, 0xBB, 0xBF}))
        return Decode(QStringConverter::Utf8, raw.mid(3));
    if (StartsWith(raw, {0xFF, 0xFE}))
        return Decode(QStringConverter::Utf16LE, raw.mid(2));
    if (StartsWith(raw, {0xFE, 0xFF}))
        return Decode(QStringConverter::Utf16BE, raw.mid(2));
    // No mark: the 8-bit code page. Every byte is a character of its own, and ASCII (all that
    // the program itself ever writes) reads the same as in UTF-8.
    return QString::fromLatin1(raw).toUtf8();
}
