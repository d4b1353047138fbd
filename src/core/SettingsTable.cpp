// SPDX-License-Identifier: MIT
#include "core/SettingsTable.h"

const std::array<TSettingsDef, TSettingsData::Count> kSettingsDefs = {{
    {"RaAtype", 4},
    {"RaBtype", 4},
    {"GainA", 20},
    {"GainB", 20},
    {"LevelDetGainA", 255},
    {"LevelDetGainB", 255},
    {"DetLevelA", 1023},
    {"DetLevelB", 1023},
    {"PTTOnDelayA", 1500},
    {"PTTOnDelayB", 1500},
    {"PTTOffDelayA", 1500},
    {"PTTOffDelayB", 1500},
    {"ComType_A", 1},
    {"ComType_B", 1},
    {"Baud_A", 2304},
    {"Baud_B", 2304},
}};

TSettingsRec &TSettingsData::operator[](int i)
{
    if (IsValidIndex(i))
        return fRecords[static_cast<size_t>(i - First)];
    fScratch = TSettingsRec{};
    return fScratch;
}

const TSettingsRec &TSettingsData::operator[](int i) const
{
    if (IsValidIndex(i))
        return fRecords[static_cast<size_t>(i - First)];
    fScratch = TSettingsRec{};
    return fScratch;
}

void InitSettingsTable(TSettingsData &data, const std::function<tProc(int index)> &setterFor)
{
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i) {
        const TSettingsDef &def = kSettingsDefs[static_cast<size_t>(i - 1)];
        TSettingsRec &rec = data[i];
        rec.ParamName = QString::fromLatin1(def.name);
        rec.value = 0;
        rec.Minval = 0;
        rec.Maxval = def.maxval;
        rec.Setter = setterFor ? setterFor(i) : tProc{};
    }
}

int FindSettingIndex(const TSettingsData &data, const QString &name)
{
    for (int i = TSettingsData::First; i <= TSettingsData::Last; ++i) {
        if (data[i].ParamName == name)
            return i;
    }
    return 0;
}
