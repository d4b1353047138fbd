// SPDX-License-Identifier: MIT
#include "core/FirmwareRules.h"

namespace Firmware {

QStringList RadioTypeNames()
{
    // The first ends in a blank.
    return {
        QStringLiteral("Radio with AF level sense for RX detect "),
        QStringLiteral("Radio with Squelch Low output for RX detect"),
        QStringLiteral("SRG3900 Radio using PEI for RX detect"),
        QStringLiteral("MTM5400/5500 Radio using PEI for RX detect"),
        QStringLiteral("TMR880i using PEI for RX detect and PTT"),
        QStringLiteral("Radio with Squelch High output for RX detect"),
    };
}

std::optional<TRadioTypeRanges> RadioTypeRanges(int32_t major, int32_t minor)
{
    if (minor < 0)
        return std::nullopt;
    if (major == 1) {
        if (minor >= 7)
            return TRadioTypeRanges{{0, 4}, {0, 4}};
        if (minor >= 6)
            return TRadioTypeRanges{{0, 3}, {0, 3}};
        // The earliest firmware fixes each side to one radio: A a PEI radio (SRG3900), B a
        // squelch-low radio.
        return TRadioTypeRanges{{2, 2}, {1, 1}};
    }
    if (major == 2)
        return TRadioTypeRanges{{0, 5}, {0, 5}};
    return std::nullopt;
}

std::optional<bool> OffersSquelchHigh(int32_t major)
{
    if (major == 1)
        return false;
    if (major == 2)
        return true;
    return std::nullopt;
}

std::optional<QString> FirstComTypeName(int32_t major)
{
    if (major == 1)
        return QStringLiteral("TTL 5V");
    if (major == 2)
        return QStringLiteral("TTL 3V");
    return std::nullopt;
}

bool FixesComTypeAndBaud(int32_t major, int32_t minor)
{
    return major == 1 && minor == 0;
}

QString VersionText(int32_t major, int32_t minor)
{
    return QStringLiteral("Firmware version: ") + QString::number(major) + QStringLiteral(".") +
           QString::number(minor);
}

} // namespace Firmware
