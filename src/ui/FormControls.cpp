// SPDX-License-Identifier: MIT
// The parameter controls: what a user action on a list or slider stores and sends, the live
// re-send of a slider that is being dragged, and the sixteen setters that bring the controls
// in line with a value from the interface or a settings file.
//
// A handler writes its table entry directly and sends it at once; only the setters and the
// radio-type lists check ranges. Setters move the controls from code, which raises no
// notification, so a value that arrives from the interface is never echoed back to it.
#include "ui/TandorMain.h"

#include "core/FirmwareRules.h"

#include "ui/ComboBox.h"
#include "ui/TrackBar.h"
#include "ui/ValueMappings.h"

#include <QLabel>

namespace {

// The first step of every setter: val becomes the entry's value only within its range.
void StoreInRange(TSettingsData &data, int32_t val, int32_t Nr)
{
    TSettingsRec &entry = data[Nr];
    if (entry.Minval <= val && val <= entry.Maxval)
        entry.value = val;
}

} // namespace

// ---- drop-down lists ----------------------------------------------------------------------

void TMerrowMainForm::cmb_RaAtypeChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("RaAtype"));
    if (cmb_RaAtype->ItemIndex() > SettingsData[Nr].Maxval)
        cmb_RaAtype->SetItemIndex(SettingsData[Nr].Maxval);
    SettingsData[Nr].value = cmb_RaAtype->ItemIndex();
    lbPeiA->setVisible(IsPeiRadioType(SettingsData[Nr].value));
    SendParam(Nr);
    // The diagram shows the new type's controls at once.
    RepaintNow();
}

void TMerrowMainForm::cmb_RaBtypeChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("RaBtype"));
    if (cmb_RaBtype->ItemIndex() > SettingsData[Nr].Maxval)
        cmb_RaBtype->SetItemIndex(SettingsData[Nr].Maxval);
    SettingsData[Nr].value = cmb_RaBtype->ItemIndex();
    lbPeiB->setVisible(IsPeiRadioType(SettingsData[Nr].value));
    SendParam(Nr);
    RepaintNow();
}

void TMerrowMainForm::cmb_ComType_AChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("ComType_A"));
    // Firmware 1.0 talks RS232 only.
    if (Firmware::FixesComTypeAndBaud(fVersionMain, fVersionMinor) &&
        cmb_ComType_A->ItemIndex() != Firmware::kFixedComTypePosition)
        cmb_ComType_A->SetItemIndex(Firmware::kFixedComTypePosition);
    // Typed text that names no item gives -1, which goes to the interface as it is.
    SettingsData[Nr].value = cmb_ComType_A->ItemIndex();
    SendParam(Nr);
    RepaintNow();
}

void TMerrowMainForm::cmb_ComType_BChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("ComType_B"));
    if (Firmware::FixesComTypeAndBaud(fVersionMain, fVersionMinor) &&
        cmb_ComType_B->ItemIndex() != Firmware::kFixedComTypePosition)
        cmb_ComType_B->SetItemIndex(Firmware::kFixedComTypePosition);
    SettingsData[Nr].value = cmb_ComType_B->ItemIndex();
    SendParam(Nr);
    RepaintNow();
}

void TMerrowMainForm::cmb_Baud_AChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("Baud_A"));
    // Firmware 1.0 talks 38400 baud only.
    if (Firmware::FixesComTypeAndBaud(fVersionMain, fVersionMinor) &&
        cmb_Baud_A->ItemIndex() != Firmware::kFixedBaudPosition)
        cmb_Baud_A->SetItemIndex(Firmware::kFixedBaudPosition);
    // "Invalid", or text that is no rate, keeps the stored rate; it is sent again all the same.
    if (const auto rate = BaudValueForPosition(cmb_Baud_A->ItemIndex()))
        SettingsData[Nr].value = *rate;
    SendParam(Nr);
}

