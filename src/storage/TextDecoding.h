// SPDX-License-Identifier: MIT
// Settings files are written in UTF-8 with a byte-order mark, but a file edited elsewhere may
// come in UTF-16 or without a mark. Everything read is turned into UTF-8 before parsing.
#pragma once

#include <QByteArray>

// Decodes raw file bytes by their byte-order mark (UTF-8, UTF-16 little-endian, UTF-16
// big-endian, tried in that order; the mark is dropped), or as Latin-1 when there is none,
// and returns the text as UTF-8. Bytes that do not decode become U+FFFD.
QByteArray FileTextToUtf8(const QByteArray &raw);
