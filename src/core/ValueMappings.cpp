// SPDX-License-Identifier: MIT
#include "core/ValueMappings.h"

#include "core/Rounding.h"

#include <array>
#include <cmath>

namespace {

// The scale of the detection-level slider: a span of 10^2.4103 (about 257:1) over the track,
// starting at 10^0.6 (about 4) at the bottom. The interface's level meter uses the same scale,
// so the thumb stands level with the marker the diagram draws for the value.
constexpr double kLevelDecades = 2.4103;
constexpr double kLevelFloorLog = 0.6;
constexpr int kLevelTop = 1023;
constexpr double kLevelSteps = 1024.0;

constexpr std::array<int32_t, 6> kBaudValues = {48, 96, 192, 384, 576, 1152};

} // namespace

QString GainLabelText(int32_t value)
{
    // In 64 bits: a value from a settings file may be anything, and 3 * value must not wrap.
    const qint64 dB = 3 * static_cast<qint64>(value) - 35;
    return QStringLiteral("Gain= ") + QString::number(dB) + QStringLiteral("dB");
}

QString DetGainLabelText(int32_t value)
{
    return QStringLiteral("Gain= ") + QString::number(value);
}

int32_t DetLevelFromPosition(int position)
{
    const double exponent = kLevelDecades * (kLevelTop - position) / kLevelSteps + kLevelFloorLog;
    return RoundHalfEven(std::pow(10.0, exponent));
}

int32_t DetLevelToPosition(int32_t level)
{
    // log10 has no answer for 0 or less; those levels mean "nothing to detect" and sit at the
    // top like 0 does.
    if (level <= 0)
        return 0;
    const double steps =
        (std::log10(static_cast<double>(level)) - kLevelFloorLog) / kLevelDecades * kLevelSteps;
    return kLevelTop - RoundHalfEven(steps);
}

int32_t DelayFromPosition(int position)
{
    return 10 * position;
}

int DelayToPosition(int32_t milliseconds)
{
    return milliseconds / 10; // truncates toward zero
}

QString PttOnDelayText(int32_t milliseconds)
{
    return QStringLiteral("PTT On filter\rdelay= ") + QString::number(milliseconds) +
           QStringLiteral("ms");
}

QString PttOffDelayText(int32_t milliseconds)
{
    return QStringLiteral("PTT Off hold\rdelay= ") + QString::number(milliseconds) +
           QStringLiteral("ms");
}

std::optional<int32_t> BaudValueForPosition(int position)
{
    if (position < 0 || position >= static_cast<int>(kBaudValues.size()))
        return std::nullopt;
    return kBaudValues[static_cast<size_t>(position)];
}

int BaudPositionForValue(int32_t value)
{
    for (size_t i = 0; i < kBaudValues.size(); ++i) {
        if (kBaudValues[i] == value)
            return static_cast<int>(i);
    }
    return kBaudInvalidPosition;
}

QString PeiStateText(const QString &field)
{
    if (field == QLatin1String("0"))
        return QStringLiteral("PEI not used");
    if (field == QLatin1String("1"))
        return QStringLiteral("PEI link not established");
    if (field == QLatin1String("2"))
        return QStringLiteral("PEI is working");
    return QString();
}
