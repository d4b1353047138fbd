// SPDX-License-Identifier: MIT
#include "link/LineFramer.h"
