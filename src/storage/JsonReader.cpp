// SPDX-License-Identifier: MIT
#include "storage/JsonReader.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace {

using json = nlohmann::json;

// Two things are done to the text before the parser sees it, in one pass that copies the text
// only when one of them changes something (nearly every file needs neither):
//
// The writer puts control characters other than \b \f \n \r \t into strings as they are (and
// so did every earlier version of the program), which strict JSON forbids. So that such a file
// reads back whole instead of stopping at the first of them, they are turned into \u escapes.
// Only characters inside string literals are touched, so the structure the parser sees is the
// same.
//
// JSON allows numbers of any size, but the parser stops at one too large for a double. Such a
// number is kept with its text like any other pair the program does not use, and it must not
// end the reading: the file's other pairs are written back ahead of the parameters, so a file
// that once held one would read back with every parameter gone. Each such number outside
// strings is replaced by a stand-in, and the builder puts the original text back. The stand-in
// may occur in the file too; each occurrence is listed in order, with the text it stands for or
// none.
constexpr std::string_view kStandIn = "0.0e0";

using TStandIns = std::vector<std::optional<std::string>>;

// Byte classes for the scan: what ends a run of plain characters outside strings (a quote, or
// the first character of a number) and inside them (a quote, a backslash, a control
// character), and what continues a number.
enum : unsigned char
{
    kStopOutside = 1,
    kStopInside = 2,
    kInNumber = 4
};
constexpr std::array<unsigned char, 256> kByteClassTable = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 0x20; ++c)
        classes[c] |= kStopInside;
    classes['"'] |= kStopOutside | kStopInside;
    classes['\\'] |= kStopInside;
    classes['-'] |= kStopOutside;
    for (int c = '0'; c <= '9'; ++c)
        classes[c] |= kStopOutside | kInNumber;
    for (const char c : {'-', '+', '.', 'e', 'E'})
        classes[static_cast<unsigned char>(c)] |= kInNumber;
    return classes;
}();
const unsigned char *const kByteClass = kByteClassTable.data();

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

// A copy of a text with some of its pieces replaced, made only once the first piece is.
class TTextEdits
{
public:
    TTextEdits(std::string_view text, std::string &storage) : fText(text), fStorage(storage) {}

    // Replaces the text's characters from..to (after those replaced before) with with.
    void Replace(std::size_t from, std::size_t to, std::string_view with)
    {
        if (!fChanged) {
            fStorage.reserve(fText.size() + 16);
            fChanged = true;
        }
        fStorage.append(fText.substr(fCopied, from - fCopied));
        fStorage.append(with);
        fCopied = to;
    }

    // The text with its replacements.
    std::string_view Result()
    {
        if (!fChanged)
            return fText;
        fStorage.append(fText.substr(fCopied));
        return fStorage;
    }

private:
    std::string_view fText;
    std::string &fStorage;
    bool fChanged = false;
    std::size_t fCopied = 0; // the text before this is in fStorage
};

// The text the parser reads: text itself when nothing needs changing, else storage holding the
// changed copy. standIns lists the stand-ins of the returned text. (The scan keeps its
// position in a plain local: nothing takes its address, so it stays in a register.)
std::string_view PrepareForParser(std::string_view text, std::string &storage, TStandIns &standIns)
{
    TTextEdits edits(text, storage);
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const std::size_t size = text.size();
    static const char kHex[] = "0123456789abcdef";

    std::size_t i = 0;
    while (i < size) {
        while (i < size && !(kByteClass[bytes[i]] & kStopOutside))
            ++i;
        if (i >= size)
            break;
        if (bytes[i] == '"') {
            // A string: up to its closing quote, the character after a backslash skipped.
            ++i;
            while (i < size) {
                while (i < size && !(kByteClass[bytes[i]] & kStopInside))
                    ++i;
                if (i >= size)
                    break;
                const unsigned char c = bytes[i];
                if (c == '"') {
                    ++i;
                    break;
                }
                if (c == '\\') {
                    i += 2;
                    continue;
                }
                const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0x0F]};
                edits.Replace(i, i + 1, std::string_view(escape, sizeof escape));
                ++i;
            }
            continue;
        }
        // A number (or what starts like one): the whole run of the characters numbers have.
        std::size_t end = i + 1;
        while (end < size && (kByteClass[bytes[end]] & kInNumber))
            ++end;
        const std::string_view run = text.substr(i, end - i);
        // Without an exponent a number needs over 300 digits to pass the largest double.
        const bool mayBeHuge = run.size() > 300 || run.find_first_of("eE") != run.npos;
        if (mayBeHuge) {
            if (run == kStandIn) {
                standIns.emplace_back(std::nullopt);
            } else if (IsJsonNumber(run) && OverflowsDouble(run)) {
                standIns.emplace_back(std::string(run));
                edits.Replace(i, end, kStandIn);
            }
        }
        i = end;
    }
    return edits.Result();
}

// Builds the document from the parser's events. Pairs of the top-level object are added only
// once their value is complete, so a pair that the end of the text or an error cuts short is
// never seen; nested values are built on a stack and handed up when they close.
class TDocumentBuilder
{
public:
    TDocumentBuilder(TJsonReadResult &result, TStandIns standIns)
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
        char digits[24];
        char *first = std::end(digits);
        do {
            *--first = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        return Deliver(TJsonValue::Number(std::string(first, std::end(digits))));
    }
    bool number_float(json::number_float_t, const std::string &text)
    {
        if (text == kStandIn && fNextStandIn < fStandIns.size()) {
            std::optional<std::string> original = std::move(fStandIns[fNextStandIn++]);
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
            // Room for a parameter set and a few other pairs at once, not grown pair by pair.
            if (fResult.document.Pairs().empty())
                fResult.document.ReservePairs(24);
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
    TStandIns fStandIns;
    std::size_t fNextStandIn = 0;
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
    TStandIns standIns;
    std::string storage;
    const std::string_view text = PrepareForParser(utf8, storage, standIns);
    TDocumentBuilder builder(result, std::move(standIns));
    // Not strict: what follows the object is of no interest. Syntax errors come through
    // parse_error and end the reading there. Nothing else is taken for the end of the text:
    // memory that runs out (std::bad_alloc) or any other failure goes to the caller, which
    // must not take a half-read document for the file's content.
    json::sax_parse(text.data(), text.data() + text.size(), &builder, json::input_format_t::json,
                    false);
    return result;
}
