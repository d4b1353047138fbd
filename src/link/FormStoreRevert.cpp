// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::btSaveChangesClick()
{}

void TMerrowMainForm::btRevertClick()
{}

void TMerrowMainForm::tmSaveIndicationTimer()
{}
