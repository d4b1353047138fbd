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
#include "core/ValueMappings.h"
#include "ui/ComboBox.h"
#include "ui/TrackBar.h"

#include <QLabel>

namespace {

using F = TMerrowMainForm;

// What kind of control shows a parameter: how its position (or list item) and the value
// relate, and what its label shows.
enum class TControlKind
{
    RadioType,   // list item = value; the PEI label shows with the PEI radio types
    Gain,        // slider position = value; label "Gain= ..dB"
    DetGain,     // slider position = value; label the bare number
    DetLevel,    // logarithmic vertical slider; no label
    PttOnDelay,  // slider in tens of milliseconds; label "PTT On filter\rdelay=.."
    PttOffDelay, // slider in tens of milliseconds; label "PTT Off hold\rdelay=.."
    ComType,     // list item = value; firmware 1.0 fixes RS232
    Baud,        // list item = rate in the baud list; firmware 1.0 fixes 38400
};

// One row per parameter, in index order: its control, label and live re-send flag. A slider
// with a live flag stores its value while the thumb moves and the refresh timer re-sends it;
// the others send only when the gesture ends.
struct TParamRow
{
    int index;
    TControlKind kind;
    TComboBox *F::*list;
    TTrackBar *F::*slider;
    QLabel *F::*label;
    bool F::*live;
};

using K = TControlKind;
const TParamRow kParams[TSettingsData::Count] = {
    {Param::RaAtype, K::RadioType, &F::cmb_RaAtype, nullptr, &F::lbPeiA, nullptr},
    {Param::RaBtype, K::RadioType, &F::cmb_RaBtype, nullptr, &F::lbPeiB, nullptr},
    {Param::GainA, K::Gain, nullptr, &F::tbGainA, &F::lbGainA, nullptr},
    {Param::GainB, K::Gain, nullptr, &F::tbGainB, &F::lbGainB, nullptr},
    {Param::LevelDetGainA, K::DetGain, nullptr, &F::tbLevelDetGainA, &F::lbDetGainA,
     &F::fchangingLevelDetGainA},
    {Param::LevelDetGainB, K::DetGain, nullptr, &F::tbLevelDetGainB, &F::lbDetGainB,
     &F::fchangingLevelDetGainB},
    {Param::DetLevelA, K::DetLevel, nullptr, &F::tbDetLevelA, nullptr, &F::fchangingDetLevelA},
    {Param::DetLevelB, K::DetLevel, nullptr, &F::tbDetLevelB, nullptr, &F::fchangingDetLevelB},
    {Param::PTTOnDelayA, K::PttOnDelay, nullptr, &F::tbPTTonDelayA, &F::lbPTTonDelayA,
     &F::fchangingPTTonDelayA},
    {Param::PTTOnDelayB, K::PttOnDelay, nullptr, &F::tbPTTonDelayB, &F::lbPTTonDelayB,
     &F::fchangingPTTonDelayB},
    {Param::PTTOffDelayA, K::PttOffDelay, nullptr, &F::tbPTToffDelayA, &F::lbPTToffDelayA,
     &F::fchangingPTToffDelayA},
    {Param::PTTOffDelayB, K::PttOffDelay, nullptr, &F::tbPTToffDelayB, &F::lbPTToffDelayB,
     &F::fchangingPTToffDelayB},
    {Param::ComType_A, K::ComType, &F::cmb_ComType_A, nullptr, nullptr, nullptr},
    {Param::ComType_B, K::ComType, &F::cmb_ComType_B, nullptr, nullptr, nullptr},
    {Param::Baud_A, K::Baud, &F::cmb_Baud_A, nullptr, nullptr, nullptr},
    {Param::Baud_B, K::Baud, &F::cmb_Baud_B, nullptr, nullptr, nullptr},
};

const TParamRow &Row(int index)
{
    return kParams[index - TSettingsData::First];
}

int32_t ValueFromPosition(TControlKind kind, int position)
{
    switch (kind) {
    case K::DetLevel:
        return DetLevelFromPosition(position);
    case K::PttOnDelay:
    case K::PttOffDelay:
        return DelayFromPosition(position);
    default:
        return position;
    }
}

int PositionFromValue(TControlKind kind, int32_t value)
{
    switch (kind) {
    case K::DetLevel:
        return DetLevelToPosition(value);
    case K::PttOnDelay:
    case K::PttOffDelay:
        return DelayToPosition(value);
    default:
        return value;
    }
}

QString LabelText(TControlKind kind, int32_t value)
{
    switch (kind) {
    case K::Gain:
        return GainLabelText(value);
    case K::DetGain:
        return DetGainLabelText(value);
    case K::PttOnDelay:
        return PttOnDelayText(value);
    case K::PttOffDelay:
        return PttOffDelayText(value);
    default:
        return {};
    }
}

// The first step of every setter: val becomes the entry's value only within its range.
void StoreInRange(TSettingsData &data, int32_t val, int32_t Nr)
{
    TSettingsRec &entry = data[Nr];
    if (entry.Minval <= val && val <= entry.Maxval)
        entry.value = val;
}

} // namespace