void TMerrowMainForm::cmb_Baud_BChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("Baud_B"));
    if (Firmware::FixesComTypeAndBaud(fVersionMain, fVersionMinor) &&
        cmb_Baud_B->ItemIndex() != Firmware::kFixedBaudPosition)
        cmb_Baud_B->SetItemIndex(Firmware::kFixedBaudPosition);
    if (const auto rate = BaudValueForPosition(cmb_Baud_B->ItemIndex()))
        SettingsData[Nr].value = *rate;
    SendParam(Nr);
}

// ---- sliders ------------------------------------------------------------------------------
// The gain goes to the interface only when the gesture ends; its label follows the thumb.
// Detector gain, detection level and the delays are stored while the thumb moves and re-sent
// by the refresh timer, so the interface (and the threshold marker of the diagram) follow the
// drag. Their OnChanging reads the slider's position, which is still the previous one during
// the notification, so the stored value trails the thumb by one step until OnChange.

void TMerrowMainForm::tbGainAChanging(int NewPos, bool &)
{
    lbGainA->setText(GainLabelText(NewPos));
}

void TMerrowMainForm::tbGainAChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("GainA"));
    SettingsData[Nr].value = tbGainA->Position();
    SendParam(Nr);
}

void TMerrowMainForm::tbGainBChanging(int NewPos, bool &)
{
    lbGainB->setText(GainLabelText(NewPos));
}

void TMerrowMainForm::tbGainBChange()
{
    const int Nr = FindSettingIndex(QStringLiteral("GainB"));
    SettingsData[Nr].value = tbGainB->Position();
    SendParam(Nr);
}

void TMerrowMainForm::tbLevelDetGainAChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("LevelDetGainA"));
    SettingsData[Nr].value = tbLevelDetGainA->Position();
    fchangingLevelDetGainA = true;
    lbDetGainA->setText(DetGainLabelText(GetSettingValue(QStringLiteral("LevelDetGainA"))));
}

void TMerrowMainForm::tbLevelDetGainAChange()
{
    fchangingLevelDetGainA = false;
    const int Nr = FindSettingIndex(QStringLiteral("LevelDetGainA"));
    SettingsData[Nr].value = tbLevelDetGainA->Position();
    lbDetGainA->setText(DetGainLabelText(GetSettingValue(QStringLiteral("LevelDetGainA"))));
    SendParam(Nr);
}

void TMerrowMainForm::tbLevelDetGainBChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("LevelDetGainB"));
    SettingsData[Nr].value = tbLevelDetGainB->Position();
    fchangingLevelDetGainB = true;
    lbDetGainB->setText(DetGainLabelText(GetSettingValue(QStringLiteral("LevelDetGainB"))));
}

void TMerrowMainForm::tbLevelDetGainBChange()
{
    fchangingLevelDetGainB = false;
    const int Nr = FindSettingIndex(QStringLiteral("LevelDetGainB"));
    SettingsData[Nr].value = tbLevelDetGainB->Position();
    lbDetGainB->setText(DetGainLabelText(GetSettingValue(QStringLiteral("LevelDetGainB"))));
    SendParam(Nr);
}

void TMerrowMainForm::tbDetLevelAChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("DetLevelA"));
    SettingsData[Nr].value = DetLevelFromPosition(tbDetLevelA->Position());
    fchangingDetLevelA = true;
}

void TMerrowMainForm::tbDetLevelAChange()
{
    fchangingDetLevelA = false;
    const int Nr = FindSettingIndex(QStringLiteral("DetLevelA"));
    SettingsData[Nr].value = DetLevelFromPosition(tbDetLevelA->Position());
    SendParam(Nr);
}

void TMerrowMainForm::tbDetLevelBChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("DetLevelB"));
    SettingsData[Nr].value = DetLevelFromPosition(tbDetLevelB->Position());
    fchangingDetLevelB = true;
}

void TMerrowMainForm::tbDetLevelBChange()
{
    fchangingDetLevelB = false;
    const int Nr = FindSettingIndex(QStringLiteral("DetLevelB"));
    SettingsData[Nr].value = DetLevelFromPosition(tbDetLevelB->Position());
    SendParam(Nr);
}

