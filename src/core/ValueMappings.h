// SPDX-License-Identifier: MIT
// How the parameter values are read and shown by their controls: slider positions to values
// and back, the baud-rate list, and the texts of the value labels beside the sliders. Pure
// functions of plain values, shared by the handlers, the setters and their tests.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Gain: the value is the slider position 0..20, shown in dB as 3 * value - 35
// ("Gain= -35dB" .. "Gain= 25dB"). Any value is shown as computed, also one outside 0..20
// that a settings file put into the table.
QString GainLabelText(int32_t value);

// Detector gain: the value is the slider position 0..255, shown as a bare number.
QString DetGainLabelText(int32_t value);

// Detection level: a logarithmic vertical slider 0..1024 with the highest level at the top
// (position 0). V(position) is the level the interface gets, 4..1018; P(level) is where the
// slider shows a level. P is not clamped here: the slider clamps it to its own range, so
// levels 1..3 land at the bottom and 1019 and above at the top. A level of 0 (and anything
// below, which only a hand-edited settings file can hold) shows at the top.
int32_t DetLevelFromPosition(int position);
int32_t DetLevelToPosition(int32_t level);

// PTT delays: the slider counts tens of milliseconds (0..150 for 0..1500 ms).
int32_t DelayFromPosition(int position);
int DelayToPosition(int32_t milliseconds);
QString PttOnDelayText(int32_t milliseconds);
QString PttOffDelayText(int32_t milliseconds);

// Baud rate: the parameter holds the rate in hundreds of baud. The list has the six rates at
// positions 0..5 and "Invalid" at position 6 for every value that is not one of them.
constexpr int kBaudInvalidPosition = 6;
std::optional<int32_t> BaudValueForPosition(int position);
int BaudPositionForValue(int32_t value);

// The PEI state text for a PEI-state field ("0" not used, "1" link not established, "2"
// working), or null for any other text.
QString PeiStateText(const QString &field);

// Radio types 2, 3 and 4 talk to the interface over their PEI data link.
constexpr bool IsPeiRadioType(int32_t type)
{
    return type >= 2 && type <= 4;
}