// ---- drop-down lists ----------------------------------------------------------------------

void TMerrowMainForm::ListChange(int index)
{
    const TParamRow &row = Row(index);
    TComboBox *list = this->*row.list;
    TSettingsRec &entry = SettingsData[index];
    switch (row.kind) {
    case K::RadioType:
        if (list->ItemIndex() > entry.Maxval)
            list->SetItemIndex(entry.Maxval);
        entry.value = list->ItemIndex();
        (this->*row.label)->setVisible(IsPeiRadioType(entry.value));
        break;
    case K::ComType:
        // Firmware 1.0 talks RS232 only.
        if (Firmware::FixesComTypeAndBaud(fVersionMain, fVersionMinor) &&
            list->ItemIndex() != Firmware::kFixedComTypePosition)
            list->SetItemIndex(Firmware::kFixedComTypePosition);
        // Typed text that names no item gives -1, which goes to the interface as it is.
        entry.value = list->ItemIndex();
        break;
    case K::Baud:
        // Firmware 1.0 talks 38400 baud only.
        if (Firmware::FixesComTypeAndBaud(fVersionMain, fVersionMinor) &&
            list->ItemIndex() != Firmware::kFixedBaudPosition)
            list->SetItemIndex(Firmware::kFixedBaudPosition);
        // "Invalid", or text that is no rate, keeps the stored rate; it is sent again all the
        // same.
        if (const auto rate = BaudValueForPosition(list->ItemIndex()))
            entry.value = *rate;
        break;
    default:
        return;
    }
    SendParam(index);
    // The diagram shows the new radio type's or com type's blocks at once.
    if (row.kind != K::Baud)
        RepaintNow();
}

void TMerrowMainForm::cmb_RaAtypeChange()
{
    ListChange(Param::RaAtype);
}
void TMerrowMainForm::cmb_RaBtypeChange()
{
    ListChange(Param::RaBtype);
}
void TMerrowMainForm::cmb_ComType_AChange()
{
    ListChange(Param::ComType_A);
}
void TMerrowMainForm::cmb_ComType_BChange()
{
    ListChange(Param::ComType_B);
}
void TMerrowMainForm::cmb_Baud_AChange()
{
    ListChange(Param::Baud_A);
}
void TMerrowMainForm::cmb_Baud_BChange()
{
    ListChange(Param::Baud_B);
}

// ---- sliders ------------------------------------------------------------------------------
// The gain goes to the interface only when the gesture ends; its label follows the thumb.
// Detector gain, detection level and the delays are stored while the thumb moves and re-sent
// by the refresh timer, so the interface (and the threshold marker of the diagram) follow the
// drag. Their OnChanging reads the slider's position, which is still the previous one during
// the notification, so the stored value trails the thumb by one step until OnChange.

