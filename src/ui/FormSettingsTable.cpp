// SPDX-License-Identifier: MIT
// The main window's lookups in its parameter table; a name that is not in it beeps.
#include "ui/TandorMain.h"

void TMerrowMainForm::InitSettingsTable()
{
    // Each entry's setter brings that parameter's controls in line (FormControls.cpp).
    ::InitSettingsTable(SettingsData, [this](int index) -> tProc {
        return [this, index](int32_t val, int32_t Nr) {
            SetParameter(index, val, Nr);
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
    // An unknown name beeps once (in FindSettingIndex) and reads entry 0, which holds 0.
    return SettingsData[FindSettingIndex(name)].value;
}
