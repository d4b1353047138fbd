// SPDX-License-Identifier: MIT
#include "cli/SetChecks.h"

#include "core/FirmwareRules.h"
#include "core/ValueMappings.h"

#include <string>

namespace {

constexpr int kRaAtype = 1;
constexpr int kRaBtype = 2;
constexpr int kComTypeA = 13;
constexpr int kComTypeB = 14;
constexpr int kBaudA = 15;
constexpr int kBaudB = 16;

QString VersionWords(int32_t major, int32_t minor)
{
    return QStringLiteral("firmware %1.%2").arg(major).arg(minor);
}

QString RangeText(int32_t min, int32_t max)
{
    return min == max ? QStringLiteral("only %1").arg(min)
                      : QStringLiteral("%1 to %2").arg(min).arg(max);
}

} // namespace

QString ParamName(int index)
{
    if (!TSettingsData::IsValidIndex(index))
        return {};
    return QString::fromLatin1(kSettingsDefs[size_t(index - 1)].name);
}

TParamValues ValuesOf(const TSettingsData &data)
{
    TParamValues values{};
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        values[size_t(i - 1)] = data[i].value;
    return values;
}

void FillTable(TSettingsData &data, const TParamValues &values)
{
    InitSettingsTable(data, nullptr);
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i)
        data[i].value = values[size_t(i - 1)];
}

QString RefusalLine(const TValueRefusal &refusal)
{
    return ParamName(refusal.index) + QStringLiteral(": ") + refusal.reason;
}

std::vector<TValueRefusal> MissingParameters(const TJsonValue &document)
{
    std::vector<TValueRefusal> missing;
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i) {
        const std::string name = kSettingsDefs[size_t(i - 1)].name;
        bool found = false;
        for (const TJsonPair &pair : document.Pairs()) {
            if (pair.key == name && pair.value.IsNumber())
                found = true;
        }
        if (!found)
            missing.push_back({i, QStringLiteral("missing from the file")});
    }
    return missing;
}

std::vector<TValueRefusal> CheckValuesForFirmware(const TParamValues &values, int32_t major,
                                                  int32_t minor)
{
    // A version that names no radio-type range leaves the window with the ranges it starts
    // with, those of firmware 2.0.
    const Firmware::TRadioTypeRanges types =
        Firmware::RadioTypeRanges(major, minor).value_or(*Firmware::RadioTypeRanges(2, 0));
    const bool fixed = Firmware::FixesComTypeAndBaud(major, minor);
    const int32_t fixedBaud = BaudValueForPosition(Firmware::kFixedBaudPosition).value_or(0);

    std::vector<TValueRefusal> refused;
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i) {
        const int32_t v = values[size_t(i - 1)];
        if (i == kRaAtype || i == kRaBtype) {
            const Firmware::TRange range = i == kRaAtype ? types.a : types.b;
            if (v < range.min || v > range.max)
                refused.push_back(
                    {i, QStringLiteral("radio type %1 is not taken by %2, which "
                                       "takes %3")
                            .arg(v)
                            .arg(VersionWords(major, minor), RangeText(range.min, range.max))});
            continue;
        }
        const int32_t max = kSettingsDefs[size_t(i - 1)].maxval;
        if (v < 0 || v > max) {
            refused.push_back(
                {i, QStringLiteral("%1 is outside %2").arg(v).arg(RangeText(0, max))});
            continue;
        }
        if (fixed && (i == kComTypeA || i == kComTypeB) && v != Firmware::kFixedComTypePosition)
            refused.push_back({i, QStringLiteral("%1 talks RS232 only (com type %2), not %3")
                                      .arg(VersionWords(major, minor))
                                      .arg(Firmware::kFixedComTypePosition)
                                      .arg(v)});
        if (fixed && (i == kBaudA || i == kBaudB) && v != fixedBaud)
            refused.push_back({i, QStringLiteral("%1 talks 38400 baud only (%2), not %3")
                                      .arg(VersionWords(major, minor))
                                      .arg(fixedBaud)
                                      .arg(v)});
    }
    return refused;
}

std::vector<TSetDifference> CompareSets(const TParamValues &file, const TParamValues &unit)
{
    std::vector<TSetDifference> differences;
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i) {
        const size_t at = size_t(i - 1);
        if (file[at] != unit[at])
            differences.push_back({i, file[at], unit[at]});
    }
    return differences;
}

QString DifferenceLine(const TSetDifference &difference)
{
    return QStringLiteral("%1: file %2, unit %3")
        .arg(ParamName(difference.index))
        .arg(difference.fileValue)
        .arg(difference.unitValue);
}
