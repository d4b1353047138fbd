// SPDX-License-Identifier: MIT
// Reads the text of a settings file into a TJsonValue document, through the event (SAX)
// interface of nlohmann::json so that the order of pairs, duplicate keys and the text of
// numbers survive, which a DOM parser would lose.
#pragma once

#include "storage/JsonDocument.h"

#include <QString>

#include <string_view>

// How deep arrays and objects may nest, the document's own object counting as the first level.
constexpr int kMaxJsonNesting = 512;

struct TJsonReadResult
{
    // Always an object. It holds the pairs that were complete when reading stopped: at the
    // object's closing brace, at the first syntax error, or at nesting that is too deep; a
    // number at the very end of the text counts as cut short. A text that does not begin
    // (after white space) with "{" gives an empty object.
    TJsonValue document = TJsonValue::Object();
    // The object was read up to its closing brace.
    bool complete = false;
    // Set when nesting went deeper than kMaxJsonNesting: the message for the user.
    QString nestingError;
};

// utf8: the whole text, without a byte-order mark. Never throws for bad input; throws
// std::bad_alloc when memory runs out (and passes on any other failure), never returning a
// partial document in that case.
TJsonReadResult ReadJsonObject(std::string_view utf8);
