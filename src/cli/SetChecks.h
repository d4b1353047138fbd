// SPDX-License-Identifier: MIT
// The checks tandor-cli makes on parameter sets: that a settings file names all sixteen
// parameters, that every value is one the unit's firmware takes, and which values of two sets
// differ. Pure functions of plain values.
#pragma once

#include "core/SettingsTable.h"
#include "storage/JsonDocument.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The sixteen values of a set; entry i - 1 holds parameter i.
using TParamValues = std::array<int32_t, TSettingsData::Count>;

// The name of parameter index (1..16).
QString ParamName(int index);

// The values of a settings manager's table copy, as a read left them.
TParamValues ValuesOf(const TSettingsData &data);
// A table with the names of the sixteen parameters and the given values (for the writer).
void FillTable(TSettingsData &data, const TParamValues &values);

struct TValueRefusal
{
    int index = 0;  // the parameter, 1..16
    QString reason; // why the value is refused, without the parameter's name

    friend bool operator==(const TValueRefusal &, const TValueRefusal &) = default;
};

// One line for a refusal: the parameter's name, a colon and the reason.
QString RefusalLine(const TValueRefusal &refusal);

// The parameters for which the document holds no number. The window's load reads them as 0
// and would send that 0: an empty or foreign file would set a unit to all zeros.
std::vector<TValueRefusal> MissingParameters(const TJsonValue &document);

// The values that a unit of firmware major.minor does not take: outside the parameter's range,
// a radio type the firmware does not know, and under firmware 1.0 any com type but RS232 and
// any baud rate but 38400.
std::vector<TValueRefusal> CheckValuesForFirmware(const TParamValues &values, int32_t major,
                                                  int32_t minor);

struct TSetDifference
{
    int index = 0;
    int32_t fileValue = 0;
    int32_t unitValue = 0;

    friend bool operator==(const TSetDifference &, const TSetDifference &) = default;
};

// The parameters whose values differ, in table order.
std::vector<TSetDifference> CompareSets(const TParamValues &file, const TParamValues &unit);

// One line for a difference: the parameter's name, the file's value and the unit's value.
QString DifferenceLine(const TSetDifference &difference);
