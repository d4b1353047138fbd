// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::cmb_RaAtypeChange()
{}

void TMerrowMainForm::cmb_RaBtypeChange()
{}

void TMerrowMainForm::cmb_ComType_AChange()
{}

void TMerrowMainForm::cmb_ComType_BChange()
{}

void TMerrowMainForm::cmb_Baud_AChange()
{}

void TMerrowMainForm::cmb_Baud_BChange()
{}

void TMerrowMainForm::tbGainAChanging(int, bool &)
{}

void TMerrowMainForm::tbGainAChange()
{}

void TMerrowMainForm::tbGainBChanging(int, bool &)
{}

void TMerrowMainForm::tbGainBChange()
{}

void TMerrowMainForm::tbLevelDetGainAChanging(int, bool &)
{}

void TMerrowMainForm::tbLevelDetGainAChange()
{}

void TMerrowMainForm::tbLevelDetGainBChanging(int, bool &)
{}

void TMerrowMainForm::tbLevelDetGainBChange()
{}

void TMerrowMainForm::tbDetLevelAChanging(int, bool &)
{}

void TMerrowMainForm::tbDetLevelAChange()
{}

void TMerrowMainForm::tbDetLevelBChanging(int, bool &)
{}

void TMerrowMainForm::tbDetLevelBChange()
{}

void TMerrowMainForm::tbPTTonDelayAChanging(int, bool &)
{}

void TMerrowMainForm::tbPTTonDelayAChange()
{}

void TMerrowMainForm::tbPTTonDelayBChanging(int, bool &)
{}

void TMerrowMainForm::tbPTTonDelayBChange()
{}

void TMerrowMainForm::tbPTToffDelayAChanging(int, bool &)
{}

void TMerrowMainForm::tbPTToffDelayAChange()
{}

void TMerrowMainForm::tbPTToffDelayBChanging(int, bool &)
{}

void TMerrowMainForm::tbPTToffDelayBChange()
{}

void TMerrowMainForm::tmRefreshDetectSettingTimer()
{}

void TMerrowMainForm::SetRaAtype(int32_t, int32_t)
{}

void TMerrowMainForm::SetRaBtype(int32_t, int32_t)
{}

void TMerrowMainForm::SetGainA(int32_t, int32_t)
{}

void TMerrowMainForm::SetGainB(int32_t, int32_t)
{}

void TMerrowMainForm::SetLevelDetGainA(int32_t, int32_t)
{}

void TMerrowMainForm::SetLevelDetGainB(int32_t, int32_t)
{}

void TMerrowMainForm::SetDetLevelA(int32_t, int32_t)
{}

void TMerrowMainForm::SetDetLevelB(int32_t, int32_t)
{}

void TMerrowMainForm::SetPTTOnDelayA(int32_t, int32_t)
{}

void TMerrowMainForm::SetPTTOnDelayB(int32_t, int32_t)
{}

void TMerrowMainForm::SetPTTOffDelayA(int32_t, int32_t)
{}

void TMerrowMainForm::SetPTTOffDelayB(int32_t, int32_t)
{}

void TMerrowMainForm::SetComType_A(int32_t, int32_t)
{}

void TMerrowMainForm::SetComType_B(int32_t, int32_t)
{}

void TMerrowMainForm::SetBaud_A(int32_t, int32_t)
{}

void TMerrowMainForm::SetBaud_B(int32_t, int32_t)
{}

void TMerrowMainForm::ShowPTTOnDelay(QLabel *, int32_t)
{}

void TMerrowMainForm::ShowPTTOffDelay(QLabel *, int32_t)
{}
