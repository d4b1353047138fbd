// SPDX-License-Identifier: MIT
#include "storage/JsonReader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

using json = nlohmann::json;

// The writer puts control characters other than \b \f \n \r \t into strings as they are (and
// so did every earlier version of the program), which strict JSON forbids. So that such a file
// reads back whole instead of stopping at the first of them, they are turned into \u escapes
// before parsing. Only characters inside string literals are touched, so the structure the
// parser sees is the same.
std::string EscapeRawControlCharacters(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    bool afterBackslash = false;
    static const char kHex[] = "0123456789abcdef";
    // Text is copied in runs between the characters that are escaped: nearly every file has
    // none.
    std::size_t copied = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (inString) {
            if (afterBackslash) {
                afterBackslash = false;
            } else if (c == '\\') {
                afterBackslash = true;
            } else if (c == '"') {
                inString = false;
            } else if (byte < 0x20) {
                out.append(text.substr(copied, i - copied));
                copied = i + 1;
                const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0x0F]};
                out.append(escape, sizeof escape);
            }
        } else if (c == '"') {
            inString = true;
        }
    }
    out.append(text.substr(copied));
    return out;
}

// JSON allows numbers of any size, but the parser stops at one too large for a double. Such a
// number is kept with its text like any other pair the program does not use, and it must not
// end the reading: the file's other pairs are written back ahead of the parameters, so a file
// that once held one would read back with every parameter gone. Before parsing, each such
// number outside strings is replaced by a stand-in, and the builder puts the original text
// back. The stand-in may occur in the file too; each occurrence is listed in order, with the
// text it stands for or none.
constexpr std::string_view kStandIn = "0.0e0";

bool IsJsonNumber(std::string_view t)
{
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i;
        return i - from;
    };
    if (i < t.size() && t[i] == '-')
        ++i;
    if (i < t.size() && t[i] == '0')
        ++i;
    else if (digits() == 0)
        return false;
    if (i < t.size() && t[i] == '.') {
        ++i;
        if (digits() == 0)
            return false;
    }
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (digits() == 0)
            return false;
    }
    return i == t.size();
}

// Whether a well-formed JSON number lies beyond the largest double. Its decimal order (the
// position of its first significant digit against the decimal point, plus the exponent)
// decides: the largest double is about 1.8e308.
bool OverflowsDouble(std::string_view t)
{
    std::size_t i = (t.front() == '-') ? 1 : 0;
    long long order = 0;
    bool significant = false;
    bool afterPoint = false;
    for (; i < t.size() && t[i] != 'e' && t[i] != 'E'; ++i) {
        const char c = t[i];
        if (c == '.') {
            afterPoint = true;
        } else if (!significant && c == '0') {
            if (afterPoint)
                --order;
        } else if (!significant) {
            significant = true;
            if (!afterPoint)
                ++order;
        } else if (!afterPoint) {
            ++order;
        }
    }
    if (!significant)
        return false; // zero, whatever its exponent
    long long exponent = 0;
    if (i < t.size()) {
        ++i;
        bool negative = false;
        if (t[i] == '+' || t[i] == '-')
            negative = t[i++] == '-';
        for (; i < t.size(); ++i)
            exponent = std::min<long long>(exponent * 10 + (t[i] - '0'), LLONG_MAX / 20);
        if (negative)
            exponent = -exponent;
    }
    const long long total = order + exponent;
    if (total != 309)
        return total > 309;
    // Of the same order as the largest double: the conversion decides (no locale involved).
    double value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    return error == std::errc::result_out_of_range;
}

// Replaces, outside strings, each number too large for a double by the stand-in; lists every
// stand-in of the resulting text in order, with the text it replaced (none for one that was in
// the file).
std::string StandInForHugeNumbers(std::string text,
                                  std::deque<std::optional<std::string>> &standIns)
{
    std::string out;
    out.reserve(text.size());
    bool inString = false;
    bool afterBackslash = false;
    const auto isNumberChar = [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.' ||
               c == 'e' || c == 'E';
    };
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (inString) {
            if (afterBackslash)
                afterBackslash = false;
            else if (c == '\\')
                afterBackslash = true;
            else if (c == '"')
                inString = false;
            out.push_back(c);
            ++i;
        } else if (c == '"') {
            inString = true;
            out.push_back(c);
            ++i;
        } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t end = i;
            while (end < text.size() && isNumberChar(text[end]))
                ++end;
            const std::string_view run(text.data() + i, end - i);
            if (run == kStandIn) {
                standIns.emplace_back(std::nullopt);
                out.append(run);
            } else if (IsJsonNumber(run) && OverflowsDouble(run)) {
                standIns.emplace_back(std::string(run));
                out.append(kStandIn);
            } else {
                out.append(run);
            }
            i = end;
        } else {
            out.push_back(c);
            ++i;
        }
    }
    return out;
}

// Builds the document from the parser's events. Pairs of the top-level object are added only
// once their value is complete, so a pair that the end of the text or an error cuts short is
// never seen; nested values are built on a stack and handed up when they close.
class TDocumentBuilder
{
public:
    TDocumentBuilder(TJsonReadResult &result, std::deque<std::optional<std::string>> standIns)
        : fResult(result), fStandIns(std::move(standIns))
    {}