void TMerrowMainForm::tbPTTonDelayAChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("PTTOnDelayA"));
    SettingsData[Nr].value = DelayFromPosition(tbPTTonDelayA->Position());
    fchangingPTTonDelayA = true;
    ShowPTTOnDelay(lbPTTonDelayA, SettingsData[Nr].value);
}

void TMerrowMainForm::tbPTTonDelayAChange()
{
    fchangingPTTonDelayA = false;
    const int Nr = FindSettingIndex(QStringLiteral("PTTOnDelayA"));
    SettingsData[Nr].value = DelayFromPosition(tbPTTonDelayA->Position());
    ShowPTTOnDelay(lbPTTonDelayA, SettingsData[Nr].value);
    SendParam(Nr);
}

void TMerrowMainForm::tbPTTonDelayBChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("PTTOnDelayB"));
    SettingsData[Nr].value = DelayFromPosition(tbPTTonDelayB->Position());
    fchangingPTTonDelayB = true;
    ShowPTTOnDelay(lbPTTonDelayB, SettingsData[Nr].value);
}

void TMerrowMainForm::tbPTTonDelayBChange()
{
    fchangingPTTonDelayB = false;
    const int Nr = FindSettingIndex(QStringLiteral("PTTOnDelayB"));
    SettingsData[Nr].value = DelayFromPosition(tbPTTonDelayB->Position());
    ShowPTTOnDelay(lbPTTonDelayB, SettingsData[Nr].value);
    SendParam(Nr);
}

void TMerrowMainForm::tbPTToffDelayAChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("PTTOffDelayA"));
    SettingsData[Nr].value = DelayFromPosition(tbPTToffDelayA->Position());
    fchangingPTToffDelayA = true;
    ShowPTTOffDelay(lbPTToffDelayA, SettingsData[Nr].value);
}

void TMerrowMainForm::tbPTToffDelayAChange()
{
    fchangingPTToffDelayA = false;
    const int Nr = FindSettingIndex(QStringLiteral("PTTOffDelayA"));
    SettingsData[Nr].value = DelayFromPosition(tbPTToffDelayA->Position());
    ShowPTTOffDelay(lbPTToffDelayA, SettingsData[Nr].value);
    SendParam(Nr);
}

void TMerrowMainForm::tbPTToffDelayBChanging(int, bool &)
{
    const int Nr = FindSettingIndex(QStringLiteral("PTTOffDelayB"));
    SettingsData[Nr].value = DelayFromPosition(tbPTToffDelayB->Position());
    fchangingPTToffDelayB = true;
    ShowPTTOffDelay(lbPTToffDelayB, SettingsData[Nr].value);
}

void TMerrowMainForm::tbPTToffDelayBChange()
{
    fchangingPTToffDelayB = false;
    const int Nr = FindSettingIndex(QStringLiteral("PTTOffDelayB"));
    SettingsData[Nr].value = DelayFromPosition(tbPTToffDelayB->Position());
    ShowPTTOffDelay(lbPTToffDelayB, SettingsData[Nr].value);
    SendParam(Nr);
}

void TMerrowMainForm::tmRefreshDetectSettingTimer()
{
    // A held thumb keeps the interface receiving its value ten times a second, changed or
    // not; only the slider's OnChange ends it.
    const struct
    {
        bool TMerrowMainForm::*flag;
        const char *name;
    } kLive[] = {
        {&TMerrowMainForm::fchangingLevelDetGainA, "LevelDetGainA"},
        {&TMerrowMainForm::fchangingLevelDetGainB, "LevelDetGainB"},
        {&TMerrowMainForm::fchangingDetLevelA, "DetLevelA"},
        {&TMerrowMainForm::fchangingDetLevelB, "DetLevelB"},
        {&TMerrowMainForm::fchangingPTTonDelayA, "PTTOnDelayA"},
        {&TMerrowMainForm::fchangingPTTonDelayB, "PTTOnDelayB"},
        {&TMerrowMainForm::fchangingPTToffDelayA, "PTTOffDelayA"},
        {&TMerrowMainForm::fchangingPTToffDelayB, "PTTOffDelayB"},
    };
    for (const auto &live : kLive) {
        if (this->*live.flag) {
            SendParam(FindSettingIndex(QString::fromLatin1(live.name)));
            RepaintNow();
        }
    }
}

