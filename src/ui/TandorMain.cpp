// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

#include "link/ComPort.h"
#include "ports/DeviceNotifier.h"
#include "storage/KVTRegStore.h"
#include "storage/SettingsFileMngr.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TandorAboutForm.h"
#include "ui/TrackBar.h"

#include <QCloseEvent>
#include <QTimer>

TMerrowMainForm::TMerrowMainForm(TUserSeam *seam, QWidget *parent)
    : QMainWindow(parent), fSeam(seam ? seam : new TQtUserSeam)
{
    setObjectName(QStringLiteral("MerrowMainForm"));
    ClientArea = new TClientArea(this);
    setCentralWidget(ClientArea);
    CreateControls();
    CreateMenu();
    CreateComponents();
    BindEvents();
    FormCreate();
}

TMerrowMainForm::~TMerrowMainForm() = default;

void TMerrowMainForm::CreateControls() {}

void TMerrowMainForm::CreateMenu() {}

void TMerrowMainForm::CreateComponents()
{
    KVTRegistryStore = new TKVTRegistryStore(this);
    ComPort1 = new TComPort(this);
    tmComState = new QTimer(this);
    tmRefreshDetectSetting = new QTimer(this);
    tmSaveIndication = new QTimer(this);
    tmStartCheck = new QTimer(this);
}

void TMerrowMainForm::BindEvents() {}

void TMerrowMainForm::mnAboutClick() {}

void TMerrowMainForm::RepaintNow()
{
    ClientArea->repaint();
}

void TMerrowMainForm::RequestRepaint()
{
    ClientArea->update();
}

void TMerrowMainForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    event->accept();
}
