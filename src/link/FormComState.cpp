// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::tmComStateTimer()
{}

void TMerrowMainForm::ComPort1Open()
{}

void TMerrowMainForm::ComPort1Close()
{}

void TMerrowMainForm::ComPort1Error(int)
{}

void TMerrowMainForm::ComPort1PErr()
{}

void TMerrowMainForm::OpenSavedPort()
{}

void TMerrowMainForm::SelectPort(const QString &)
{}

void TMerrowMainForm::ComComboBox1DropDown()
{}

void TMerrowMainForm::ComComboBox1Change()
{}
