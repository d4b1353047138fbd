// SPDX-License-Identifier: MIT
#include "storage/JsonWriter.h"

namespace {

constexpr const char *kLineEnd = "\r\n";
constexpr int kIndentWidth = 4;

void AppendIndent(std::string &out, int level)
{
    out.append(static_cast<std::size_t>(level * kIndentWidth), ' ');
}

// level: the indentation of the line on which the value begins. The content of an array or
// object goes one level deeper, its closing bracket back on that level.
void AppendValue(std::string &out, const TJsonValue &value, int level)
{
    switch (value.Kind()) {
    case TJsonValue::TKind::jkNull:
        out += "null";
        break;
    case TJsonValue::TKind::jkFalse:
        out += "false";
        break;
    case TJsonValue::TKind::jkTrue:
        out += "true";
        break;
    case TJsonValue::TKind::jkNumber:
        out += value.Text();
        break;
    case TJsonValue::TKind::jkString:
        AppendJsonString(out, value.Text());
        break;
    case TJsonValue::TKind::jkArray: {
        out += '[';
        out += kLineEnd;
        const auto &items = value.Items();
        for (std::size_t i = 0; i < items.size(); ++i) {
            AppendIndent(out, level + 1);
            AppendValue(out, items[i], level + 1);
            if (i + 1 < items.size())
                out += ',';
            out += kLineEnd;
        }
        AppendIndent(out, level);
        out += ']';
        break;
    }
    case TJsonValue::TKind::jkObject: {
        out += '{';
        out += kLineEnd;
        const auto &pairs = value.Pairs();
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            AppendIndent(out, level + 1);
            AppendJsonString(out, pairs[i].key);
            out += ": ";
            AppendValue(out, pairs[i].value, level + 1);
            if (i + 1 < pairs.size())
                out += ',';
            out += kLineEnd;
        }
        AppendIndent(out, level);
        out += '}';
        break;
    }
    }
}

} // namespace

void AppendJsonString(std::string &out, const std::string &text)
{
    out += '"';
    // The text goes in runs between the characters that are escaped.
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char *escape = nullptr;
        switch (text[i]) {
        case '"':
            escape = "\\\"";
            break;
        case '\\':
            escape = "\\\\";
            break;
        case '/':
            escape = "\\/";
            break;
        case '\b':
            escape = "\\b";
            break;
        case '\f':
            escape = "\\f";
            break;
        case '\n':
            escape = "\\n";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\t':
            escape = "\\t";
            break;
        default:
            continue;
        }
        out.append(text, copied, i - copied);
        out += escape;
        copied = i + 1;
    }
    out.append(text, copied, std::string::npos);
    out += '"';
}

QByteArray WriteSettingsJson(const TJsonValue &document)
{
    std::string out;
    // A parameter set alone takes some 500 bytes.
    out.reserve(1024);
    out = "\xEF\xBB\xBF";
    AppendValue(out, document, 0);
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}
