// SPDX-License-Identifier: MIT
#include "core/Rounding.h"

#include <cmath>
#include <limits>

int32_t RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    const double r = x - std::remainder(x, 1.0); // remainder() rounds its quotient half-to-even
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}
