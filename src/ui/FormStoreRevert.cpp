// SPDX-License-Identifier: MIT
// Store and revert in the interface. Every parameter change reaches the interface at once;
// these two buttons make it keep the changes permanently or drop them. Neither command is
// answered, so the store indication only shows for a second that the command went out.
#include "ui/TandorMain.h"

#include "link/ComPort.h"

#include <QPushButton>
#include <QTimer>

void TMerrowMainForm::btSaveChangesClick()
{
    StoreInInterface();
}

void TMerrowMainForm::btRevertClick()
{
    const bool sent = ComPort1->Active();
    RevertInterface();
    // Read all sixteen back, so the controls show what the interface holds after the revert.
    // With the port closed the next tick's port check overrides this.
    fComState = csReqPrm1;
    if (sent)
        fLoadingParam = 0;
}

void TMerrowMainForm::tmSaveIndicationTimer()
{
    // From the first store on the button keeps this caption.
    btSaveChanges->setText(QStringLiteral("Save changes to interface"));
    tmSaveIndication->stop();
    btSaveChanges->setEnabled(true);
    Seam().SetCursor(TCursorKind::Arrow);
}