void TMerrowMainForm::SliderChanging(int index, int NewPos)
{
    const TParamRow &row = Row(index);
    if (!row.live) {
        (this->*row.label)->setText(LabelText(row.kind, NewPos));
        return;
    }
    TSettingsRec &entry = SettingsData[index];
    entry.value = ValueFromPosition(row.kind, (this->*row.slider)->Position());
    this->*row.live = true;
    if (row.label)
        (this->*row.label)->setText(LabelText(row.kind, entry.value));
}

void TMerrowMainForm::SliderChange(int index)
{
    const TParamRow &row = Row(index);
    if (row.live)
        this->*row.live = false;
    TSettingsRec &entry = SettingsData[index];
    entry.value = ValueFromPosition(row.kind, (this->*row.slider)->Position());
    if (row.live && row.label)
        (this->*row.label)->setText(LabelText(row.kind, entry.value));
    SendParam(index);
}

void TMerrowMainForm::tbGainAChanging(int NewPos, bool &)
{
    SliderChanging(Param::GainA, NewPos);
}
void TMerrowMainForm::tbGainAChange()
{
    SliderChange(Param::GainA);
}
void TMerrowMainForm::tbGainBChanging(int NewPos, bool &)
{
    SliderChanging(Param::GainB, NewPos);
}
void TMerrowMainForm::tbGainBChange()
{
    SliderChange(Param::GainB);
}
void TMerrowMainForm::tbLevelDetGainAChanging(int NewPos, bool &)
{
    SliderChanging(Param::LevelDetGainA, NewPos);
}
void TMerrowMainForm::tbLevelDetGainAChange()
{
    SliderChange(Param::LevelDetGainA);
}
void TMerrowMainForm::tbLevelDetGainBChanging(int NewPos, bool &)
{
    SliderChanging(Param::LevelDetGainB, NewPos);
}
void TMerrowMainForm::tbLevelDetGainBChange()
{
    SliderChange(Param::LevelDetGainB);
}
void TMerrowMainForm::tbDetLevelAChanging(int NewPos, bool &)
{
    SliderChanging(Param::DetLevelA, NewPos);
}
void TMerrowMainForm::tbDetLevelAChange()
{
    SliderChange(Param::DetLevelA);
}
void TMerrowMainForm::tbDetLevelBChanging(int NewPos, bool &)
{
    SliderChanging(Param::DetLevelB, NewPos);
}
void TMerrowMainForm::tbDetLevelBChange()
{
    SliderChange(Param::DetLevelB);
}
void TMerrowMainForm::tbPTTonDelayAChanging(int NewPos, bool &)
{
    SliderChanging(Param::PTTOnDelayA, NewPos);
}
void TMerrowMainForm::tbPTTonDelayAChange()
{
    SliderChange(Param::PTTOnDelayA);
}
void TMerrowMainForm::tbPTTonDelayBChanging(int NewPos, bool &)
{
    SliderChanging(Param::PTTOnDelayB, NewPos);
}
void TMerrowMainForm::tbPTTonDelayBChange()
{
    SliderChange(Param::PTTOnDelayB);
}
void TMerrowMainForm::tbPTToffDelayAChanging(int NewPos, bool &)
{
    SliderChanging(Param::PTTOffDelayA, NewPos);
}
void TMerrowMainForm::tbPTToffDelayAChange()
{
    SliderChange(Param::PTTOffDelayA);
}
void TMerrowMainForm::tbPTToffDelayBChanging(int NewPos, bool &)
{
    SliderChanging(Param::PTTOffDelayB, NewPos);
}
void TMerrowMainForm::tbPTToffDelayBChange()
{
    SliderChange(Param::PTTOffDelayB);
}

void TMerrowMainForm::tmRefreshDetectSettingTimer()
{
    // A held thumb keeps the interface receiving its value ten times a second, changed or
    // not; only the slider's OnChange ends it.
    for (const TParamRow &row : kParams) {
        if (row.live && this->*row.live) {
            SendParam(row.index);
            RepaintNow();
        }
    }
}

