// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

// Round to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
int32_t RoundHalfEven(double x);
