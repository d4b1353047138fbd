// SPDX-License-Identifier: MIT
// The main window's lookups in its parameter table; a name that is not in it beeps.
#include "ui/TandorMain.h"

void TMerrowMainForm::InitSettingsTable()
{
    using Setter = void (TMerrowMainForm::*)(int32_t, int32_t);
    static constexpr Setter kSetters[TSettingsData::Count] = {
        &TMerrowMainForm::SetRaAtype,       &TMerrowMainForm::SetRaBtype,
        &TMerrowMainForm::SetGainA,         &TMerrowMainForm::SetGainB,
        &TMerrowMainForm::SetLevelDetGainA, &TMerrowMainForm::SetLevelDetGainB,
        &TMerrowMainForm::SetDetLevelA,     &TMerrowMainForm::SetDetLevelB,
        &TMerrowMainForm::SetPTTOnDelayA,   &TMerrowMainForm::SetPTTOnDelayB,
        &TMerrowMainForm::SetPTTOffDelayA,  &TMerrowMainForm::SetPTTOffDelayB,
        &TMerrowMainForm::SetComType_A,     &TMerrowMainForm::SetComType_B,
        &TMerrowMainForm::SetBaud_A,        &TMerrowMainForm::SetBaud_B,
    };
    ::InitSettingsTable(SettingsData, [this](int index) -> tProc {
        const Setter setter = kSetters[index - 1];
        return [this, setter](int32_t val, int32_t Nr) {
            (this->*setter)(val, Nr);
        };
    });
}

int TMerrowMainForm::FindSettingIndex(const QString &name)
{
    const int index = ::FindSettingIndex(SettingsData, name);
    if (index == 0)
        fSeam->Beep();
    return index;
}

int32_t TMerrowMainForm::GetSettingValue(const QString &name)
{
    const int index = FindSettingIndex(name);
    if (index == 0) {
        fSeam->Beep();
        return 0;
    }
    return SettingsData[index].value;
}
