// SPDX-License-Identifier: MIT
// The sixteen configuration parameters of the interface, as the controller keeps them.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

// A setter bound to the controller: (val, Nr). It stores val when it lies in the entry's range
// and brings the entry's controls in line with the stored value.
using tProc = std::function<void(int32_t val, int32_t Nr)>;

struct TSettingsRec
{
    QString ParamName;
    int32_t value = 0;
    int32_t Minval = 0;
    int32_t Maxval = 0;
    tProc Setter;
};

// The parameters' numbers, on the wire and in the table.
namespace Param {
inline constexpr int RaAtype = 1;
inline constexpr int RaBtype = 2;
inline constexpr int GainA = 3;
inline constexpr int GainB = 4;
inline constexpr int LevelDetGainA = 5;
inline constexpr int LevelDetGainB = 6;
inline constexpr int DetLevelA = 7;
inline constexpr int DetLevelB = 8;
inline constexpr int PTTOnDelayA = 9;
inline constexpr int PTTOnDelayB = 10;
inline constexpr int PTTOffDelayA = 11;
inline constexpr int PTTOffDelayB = 12;
inline constexpr int ComType_A = 13;
inline constexpr int ComType_B = 14;
inline constexpr int Baud_A = 15;
inline constexpr int Baud_B = 16;
} // namespace Param

// Sixteen records indexed 1..16; the index is the parameter number used on the wire.
// There is no entry 0: reading any other index gives an empty record, and writing through one
// lands in a scratch record that is cleared again on the next access, so it never touches the
// table or memory outside it.
class TSettingsData
{
public:
    static constexpr int First = 1;
    static constexpr int Last = 16;
    static constexpr int Count = 16;

    static constexpr bool IsValidIndex(int i) { return i >= First && i <= Last; }

    TSettingsRec &operator[](int i);
    const TSettingsRec &operator[](int i) const;

private:
    std::array<TSettingsRec, Count> fRecords;
    mutable TSettingsRec fScratch;
};

// Names and maxima of the table in index order (entry i at position i - 1).
struct TSettingsDef
{
    const char *name;
    int32_t maxval;
};
extern const std::array<TSettingsDef, TSettingsData::Count> kSettingsDefs;

// setterFor returns for the index.
void InitSettingsTable(TSettingsData &data, const std::function<tProc(int index)> &setterFor);

// Index of the first entry whose name equals name exactly (case-sensitive), or 0.
int FindSettingIndex(const TSettingsData &data, const QString &name);
