// SPDX-License-Identifier: MIT
// Program entry: the application object, the main window, the hidden about box, the message
// loop. Command-line arguments are ignored.
#include "ui/TandorAboutForm.h"
#include "ui/TandorMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TMerrowMainForm mainForm;
    TAboutBox aboutBox(&mainForm);
    mainForm.SetAboutBox(&aboutBox);
    mainForm.show();
    return app.exec();
}
