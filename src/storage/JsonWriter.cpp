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
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '/':
            out += "\\/";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    out += '"';
}

QByteArray WriteSettingsJson(const TJsonValue &document)
{
    std::string out = "\xEF\xBB\xBF";
    AppendValue(out, document, 0);
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}
