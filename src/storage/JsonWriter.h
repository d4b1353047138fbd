// SPDX-License-Identifier: MIT
// Writes a document in the fixed layout of settings files, byte for byte: UTF-8 with a
// byte-order mark, CR LF line ends, four spaces per level, ": " after keys, and no line break
// after the final "}".
#pragma once

#include "storage/JsonDocument.h"

#include <QByteArray>

#include <string>

// The whole file: the byte-order mark and the document (an object) in the layout.
QByteArray WriteSettingsJson(const TJsonValue &document);

// A JSON string in double quotes: " \ / backspace, form feed, line feed, carriage return and
// tab are escaped with a backslash, every other character (other control characters too) is
// written as it is.
void AppendJsonString(std::string &out, const std::string &text);
