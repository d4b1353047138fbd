// SPDX-License-Identifier: MIT
// Program entry: the application object, the main window, the hidden about box, the message
// loop. The program takes no arguments and reads no settings of its own from the command line.
#include "app/ApplicationIdentity.h"
#include "app/SignalClose.h"
#include "ui/DesignedFonts.h"
#include "ui/TandorAboutForm.h"
#include "ui/TandorMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Arguments are ignored: not even Qt's own options (-style, -reverse, -geometry ...) may
    // change the program, so the application object sees the program name only.
    int appArgc = argc > 0 ? 1 : 0;
    QApplication app(appArgc, argv);
    SetApplicationIdentity();
    // Before any window exists: the controls were sized for these faces' metrics.
    UseDesignedFonts();

    // Building the window starts its timers and runs its creation handler; the ticks are
    // handled once the loop below runs.
    TMerrowMainForm mainForm;
    auto *aboutBox = new TAboutBox(&mainForm); // owned by the main window, hidden
    mainForm.SetAboutBox(aboutBox);
    CloseOnTerminationSignals(&mainForm);
    mainForm.show();
    return app.exec();
}
