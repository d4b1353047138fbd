// SPDX-License-Identifier: MIT
// Stops the window's four timers, so that a test, benchmark or fuzz run drives the window
// alone: no connection tick, refresh, store indication or start-up offer comes in between.
#pragma once

#include "ui/TandorMain.h"

#include <QTimer>

inline void StopWindowTimers(TMerrowMainForm &form)
{
    for (QTimer *t :
         {form.tmComState, form.tmRefreshDetectSetting, form.tmSaveIndication, form.tmStartCheck})
        t->stop();
}
