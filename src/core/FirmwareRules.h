// SPDX-License-Identifier: MIT
// What the interface's firmware version allows: the radio types offered and accepted on each
// side, the name of the first com type, and the choices firmware 1.0 fixes. Pure: the window
// applies these to its lists and the parameter table, other tools to what they show and send.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

namespace Firmware {

// The radio types, in the order of the RaAtype / RaBtype values. Only firmware 2 knows the
// sixth, a radio with a squelch-high output.
QStringList RadioTypeNames();
inline constexpr int kSquelchHighPosition = 5;

struct TRange
{
    int32_t min = 0;
    int32_t max = 0;
    friend bool operator==(const TRange &, const TRange &) = default;
};

struct TRadioTypeRanges
{
    TRange a; // RaAtype
    TRange b; // RaBtype
    friend bool operator==(const TRadioTypeRanges &, const TRadioTypeRanges &) = default;
};

// The radio-type values a version accepts, or none where the version names no range (an
// unknown major, a negative minor): the ranges in force then stay as they are.
std::optional<TRadioTypeRanges> RadioTypeRanges(int32_t major, int32_t minor);

// Whether a version's family offers the squelch-high radio type; none for an unknown family,
// which leaves the lists as they are. A negative minor still names the family.
std::optional<bool> OffersSquelchHigh(int32_t major);

// The name of the first com type (value 0) in a version's family; none for an unknown family.
std::optional<QString> FirstComTypeName(int32_t major);

// Firmware 1.0 talks RS232 at 38400 baud only: the com-type and baud lists snap back to these
// positions.
bool FixesComTypeAndBaud(int32_t major, int32_t minor);
inline constexpr int kFixedComTypePosition = 1; // RS232
inline constexpr int kFixedBaudPosition = 3;    // 38400

// The version as the window shows it: "Firmware version: 2.0".
QString VersionText(int32_t major, int32_t minor);

} // namespace Firmware
