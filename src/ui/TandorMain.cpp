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
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

// The six radio types, in the order of the RaAtype / RaBtype values. The first ends in a blank.
const char *const kRadioTypes[] = {
    "Radio with AF level sense for RX detect ", "Radio with Squelch Low output for RX detect",
    "SRG3900 Radio using PEI for RX detect",    "MTM5400/5500 Radio using PEI for RX detect",
    "TMR880i using PEI for RX detect and PTT",  "Radio with Squelch High output for RX detect",
};

const char *const kBaudItems[] = {"4800", "9600", "19200", "38400", "57600", "115200", "Invalid"};

// Light yellow: the interface block's fill, behind the controls that lie on the diagram.
const QColor kLightYellow(255, 255, 224);

QLabel *MakeLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

// Labels on the diagram are transparent, so the painted diagram shows through them.
void MakeDiagramLabel(QLabel *label)
{
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setAutoFillBackground(false);
}

TComboBox *MakeCombo(QWidget *parent, const QString &name, bool editable)
{
    auto *combo = new TComboBox(editable, parent);
    combo->setObjectName(name);
    return combo;
}

TTrackBar *MakeTrackBar(QWidget *parent, const QString &name, Qt::Orientation orientation,
                        int maximum, int page)
{
    auto *bar = new TTrackBar(orientation, parent);
    bar->setObjectName(name);
    bar->setRange(0, maximum);
    bar->setPageStep(page);
    bar->setSingleStep(1);
    bar->setTickPosition(QSlider::NoTicks);
    return bar;
}

} // namespace

