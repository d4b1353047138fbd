// SPDX-License-Identifier: MIT
// The framer is a template over the line handler, so that the receive path calls it inline;
// everything lives in the header.
#include "link/LineFramer.h"