    bool null() { return Deliver(TJsonValue::Null()); }
    bool boolean(bool value) { return Deliver(TJsonValue::Boolean(value)); }
    // The parser reports an integer with a minus sign here, and only such integers; the text
    // of the number is thus its decimal form, "-0" included.
    bool number_integer(json::number_integer_t value)
    {
        return Deliver(TJsonValue::Number(value == 0 ? std::string("-0") : std::to_string(value)));
    }
    bool number_unsigned(json::number_unsigned_t value)
    {
        return Deliver(TJsonValue::Number(std::to_string(value)));
    }
    bool number_float(json::number_float_t, const std::string &text)
    {
        if (text == kStandIn && !fStandIns.empty()) {
            std::optional<std::string> original = std::move(fStandIns.front());
            fStandIns.pop_front();
            if (original)
                return Deliver(TJsonValue::Number(std::move(*original)));
        }
        return Deliver(TJsonValue::Number(text));
    }
    bool string(std::string &value) { return Deliver(TJsonValue::String(std::move(value))); }
    bool binary(json::binary_t &) { return false; }

    bool start_object(std::size_t)
    {
        if (!fInRoot) {
            // The text must be one object; anything else (or a second value) ends reading.
            if (fRootDone)
                return false;
            fInRoot = true;
            return true;
        }
        return Open(TJsonValue::Object());
    }
    bool key(std::string &name)
    {
        (fOpen.empty() ? fRootKey : fOpen.back().key) = std::move(name);
        return true;
    }
    bool end_object()
    {
        if (fOpen.empty()) {
            fInRoot = false;
            fRootDone = true;
            fResult.complete = true;
            return false; // whatever follows the object is not read
        }
        return Close();
    }
    bool start_array(std::size_t)
    {
        if (!fInRoot)
            return false;
        return Open(TJsonValue::Array());
    }
    bool end_array() { return Close(); }

    bool parse_error(std::size_t, const std::string &lastToken,
                     const nlohmann::detail::exception &e)
    {
        // A number too large for a double that the stand-ins did not catch (one the parser
        // rounds past the largest double although its order is that of the largest) is kept
        // with its text; reading stops there, as the parser cannot go on.
        constexpr int kNumberOverflow = 406;
        if (e.id == kNumberOverflow)
            Deliver(TJsonValue::Number(lastToken));
        return false;
    }

private:
    struct TOpenValue
    {
        TJsonValue value;
        std::string key; // the key of the pair being read, when value is an object
    };

    int Depth() const { return (fInRoot ? 1 : 0) + static_cast<int>(fOpen.size()); }

    bool Open(TJsonValue container)
    {
        if (Depth() + 1 > kMaxJsonNesting) {
            fResult.nestingError =
                QStringLiteral("The nesting level of JSON arrays / objects is greater than %1")
                    .arg(kMaxJsonNesting);
            return false;
        }
        fOpen.push_back({std::move(container), {}});
        return true;
    }

    bool Close()
    {
        if (fOpen.empty())
            return false;
        TJsonValue done = std::move(fOpen.back().value);
        fOpen.pop_back();
        return Deliver(std::move(done));
    }

    bool Deliver(TJsonValue value)
    {
        if (!fInRoot)
            return false;
        if (fOpen.empty()) {
            fResult.document.AddPair(std::move(fRootKey), std::move(value));
            fRootKey.clear();
            return true;
        }
        TOpenValue &parent = fOpen.back();
        if (parent.value.Kind() == TJsonValue::TKind::jkArray) {
            parent.value.AddItem(std::move(value));
        } else {
            parent.value.AddPair(std::move(parent.key), std::move(value));
            parent.key.clear();
        }
        return true;
    }

    TJsonReadResult &fResult;
    std::deque<std::optional<std::string>> fStandIns;
    bool fInRoot = false;
    bool fRootDone = false;
    std::string fRootKey;
    std::vector<TOpenValue> fOpen;
};

} // namespace

TJsonReadResult ReadJsonObject(std::string_view utf8)
{
    TJsonReadResult result;
    // The parser would pass over a byte-order mark here; but the file's own mark is gone
    // already, so this one is a character before the "{" and the text is no object.
    if (utf8.substr(0, 3) == "\xEF\xBB\xBF")
        return result;
    // A number that runs to the very end of the text may have lost digits with the rest of
    // the file ("400" cut to "40"): its pair counts as cut short. A whole object ends in "}",
    // and besides a number only a string left open by the cut can end in a digit, which is
    // cut short either way.
    while (!utf8.empty() && utf8.back() >= '0' && utf8.back() <= '9')
        utf8.remove_suffix(1);
    std::deque<std::optional<std::string>> standIns;
    const std::string text = StandInForHugeNumbers(EscapeRawControlCharacters(utf8), standIns);
    TDocumentBuilder builder(result, std::move(standIns));
    // Not strict: what follows the object is of no interest. Syntax errors come through
    // parse_error and end the reading there. Nothing else is taken for the end of the text:
    // memory that runs out (std::bad_alloc) or any other failure goes to the caller, which
    // must not take a half-read document for the file's content.
    json::sax_parse(text.begin(), text.end(), &builder, json::input_format_t::json, false);
    return result;
}