TMerrowMainForm::TMerrowMainForm(TUserSeam *seam, QWidget *parent)
    : QMainWindow(parent), fSeam(seam ? seam : new TQtUserSeam)
{
    setObjectName(QStringLiteral("MerrowMainForm"));
    ClientArea = new TClientArea(this);
    setCentralWidget(ClientArea);
    setWindowTitle(QStringLiteral("Tandor Configuration"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    ClientArea->setFixedSize(960, 650);
    CreateControls();
    CreateMenu();
    CreateComponents();
    BindEvents();
    FormCreate();
}

TMerrowMainForm::~TMerrowMainForm() = default;

void TMerrowMainForm::CreateControls()
{
    QWidget *area = ClientArea;
    Label1 = MakeLabel(area, QStringLiteral("Label1"),
                       QStringLiteral("Port used for connection to Tandor Interface:"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setGeometry(76, 11, 214, 13);

    ComComboBox1 = MakeCombo(area, QStringLiteral("ComComboBox1"), false);
    ComComboBox1->SetSorted(true);
    ComComboBox1->setGeometry(296, 7, 356, 21);

    lbSerial = MakeLabel(area, QStringLiteral("lbSerial"), QStringLiteral("      "));
    lbSerial->setGeometry(662, 11, 18, 13);

    lbVersion = MakeLabel(area, QStringLiteral("lbVersion"), QStringLiteral("      "));
    lbVersion->setGeometry(766, 11, 18, 13);

    lbComIsOpen =
        MakeLabel(area, QStringLiteral("lbComIsOpen"), QStringLiteral("COM-port is closed"));
    lbComIsOpen->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lbComIsOpen->setGeometry(386, 32, 156, 13);

    lbIntfConnection = MakeLabel(area, QStringLiteral("lbIntfConnection"),
                                 QStringLiteral("Not Connected to interface"));
    lbIntfConnection->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    lbIntfConnection->setGeometry(386, 46, 156, 13);

    cmb_RaAtype = MakeCombo(area, QStringLiteral("cmb_RaAtype"), false);
    for (const char *item : kRadioTypes)
        cmb_RaAtype->AddItem(QString::fromLatin1(item));
    cmb_RaAtype->SetItemIndex(-1);
    cmb_RaAtype->setGeometry(25, 57, 261, 21);

    cmb_RaBtype = MakeCombo(area, QStringLiteral("cmb_RaBtype"), false);
    for (const char *item : kRadioTypes)
        cmb_RaBtype->AddItem(QString::fromLatin1(item));
    cmb_RaBtype->SetItemIndex(-1);
    cmb_RaBtype->setGeometry(680, 57, 260, 21);

    cmb_Baud_A = MakeCombo(area, QStringLiteral("cmb_Baud_A"), true);
    for (const char *item : kBaudItems)
        cmb_Baud_A->AddItem(QString::fromLatin1(item));
    cmb_Baud_A->SetItemIndex(-1);
    cmb_Baud_A->setEditText(QStringLiteral("Select Baudrate"));
    cmb_Baud_A->setFrame(false);
    cmb_Baud_A->setGeometry(116, 115, 105, 21);
    cmb_Baud_A->setVisible(false);

    cmb_Baud_B = MakeCombo(area, QStringLiteral("cmb_Baud_B"), true);
    for (const char *item : kBaudItems)
        cmb_Baud_B->AddItem(QString::fromLatin1(item));
    cmb_Baud_B->SetItemIndex(-1);
    cmb_Baud_B->setEditText(QStringLiteral("Select Baudrate"));
    cmb_Baud_B->setFrame(false);
    cmb_Baud_B->setGeometry(612, 115, 105, 21);
    cmb_Baud_B->setVisible(false);

    cmb_ComType_A = MakeCombo(area, QStringLiteral("cmb_ComType_A"), true);
    cmb_ComType_A->AddItem(QStringLiteral("TTL 3V"));
    cmb_ComType_A->AddItem(QStringLiteral("RS232"));
    cmb_ComType_A->SetItemIndex(-1);
    cmb_ComType_A->setEditText(QStringLiteral("Select Com-type"));
    cmb_ComType_A->setFrame(false);
    cmb_ComType_A->setGeometry(116, 155, 105, 21);
    cmb_ComType_A->setVisible(false);

    cmb_ComType_B = MakeCombo(area, QStringLiteral("cmb_ComType_B"), true);
    cmb_ComType_B->AddItem(QStringLiteral("TTL 3V"));
    cmb_ComType_B->AddItem(QStringLiteral("RS232"));
    cmb_ComType_B->SetItemIndex(-1);
    cmb_ComType_B->setEditText(QStringLiteral("Select Com-type"));
    cmb_ComType_B->setFrame(false);
    cmb_ComType_B->setGeometry(612, 155, 105, 21);
    cmb_ComType_B->setVisible(false);

    lbPeiA = MakeLabel(area, QStringLiteral("lbPeiA"), QStringLiteral("PEI link not established"));
    MakeDiagramLabel(lbPeiA);
    lbPeiA->setGeometry(25, 84, 110, 13);
    lbPeiA->setVisible(false);

    lbPeiB = MakeLabel(area, QStringLiteral("lbPeiB"), QStringLiteral("PEI link not established"));
    MakeDiagramLabel(lbPeiB);
    lbPeiB->setGeometry(680, 84, 110, 13);
    lbPeiB->setVisible(false);

    tbGainB = MakeTrackBar(area, QStringLiteral("tbGainB"), Qt::Horizontal, 20, 5);
    tbGainB->setGeometry(305, 243, 212, 20);

    tbGainA = MakeTrackBar(area, QStringLiteral("tbGainA"), Qt::Horizontal, 20, 5);
    tbGainA->setGeometry(305, 217, 212, 20);

    lbGainA = MakeLabel(area, QStringLiteral("lbGainA"), QStringLiteral("Gain="));
    MakeDiagramLabel(lbGainA);
    lbGainA->setGeometry(499, 134, 29, 13);

    lbGainB = MakeLabel(area, QStringLiteral("lbGainB"), QStringLiteral("Gain="));
    MakeDiagramLabel(lbGainB);
    lbGainB->setGeometry(499, 156, 29, 13);

    tbLevelDetGainA = MakeTrackBar(area, QStringLiteral("tbLevelDetGainA"), Qt::Horizontal, 255, 5);
    tbLevelDetGainA->setGeometry(404, 323, 116, 20);
    tbLevelDetGainA->setVisible(false);

    tbLevelDetGainB = MakeTrackBar(area, QStringLiteral("tbLevelDetGainB"), Qt::Horizontal, 255, 5);
    tbLevelDetGainB->setGeometry(404, 363, 116, 20);
    tbLevelDetGainB->setVisible(false);

    lbDetGainA = MakeLabel(area, QStringLiteral("lbDetGainA"), QStringLiteral("Gain="));
    MakeDiagramLabel(lbDetGainA);
    lbDetGainA->setGeometry(563, 221, 29, 13);
    lbDetGainA->setVisible(false);

    lbDetGainB = MakeLabel(area, QStringLiteral("lbDetGainB"), QStringLiteral("Gain="));
    MakeDiagramLabel(lbDetGainB);
    lbDetGainB->setGeometry(563, 243, 29, 13);
    lbDetGainB->setVisible(false);

    tbDetLevelA = MakeTrackBar(area, QStringLiteral("tbDetLevelA"), Qt::Vertical, 1024, 2);
    tbDetLevelA->SetPosition(255);
    tbDetLevelA->setGeometry(540, 379, 20, 80);
    tbDetLevelA->setVisible(false);

    tbDetLevelB = MakeTrackBar(area, QStringLiteral("tbDetLevelB"), Qt::Vertical, 1024, 2);
    tbDetLevelB->SetPosition(255);
    tbDetLevelB->setGeometry(588, 379, 20, 80);
    tbDetLevelB->setVisible(false);

    lbPreAmpA = MakeLabel(area, QStringLiteral("lbPreAmpA"), QStringLiteral("RX detect Pre-amp"));
    MakeDiagramLabel(lbPreAmpA);
    lbPreAmpA->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbPreAmpA->setWordWrap(true);
    lbPreAmpA->setGeometry(643, 291, 62, 30);
    lbPreAmpA->setVisible(false);

    lbPreAmpB = MakeLabel(area, QStringLiteral("lbPreAmpB"), QStringLiteral("RX detect Pre-amp"));
    MakeDiagramLabel(lbPreAmpB);
    lbPreAmpB->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbPreAmpB->setWordWrap(true);
    lbPreAmpB->setGeometry(643, 327, 62, 30);
    lbPreAmpB->setVisible(false);

    lbPttTrigA = MakeLabel(area, QStringLiteral("lbPttTrigA"), QStringLiteral("PTT trig level"));
    MakeDiagramLabel(lbPttTrigA);
    lbPttTrigA->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbPttTrigA->setWordWrap(true);
    lbPttTrigA->setGeometry(643, 379, 27, 50);
    lbPttTrigA->setVisible(false);

    lbPttTrigB = MakeLabel(area, QStringLiteral("lbPttTrigB"), QStringLiteral("PTT trig level"));
    MakeDiagramLabel(lbPttTrigB);
    lbPttTrigB->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbPttTrigB->setWordWrap(true);
    lbPttTrigB->setGeometry(643, 435, 27, 50);
    lbPttTrigB->setVisible(false);

    lbAfLevelA = MakeLabel(area, QStringLiteral("lbAfLevelA"), QStringLiteral("AF level"));
    MakeDiagramLabel(lbAfLevelA);
    lbAfLevelA->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbAfLevelA->setWordWrap(true);
    lbAfLevelA->setGeometry(643, 243, 51, 16);
    lbAfLevelA->setVisible(false);

    lbAfLevelB = MakeLabel(area, QStringLiteral("lbAfLevelB"), QStringLiteral("AF level"));
    MakeDiagramLabel(lbAfLevelB);
    lbAfLevelB->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lbAfLevelB->setWordWrap(true);
    lbAfLevelB->setGeometry(643, 259, 51, 16);
    lbAfLevelB->setVisible(false);

    tbPTTonDelayA = MakeTrackBar(area, QStringLiteral("tbPTTonDelayA"), Qt::Horizontal, 150, 5);
    tbPTTonDelayA->setGeometry(404, 427, 83, 20);
    tbPTTonDelayA->setVisible(false);

    tbPTTonDelayB = MakeTrackBar(area, QStringLiteral("tbPTTonDelayB"), Qt::Horizontal, 150, 5);
    tbPTTonDelayB->setGeometry(404, 453, 83, 20);
    tbPTTonDelayB->setVisible(false);

    tbPTToffDelayA = MakeTrackBar(area, QStringLiteral("tbPTToffDelayA"), Qt::Horizontal, 150, 5);
    tbPTToffDelayA->setGeometry(404, 491, 83, 20);
    tbPTToffDelayA->setVisible(false);

    tbPTToffDelayB = MakeTrackBar(area, QStringLiteral("tbPTToffDelayB"), Qt::Horizontal, 150, 5);
    tbPTToffDelayB->setGeometry(404, 517, 83, 20);
    tbPTToffDelayB->setVisible(false);

    lbPTTonDelayA =
        MakeLabel(area, QStringLiteral("lbPTTonDelayA"), QStringLiteral("PTT On filter\rdelay="));
    MakeDiagramLabel(lbPTTonDelayA);
    lbPTTonDelayA->setGeometry(540, 465, 79, 26);
    lbPTTonDelayA->setVisible(false);

    lbPTTonDelayB =
        MakeLabel(area, QStringLiteral("lbPTTonDelayB"), QStringLiteral("PTT On filter\rdelay="));
    MakeDiagramLabel(lbPTTonDelayB);
    lbPTTonDelayB->setGeometry(540, 497, 79, 26);
    lbPTTonDelayB->setVisible(false);

    lbPTToffDelayA =
        MakeLabel(area, QStringLiteral("lbPTToffDelayA"), QStringLiteral("PTT Off hold\rdelay="));
    MakeDiagramLabel(lbPTToffDelayA);
    lbPTToffDelayA->setGeometry(540, 547, 79, 26);
    lbPTToffDelayA->setVisible(false);

    lbPTToffDelayB =
        MakeLabel(area, QStringLiteral("lbPTToffDelayB"), QStringLiteral("PTT Off hold\rdelay="));
    MakeDiagramLabel(lbPTToffDelayB);
    lbPTToffDelayB->setGeometry(540, 577, 79, 26);
    lbPTToffDelayB->setVisible(false);

    pbLoading = new QProgressBar(area);
    pbLoading->setObjectName(QStringLiteral("pbLoading"));
    pbLoading->setRange(5, 20);
    pbLoading->setValue(5);
    pbLoading->setGeometry(20, 613, 405, 17);
    pbLoading->setVisible(false);

    btRevert = new QPushButton(QStringLiteral("Revert changes in interface"), area);
    btRevert->setObjectName(QStringLiteral("btRevert"));
    btRevert->setGeometry(434, 619, 199, 25);

    btSaveChanges = new QPushButton(QStringLiteral("Store changes in interface"), area);
    btSaveChanges->setObjectName(QStringLiteral("btSaveChanges"));
    btSaveChanges->setGeometry(645, 619, 190, 25);

    btClose = new QPushButton(QStringLiteral("Close"), area);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setGeometry(856, 619, 84, 25);
}

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
