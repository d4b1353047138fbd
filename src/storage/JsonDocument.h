// SPDX-License-Identifier: MIT
// The in-memory form of a settings file: a JSON value whose objects are ordered lists of
// (key, value) pairs. Pairs stay in the order they were added or read, the same key may occur
// twice, and every JSON kind can be held. Numbers keep the text they were read from, so a
// value the program does not understand is written back exactly as it came.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TJsonPair;

class TJsonValue
{
public:
    enum class TKind
    {
        jkNull,
        jkFalse,
        jkTrue,
        jkNumber,
        jkString,
        jkArray,
        jkObject
    };

    TJsonValue() = default; // null

    static TJsonValue Null();
    static TJsonValue Boolean(bool value);
    // text: the number as written in JSON ("12", "-3", "1.5", "2e10").
    static TJsonValue Number(std::string text);
    static TJsonValue Integer(int64_t value);
    // text: UTF-8.
    static TJsonValue String(std::string text);
    static TJsonValue Array();
    static TJsonValue Object();

    TKind Kind() const { return fKind; }
    bool IsNull() const { return fKind == TKind::jkNull; }
    bool IsNumber() const { return fKind == TKind::jkNumber; }
    bool IsContainer() const { return fKind == TKind::jkArray || fKind == TKind::jkObject; }

    // The number's text for a number, the UTF-8 text for a string, empty otherwise.
    const std::string &Text() const { return fText; }

    // Array elements (empty for anything but an array).
    const std::vector<TJsonValue> &Items() const { return fItems; }
    void AddItem(TJsonValue value);

    // Object pairs in order (empty for anything but an object).
    const std::vector<TJsonPair> &Pairs() const { return fPairs; }
    void AddPair(std::string key, TJsonValue value);
    // Makes room for count pairs in all without growing again.
    void ReservePairs(std::size_t count);
    // Removes the first pair whose key equals key exactly; false when there is none.
    bool RemoveFirstPair(std::string_view key);
    // Removes every pair whose key remove(key) is true for; the others keep their order.
    template <typename TPredicate> void RemovePairsIf(TPredicate remove)
    {
        std::erase_if(fPairs, [&remove](const auto &pair) { return remove(pair.key); });
    }

    bool operator==(const TJsonValue &other) const;

private:
    // Defined below TJsonPair: the member vectors' clean-up needs the complete pair type.
    explicit TJsonValue(TKind kind);

    TKind fKind = TKind::jkNull;
    std::string fText;
    std::vector<TJsonValue> fItems;
    std::vector<TJsonPair> fPairs;
};

struct TJsonPair
{
    std::string key; // UTF-8
    TJsonValue value;

    bool operator==(const TJsonPair &other) const = default;
};

inline TJsonValue::TJsonValue(TKind kind) : fKind(kind) {}
