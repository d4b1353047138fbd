// SPDX-License-Identifier: MIT
#include "storage/JsonDocument.h"

#include <algorithm>

TJsonValue TJsonValue::Null()
{
    return TJsonValue();
}

TJsonValue TJsonValue::Boolean(bool value)
{
    return TJsonValue(value ? TKind::jkTrue : TKind::jkFalse);
}

TJsonValue TJsonValue::Number(std::string text)
{
    TJsonValue v(TKind::jkNumber);
    v.fText = std::move(text);
    return v;
}

TJsonValue TJsonValue::Integer(int64_t value)
{
    return Number(std::to_string(value));
}

TJsonValue TJsonValue::String(std::string text)
{
    TJsonValue v(TKind::jkString);
    v.fText = std::move(text);
    return v;
}

TJsonValue TJsonValue::Array()
{
    return TJsonValue(TKind::jkArray);
}

TJsonValue TJsonValue::Object()
{
    return TJsonValue(TKind::jkObject);
}

void TJsonValue::AddItem(TJsonValue value)
{
    if (fKind == TKind::jkArray)
        fItems.push_back(std::move(value));
}

void TJsonValue::AddPair(std::string key, TJsonValue value)
{
    if (fKind == TKind::jkObject)
        fPairs.push_back({std::move(key), std::move(value)});
}

void TJsonValue::ReservePairs(std::size_t count)
{
    if (fKind == TKind::jkObject)
        fPairs.reserve(count);
}

bool TJsonValue::RemoveFirstPair(std::string_view key)
{
    const auto it = std::find_if(fPairs.begin(), fPairs.end(),
                                 [key](const TJsonPair &pair) { return pair.key == key; });
    if (it == fPairs.end())
        return false;
    fPairs.erase(it);
    return true;
}

bool TJsonValue::operator==(const TJsonValue &other) const
{
    return fKind == other.fKind && fText == other.fText && fItems == other.fItems &&
           fPairs == other.fPairs;
}