// ---- setters ------------------------------------------------------------------------------

void TMerrowMainForm::SetRaAtype(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    const int32_t type = SettingsData[Nr].value;
    cmb_RaAtype->SetItemIndex(type);
    lbPeiA->setVisible(IsPeiRadioType(type));
    RequestRepaint();
}

void TMerrowMainForm::SetRaBtype(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    const int32_t type = SettingsData[Nr].value;
    cmb_RaBtype->SetItemIndex(type);
    lbPeiB->setVisible(IsPeiRadioType(type));
    RequestRepaint();
}

void TMerrowMainForm::SetGainA(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbGainA->SetPosition(SettingsData[Nr].value);
    lbGainA->setText(GainLabelText(SettingsData[Nr].value));
}

void TMerrowMainForm::SetGainB(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbGainB->SetPosition(SettingsData[Nr].value);
    lbGainB->setText(GainLabelText(SettingsData[Nr].value));
}

// The detector-gain label shows the value that came in, also one that was refused.
void TMerrowMainForm::SetLevelDetGainA(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbLevelDetGainA->SetPosition(SettingsData[Nr].value);
    lbDetGainA->setText(DetGainLabelText(val));
}

void TMerrowMainForm::SetLevelDetGainB(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbLevelDetGainB->SetPosition(SettingsData[Nr].value);
    lbDetGainB->setText(DetGainLabelText(val));
}

void TMerrowMainForm::SetDetLevelA(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbDetLevelA->SetPosition(DetLevelToPosition(SettingsData[Nr].value));
}

void TMerrowMainForm::SetDetLevelB(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbDetLevelB->SetPosition(DetLevelToPosition(SettingsData[Nr].value));
}

void TMerrowMainForm::SetPTTOnDelayA(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbPTTonDelayA->SetPosition(DelayToPosition(SettingsData[Nr].value));
    ShowPTTOnDelay(lbPTTonDelayA, SettingsData[Nr].value);
}

void TMerrowMainForm::SetPTTOnDelayB(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbPTTonDelayB->SetPosition(DelayToPosition(SettingsData[Nr].value));
    ShowPTTOnDelay(lbPTTonDelayB, SettingsData[Nr].value);
}

void TMerrowMainForm::SetPTTOffDelayA(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbPTToffDelayA->SetPosition(DelayToPosition(SettingsData[Nr].value));
    ShowPTTOffDelay(lbPTToffDelayA, SettingsData[Nr].value);
}

void TMerrowMainForm::SetPTTOffDelayB(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    tbPTToffDelayB->SetPosition(DelayToPosition(SettingsData[Nr].value));
    ShowPTTOffDelay(lbPTToffDelayB, SettingsData[Nr].value);
}

void TMerrowMainForm::SetComType_A(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    cmb_ComType_A->SetItemIndex(SettingsData[Nr].value);
}

void TMerrowMainForm::SetComType_B(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    cmb_ComType_B->SetItemIndex(SettingsData[Nr].value);
}

void TMerrowMainForm::SetBaud_A(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    cmb_Baud_A->SetItemIndex(BaudPositionForValue(SettingsData[Nr].value));
}

void TMerrowMainForm::SetBaud_B(int32_t val, int32_t Nr)
{
    StoreInRange(SettingsData, val, Nr);
    cmb_Baud_B->SetItemIndex(BaudPositionForValue(SettingsData[Nr].value));
}

// The carriage return splits the label into its two lines, "PTT On filter" and the delay.
void TMerrowMainForm::ShowPTTOnDelay(QLabel *label, int32_t value)
{
    label->setText(PttOnDelayText(value));
}

void TMerrowMainForm::ShowPTTOffDelay(QLabel *label, int32_t value)
{
    label->setText(PttOffDelayText(value));
}