// ---- setters ------------------------------------------------------------------------------

void TMerrowMainForm::SetParameter(int index, int32_t val, int32_t Nr)
{
    const TParamRow &row = Row(index);
    StoreInRange(SettingsData, val, Nr);
    const int32_t value = SettingsData[Nr].value;
    switch (row.kind) {
    case K::RadioType: {
        // The poll reads the type back every cycle; only a new type lays the diagram out anew.
        TComboBox *list = this->*row.list;
        const int shown = list->currentIndex();
        list->SetItemIndex(value);
        (this->*row.label)->setVisible(IsPeiRadioType(value));
        if (list->currentIndex() != shown)
            RequestRepaint();
        return;
    }
    case K::ComType:
        (this->*row.list)->SetItemIndex(value);
        return;
    case K::Baud:
        (this->*row.list)->SetItemIndex(BaudPositionForValue(value));
        return;
    default:
        (this->*row.slider)->SetPosition(PositionFromValue(row.kind, value));
        // The detector-gain label shows the value that came in, also one that was refused.
        if (row.label)
            (this->*row.label)->setText(LabelText(row.kind, row.kind == K::DetGain ? val : value));
        return;
    }
}

void TMerrowMainForm::SetRaAtype(int32_t val, int32_t Nr)
{
    SetParameter(Param::RaAtype, val, Nr);
}
void TMerrowMainForm::SetRaBtype(int32_t val, int32_t Nr)
{
    SetParameter(Param::RaBtype, val, Nr);
}
void TMerrowMainForm::SetGainA(int32_t val, int32_t Nr)
{
    SetParameter(Param::GainA, val, Nr);
}
void TMerrowMainForm::SetGainB(int32_t val, int32_t Nr)
{
    SetParameter(Param::GainB, val, Nr);
}
void TMerrowMainForm::SetLevelDetGainA(int32_t val, int32_t Nr)
{
    SetParameter(Param::LevelDetGainA, val, Nr);
}
void TMerrowMainForm::SetLevelDetGainB(int32_t val, int32_t Nr)
{
    SetParameter(Param::LevelDetGainB, val, Nr);
}
void TMerrowMainForm::SetDetLevelA(int32_t val, int32_t Nr)
{
    SetParameter(Param::DetLevelA, val, Nr);
}
void TMerrowMainForm::SetDetLevelB(int32_t val, int32_t Nr)
{
    SetParameter(Param::DetLevelB, val, Nr);
}
void TMerrowMainForm::SetPTTOnDelayA(int32_t val, int32_t Nr)
{
    SetParameter(Param::PTTOnDelayA, val, Nr);
}
void TMerrowMainForm::SetPTTOnDelayB(int32_t val, int32_t Nr)
{
    SetParameter(Param::PTTOnDelayB, val, Nr);
}
void TMerrowMainForm::SetPTTOffDelayA(int32_t val, int32_t Nr)
{
    SetParameter(Param::PTTOffDelayA, val, Nr);
}
void TMerrowMainForm::SetPTTOffDelayB(int32_t val, int32_t Nr)
{
    SetParameter(Param::PTTOffDelayB, val, Nr);
}
void TMerrowMainForm::SetComType_A(int32_t val, int32_t Nr)
{
    SetParameter(Param::ComType_A, val, Nr);
}
void TMerrowMainForm::SetComType_B(int32_t val, int32_t Nr)
{
    SetParameter(Param::ComType_B, val, Nr);
}
void TMerrowMainForm::SetBaud_A(int32_t val, int32_t Nr)
{
    SetParameter(Param::Baud_A, val, Nr);
}
void TMerrowMainForm::SetBaud_B(int32_t val, int32_t Nr)
{
    SetParameter(Param::Baud_B, val, Nr);
}
