// SPDX-License-Identifier: MIT
// The settings-file text on its own: the byte layout the writer produces, what the reader
// keeps of whole, cut and malformed texts, and the decoding of the file's bytes.
#include "storage/JsonReader.h"
#include "storage/JsonWriter.h"
#include "storage/TextDecoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A compact picture of a document for comparisons: numbers as their text, strings in quotes
// with nothing escaped, arrays [a,b], objects {k:v,...}.
std::string Describe(const TJsonValue &value)
{
    switch (value.Kind()) {
    case TJsonValue::TKind::jkNull:
        return "null";
    case TJsonValue::TKind::jkFalse:
        return "false";
    case TJsonValue::TKind::jkTrue:
        return "true";
    case TJsonValue::TKind::jkNumber:
        return value.Text();
    case TJsonValue::TKind::jkString:
        return '"' + value.Text() + '"';
    case TJsonValue::TKind::jkArray: {
        std::string out = "[";
        for (const TJsonValue &item : value.Items())
            out += (out.size() > 1 ? "," : "") + Describe(item);
        return out + "]";
    }
    case TJsonValue::TKind::jkObject: {
        std::string out = "{";
        for (const TJsonPair &pair : value.Pairs())
            out += (out.size() > 1 ? "," : "") + pair.key + ":" + Describe(pair.value);
        return out + "}";
    }
    }
    return {};
}

std::string Written(const TJsonValue &document)
{
    const QByteArray bytes = WriteSettingsJson(document);
    return bytes.toStdString();
}

std::string Nested(int levels)
{
    return std::string(static_cast<std::size_t>(levels), '[') +
           std::string(static_cast<std::size_t>(levels), ']');
}

TEST(JsonWriter, LaysOutNestedValuesWithCrLfAndFourSpacesAndNoFinalLineBreak)
{
    TJsonValue inner = TJsonValue::Object();
    inner.AddPair("list", TJsonValue::Array());
    TJsonValue items = TJsonValue::Array();
    items.AddItem(TJsonValue::Number("1.50"));
    items.AddItem(TJsonValue::Object());
    items.AddItem(TJsonValue::String("x"));
    inner.AddPair("items", items);

    TJsonValue doc = TJsonValue::Object();
    doc.AddPair("Contacts", TJsonValue::Array());
    doc.AddPair("n", TJsonValue::Null());
    doc.AddPair("t", TJsonValue::Boolean(true));
    doc.AddPair("f", TJsonValue::Boolean(false));
    doc.AddPair("inner", inner);
    doc.AddPair("GainA", TJsonValue::Integer(-3));

    EXPECT_EQ(Written(doc), "\xEF\xBB\xBF{\r\n"
                            "    \"Contacts\": [\r\n"
                            "    ],\r\n"
                            "    \"n\": null,\r\n"
                            "    \"t\": true,\r\n"
                            "    \"f\": false,\r\n"
                            "    \"inner\": {\r\n"
                            "        \"list\": [\r\n"
                            "        ],\r\n"
                            "        \"items\": [\r\n"
                            "            1.50,\r\n"
                            "            {\r\n"
                            "            },\r\n"
                            "            \"x\"\r\n"
                            "        ]\r\n"
                            "    },\r\n"
                            "    \"GainA\": -3\r\n"
                            "}");
    EXPECT_EQ(Written(TJsonValue::Object()), "\xEF\xBB\xBF{\r\n}");
}

TEST(JsonWriter, EscapesOnlyTheNamedCharacters)
{
    const struct
    {
        const char *name;
        std::string text;
        std::string written;
    } cases[] = {
        {"quote and backslash", "a\"b\\c", R"("a\"b\\c")"},
        {"slash", "x/y", R"("x\/y")"},
        {"named controls", "\b\f\n\r\t", R"("\b\f\n\r\t")"},
        {"other controls raw", std::string("\x01\x1f\x7f", 3), "\"\x01\x1f\x7f\""},
        {"nul raw", std::string("a\0b", 3), std::string("\"a\0b\"", 5)},
        {"non-ASCII as UTF-8", "\xC3\xA9\xE2\x82\xAC", "\"\xC3\xA9\xE2\x82\xAC\""},
    };
    for (const auto &c : cases) {
        std::string out;
        AppendJsonString(out, c.text);
        EXPECT_EQ(out, c.written) << c.name;
    }
}

