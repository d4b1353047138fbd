// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::ApplyFirmwareVersion(int32_t, int32_t)
{}

void TMerrowMainForm::ShowFirmwareVersion(int32_t, int32_t)
{}
