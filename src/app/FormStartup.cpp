// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::FormCreate()
{}

void TMerrowMainForm::FormClose()
{}

void TMerrowMainForm::mnExitClick()
{}

void TMerrowMainForm::btCloseClick()
{}