TEST(JsonReader, KeepsWhatWasCompleteWhereReadingStops)
{
    const std::string deep512 = "{\"a\":1,\"b\":" + Nested(511) + ",\"c\":2}";
    const std::string deep513 = "{\"a\":1,\"b\":" + Nested(512) + ",\"c\":2}";
    const struct
    {
        const char *name;
        std::string text;
        std::string document;
        bool complete;
        bool tooDeep;
    } cases[] = {
        {"order and duplicate keys", R"({"b":1,"a":2,"b":3})", "{b:1,a:2,b:3}", true, false},
        {"number texts", R"({"a":1.50,"b":-0,"c":1E+2,"d":123456789012345678901234,"e":-7})",
         "{a:1.50,b:-0,c:1E+2,d:123456789012345678901234,e:-7}", true, false},
        {"every kind", R"({"n":null,"t":true,"f":false,"s":"x\u00e9\/\n","a":[1,[]],"o":{"k":{}}})",
         "{n:null,t:true,f:false,s:\"x\xC3\xA9/\n\",a:[1,[]],o:{k:{}}}", true, false},
        {"white space around", " \r\n\t{ \"a\" : 1 }\r\n", "{a:1}", true, false},
        {"text after the object", R"({"a":1} {"b":2})", "{a:1}", true, false},
        {"empty", "", "{}", false, false},
        {"white space only", " \r\n", "{}", false, false},
        {"not JSON", "GainA=3", "{}", false, false},
        {"an array", R"([{"a":1}])", "{}", false, false},
        {"a string", R"("{\"a\":1}")", "{}", false, false},
        {"a second byte-order mark", "\xEF\xBB\xBF{\"a\":1}", "{}", false, false},
        {"cut inside a key", R"({"GainA":3,"Gai)", "{GainA:3}", false, false},
        {"cut after a key", R"({"GainA":3,"GainB")", "{GainA:3}", false, false},
        {"cut inside a number", R"({"GainA":3,"DetLevelA":40)", "{GainA:3}", false, false},
        {"cut inside a string", R"({"GainA":3,"s":"ab)", "{GainA:3}", false, false},
        {"cut inside a literal", R"({"GainA":3,"t":tr)", "{GainA:3}", false, false},
        {"cut inside a nested value", R"({"GainA":3,"o":{"k":[1,2)", "{GainA:3}", false, false},
        {"cut after a complete value", "{\"GainA\":3,\"t\":true", "{GainA:3,t:true}", false, false},
        {"missing comma", R"({"a":1,"b":2 "c":3})", "{a:1,b:2}", false, false},
        {"trailing comma", R"({"a":1,})", "{a:1}", false, false},
        {"single quotes", R"({"a":1,'b':2})", "{a:1}", false, false},
        {"comment", R"({"a":1,/*x*/"b":2})", "{a:1}", false, false},
        {"raw control character in a string", "{\"s\":\"a\x01\tb\",\"n\":1}",
         "{s:\"a\x01\tb\",n:1}", true, false},
        {"raw control character outside strings", "{\"a\":1,\x01\"b\":2}", "{a:1}", false, false},
        {"raw control characters and escapes side by side",
         "{\"s\":\"\x01\\\"\x1f\\\\\x02\",\"n\":1}", "{s:\"\x01\"\x1f\\\x02\",n:1}", true, false},
        // After a backslash a control character is no escape the parser knows.
        {"raw control character after a backslash", "{\"a\":1,\"s\":\"x\\\x01y\",\"b\":2}", "{a:1}",
         false, false},
        {"cut after a backslash in a string", "{\"a\":1,\"s\":\"x\\", "{a:1}", false, false},
        // Numbers of any size are JSON; one too large for a double is kept with its text and
        // the reading goes on, so that the pairs after it are not lost.
        {"number too large for a double", R"({"a":1,"b":1e400,"c":2})", "{a:1,b:1e400,c:2}", true,
         false},
        {"huge numbers of every form",
         R"({"a":-1E+400,"b":[1.5e99999,0.0e0],"c":)" + std::string(400, '9') + R"(,"d":2})",
         "{a:-1E+400,b:[1.5e99999,0.0e0],c:" + std::string(400, '9') + ",d:2}", true, false},
        {"at the largest double", R"({"a":1.7976931348623157e308,"b":1.8e308,"c":0.0e0,"d":1})",
         "{a:1.7976931348623157e308,b:1.8e308,c:0.0e0,d:1}", true, false},
        {"huge numbers beside strings that look like numbers",
         R"({"s":"a\"","n":1e400,"t":"0.0e0","u":"-1e400\\","m":-2E+999})",
         "{s:\"a\"\",n:1e400,t:\"0.0e0\",u:\"-1e400\\\",m:-2E+999}", true, false},
        {"tiny and zero", R"({"a":1e-400,"b":0e99999,"c":0.0000e400,"s":"1e400"})",
         "{a:1e-400,b:0e99999,c:0.0000e400,s:\"1e400\"}", true, false},
        {"nesting of 512 levels", deep512, "{a:1,b:" + Nested(511) + ",c:2}", true, false},
        {"nesting of 513 levels", deep513, "{a:1}", false, true},
    };
    for (const auto &c : cases) {
        const TJsonReadResult read = ReadJsonObject(c.text);
        EXPECT_EQ(Describe(read.document), c.document) << c.name;
        EXPECT_EQ(read.complete, c.complete) << c.name;
        EXPECT_EQ(read.nestingError.isEmpty(), !c.tooDeep) << c.name;
        if (c.tooDeep) {
            EXPECT_EQ(
                read.nestingError,
                QStringLiteral("The nesting level of JSON arrays / objects is greater than 512"));
        }
    }
}

