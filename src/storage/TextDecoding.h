// SPDX-License-Identifier: MIT
// Settings files are written in UTF-8 with a byte-order mark, but a file edited elsewhere may
// come in UTF-16 or without a mark. Everything read is turned into UTF-8 before parsing.
#pragma once

#include <QByteArray>

// Decodes raw file bytes by their byte-order mark (UTF-8, UTF-16 little-endian, UTF-16
// big-endian, tried in that order; the mark is dropped). Without a mark the text is UTF-8
// when it is valid UTF-8, and Latin-1 otherwise. Returns the text as UTF-8; bytes that do not
// decode (after a mark) become U+FFFD.
QByteArray FileTextToUtf8(const QByteArray &raw);
