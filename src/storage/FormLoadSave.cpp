// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::mnLoadClick() {}

void TMerrowMainForm::mnSaveClick() {}

void TMerrowMainForm::SaveSettingsFile(const QString &) {}

void TMerrowMainForm::LoadSettingsFile(const QString &) {}

void TMerrowMainForm::tmStartCheckTimer() {}

QString TMerrowMainForm::LastSettingsPath() const
{
    return {};
}