TEST(JsonReader, ReadsBackWhatTheWriterWrote)
{
    TJsonValue list = TJsonValue::Array();
    list.AddItem(TJsonValue::String(std::string("ctl\x01\x1f nul\0 \"q\" \\ / \b\f\n\r\t", 23)));
    list.AddItem(TJsonValue::Number("-0"));
    list.AddItem(TJsonValue::Number("6.02e23"));
    list.AddItem(TJsonValue::Array());
    TJsonValue doc = TJsonValue::Object();
    doc.AddPair("k\xC3\xA9y/\"", list);
    doc.AddPair("dup", TJsonValue::Integer(1));
    doc.AddPair("dup", TJsonValue::Object());
    doc.AddPair("", TJsonValue::Null());

    const QByteArray text = FileTextToUtf8(WriteSettingsJson(doc));
    const TJsonReadResult read = ReadJsonObject(text.toStdString());
    EXPECT_TRUE(read.complete);
    EXPECT_EQ(read.document, doc) << Describe(read.document);
}

TEST(TextDecoding, DecodesByByteOrderMarkElseAsLatin1)
{
    const auto bytes = [](std::initializer_list<int> values) {
        QByteArray out;
        for (int v : values)
            out.append(static_cast<char>(v));
        return out;
    };
    const struct
    {
        const char *name;
        QByteArray raw;
        QByteArray utf8;
    } cases[] = {
        {"UTF-8 with mark", bytes({0xEF, 0xBB, 0xBF, '{', 0xC3, 0xA9}), "{\xC3\xA9"},
        {"UTF-16 LE with mark", bytes({0xFF, 0xFE, '{', 0, 0xE9, 0, 0xAC, 0x20}),
         "{\xC3\xA9\xE2\x82\xAC"},
        {"UTF-16 BE with mark", bytes({0xFE, 0xFF, 0, '{', 0, 0xE9, 0x20, 0xAC}),
         "{\xC3\xA9\xE2\x82\xAC"},
        {"no mark, ASCII", "{\"a\": 1}", "{\"a\": 1}"},
        {"no mark, 8-bit", bytes({'{', 0xE9}), "{\xC3\xA9"},
        {"no mark, valid UTF-8 stays UTF-8", bytes({'{', 0xC3, 0xBC, 0xE2, 0x82, 0xAC}),
         "{\xC3\xBC\xE2\x82\xAC"},
        {"no mark, not UTF-8: 8-bit", bytes({0xC3, 0xA9, 0xE9}), "\xC3\x83\xC2\xA9\xC3\xA9"},
        {"no mark, UTF-8 cut short at the end: 8-bit", bytes({'{', 0xE2, 0x82}),
         "{\xC3\xA2\xC2\x82"},
        {"no mark, an encoded surrogate: 8-bit", bytes({0xED, 0xA0, 0x80}),
         "\xC3\xAD\xC2\xA0\xC2\x80"},
        {"UTF-8 with mark: noncharacters, NUL and the last code point stay",
         bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBF, 0xBE, 0xEF, 0xBF, 0xBF, 0xEF, 0xB7, 0x90, 0, 0xF4,
                0x8F, 0xBF, 0xBF}),
         bytes({0xEF, 0xBF, 0xBE, 0xEF, 0xBF, 0xBF, 0xEF, 0xB7, 0x90, 0, 0xF4, 0x8F, 0xBF, 0xBF})},
        {"UTF-8 with mark: what is not UTF-8 becomes replacement characters",
         bytes({0xEF, 0xBB, 0xBF, '{', 0xC3, '}', 0xED, 0xA0, 0x80, 0xC0, 0xAF}),
         bytes({'{',  0xEF, 0xBF, 0xBD, '}',  0xEF, 0xBF, 0xBD, 0xEF, 0xBF,
                0xBD, 0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD, 0xEF, 0xBF, 0xBD})},
        {"a second mark stays", bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, '{'}), "\xEF\xBB\xBF{"},
        {"odd UTF-16 length", bytes({0xFF, 0xFE, '{', 0, '}'}), "{\xEF\xBF\xBD"},
        {"mark only", bytes({0xFF, 0xFE}), ""},
        {"empty", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FileTextToUtf8(c.raw), c.utf8) << c.name;
}

} // namespace
