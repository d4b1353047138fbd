// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

#include "core/FirmwareRules.h"
#include "core/ValueMappings.h"
#include "link/ComPort.h"
#include "link/ConnectionStep.h"
#include "ports/DeviceNotifier.h"
#include "storage/KVTRegStore.h"
#include "storage/Preferences.h"
#include "storage/SettingsFileMngr.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TandorAboutForm.h"
#include "ui/TrackBar.h"
#include "ui/diagram/DiagramPainter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <chrono>

using namespace std::chrono_literals;

namespace {

const char *const kBaudItems[] = {"4800", "9600", "19200", "38400", "57600", "115200", "Invalid"};

constexpr QSize kDesignedClientSize(960, 650);

constexpr auto kComStateInterval = 150ms;
constexpr auto kRefreshDetectSettingInterval = 100ms;
constexpr auto kStartCheckInterval = 2000ms;
constexpr auto kSaveIndicationInterval = 1000ms;

// Both file dialogs show "Tandor config files [*.tconf]" and list *.tconf files; Qt reads
// the pattern from the parentheses and the seam hides that part.
const char *const kSettingsFileFilter = "Tandor config files [*.tconf] (*.tconf)";

// Labels are top-aligned: the design's heights are one or more text lines.
TLabel *MakeLabel(QWidget *parent, const QString &name, const QString &text, Qt::Alignment align,
                  bool autoSize)
{
    auto *label = new TLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(align | Qt::AlignTop);
    label->SetAutoSize(autoSize);
    return label;
}

// Labels on the diagram draw no background, so the painted diagram shows through them. Their
// stored background is the interface block's light yellow; it is never seen.
void MakeDiagramLabel(QLabel *label)
{
    label->setAutoFillBackground(false);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, DiagramColors::LightYellow);
    label->setPalette(palette);
}

TComboBox *MakeCombo(QWidget *parent, const QString &name, bool editable)
{
    auto *combo = new TComboBox(editable, parent);
    combo->setObjectName(name);
    return combo;
}

// The sliders merge with the interface block: flat, light yellow, a grey-framed track 7 px
// thick that stops 5 px short of each end of the control (the diagram lines the vertical
// sliders up with the level meter by that inset), the thumb in the highlight colour.
QString TrackBarStyle(Qt::Orientation orientation)
{
    const QString fill = DiagramColors::LightYellow.name();
    if (orientation == Qt::Horizontal)
        return QStringLiteral("QSlider { background: %1; border: none; }"
                              "QSlider::groove:horizontal { border: 1px solid rgb(128, 128, 128);"
                              " background: %1; height: 5px; margin: 0px 5px; }"
                              "QSlider::handle:horizontal { background: palette(highlight);"
                              " border: 1px solid palette(dark); width: 9px; margin: -6px 0px; }")
            .arg(fill);
    return QStringLiteral("QSlider { background: %1; border: none; }"
                          "QSlider::groove:vertical { border: 1px solid rgb(128, 128, 128);"
                          " background: %1; width: 5px; margin: 5px 0px; }"
                          "QSlider::handle:vertical { background: palette(highlight);"
                          " border: 1px solid palette(dark); height: 9px; margin: 0px -6px; }")
        .arg(fill);
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
    if (orientation == Qt::Vertical) {
        // Position 0 is at the top, as the level meter beside it counts: Up and Page Up
        // move the thumb up, towards 0.
        bar->setInvertedAppearance(true);
        bar->setInvertedControls(true);
    }
    bar->setStyleSheet(TrackBarStyle(orientation));
    return bar;
}

QTimer *MakeTimer(QObject *parent, const QString &name, std::chrono::milliseconds interval)
{
    auto *timer = new QTimer(parent);
    timer->setObjectName(name);
    timer->setInterval(interval);
    return timer;
}

} // namespace

TMerrowMainForm::TMerrowMainForm(TUserSeam *seam, QWidget *parent)
    : QMainWindow(parent), fSeam(seam ? seam : new TQtUserSeam)
{
    SetClock(nullptr);
    setObjectName(QStringLiteral("MerrowMainForm"));
    setWindowTitle(QStringLiteral("Tandor Configuration"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    ClientArea = new TClientArea(this);
    setCentralWidget(ClientArea);
    ClientArea->setFixedSize(kDesignedClientSize);
    // The window is as large as its menu bar and client area, and the user cannot resize it.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    CreateControls();
    CreateMenu();
    CreateComponents();
    BindEvents();
    // The timers are counting already; their ticks are handled only once the message loop
    // runs, so FormCreate has always finished before the first one.
    FormCreate();
}

TMerrowMainForm::~TMerrowMainForm() = default;

void TMerrowMainForm::CreateControls()
{
    QWidget *area = ClientArea;
    // A label that is not of fixed size takes the size of its text (see TLabel).
    const auto label = [area](QLabel *&field, const char *name, const QString &text,
                              const QRect &rect, Qt::Alignment align, bool autoSize) {
        TLabel *made = MakeLabel(area, QString::fromLatin1(name), text, align, autoSize);
        made->setGeometry(rect);
        field = made;
    };
    // A label lying on the diagram, hidden at start unless `visible`.
    const auto diagramLabel = [&label](QLabel *&field, const char *name, const QString &text,
                                       const QRect &rect, Qt::Alignment align, bool autoSize,
                                       bool wordWrap, bool visible) {
        label(field, name, text, rect, align, autoSize);
        MakeDiagramLabel(field);
        field->setWordWrap(wordWrap);
        field->setVisible(visible);
    };

    label(Label1, "Label1", QStringLiteral("Port used for connection to Tandor Interface:"),
          QRect(76, 11, 214, 13), Qt::AlignRight, true);

    ComComboBox1 = MakeCombo(area, QStringLiteral("ComComboBox1"), false);
    ComComboBox1->SetSorted(true);
    ComComboBox1->setGeometry(296, 7, 356, 21);

    label(lbSerial, "lbSerial", QStringLiteral("      "), QRect(662, 11, 18, 13), Qt::AlignLeft,
          true);
    label(lbVersion, "lbVersion", QStringLiteral("      "), QRect(766, 11, 18, 13), Qt::AlignLeft,
          true);
    label(lbComIsOpen, "lbComIsOpen", Connection::PortClosedText(), QRect(386, 32, 156, 13),
          Qt::AlignHCenter, false);
    label(lbIntfConnection, "lbIntfConnection", Connection::NotConnectedText(),
          QRect(386, 46, 156, 13), Qt::AlignHCenter, false);

    const auto radioTypes = [area](TComboBox *&field, const char *name, const QRect &rect) {
        field = MakeCombo(area, QString::fromLatin1(name), false);
        for (const QString &item : Firmware::RadioTypeNames())
            field->AddItem(item);
        field->SetItemIndex(-1);
        field->setGeometry(rect);
    };
    radioTypes(cmb_RaAtype, "cmb_RaAtype", QRect(25, 57, 261, 21));
    radioTypes(cmb_RaBtype, "cmb_RaBtype", QRect(680, 57, 260, 21));

    // The baud-rate and com-type selectors show a prompt until a value is chosen.
    const auto promptCombo = [area](TComboBox *&field, const char *name, const QStringList &items,
                                    const QString &prompt, const QRect &rect) {
        field = MakeCombo(area, QString::fromLatin1(name), true);
        for (const QString &item : items)
            field->AddItem(item);
        field->SetItemIndex(-1);
        field->setEditText(prompt);
        field->SetFlat(true);
        field->setGeometry(rect);
        field->setVisible(false);
    };
    QStringList baudItems;
    for (const char *item : kBaudItems)
        baudItems << QString::fromLatin1(item);
    const QStringList comTypeItems{QStringLiteral("TTL 3V"), QStringLiteral("RS232")};
    const QString baudPrompt = QStringLiteral("Select Baudrate");
    const QString comTypePrompt = QStringLiteral("Select Com-type");
    promptCombo(cmb_Baud_A, "cmb_Baud_A", baudItems, baudPrompt, QRect(116, 115, 105, 21));
    promptCombo(cmb_Baud_B, "cmb_Baud_B", baudItems, baudPrompt, QRect(612, 115, 105, 21));
    promptCombo(cmb_ComType_A, "cmb_ComType_A", comTypeItems, comTypePrompt,
                QRect(116, 155, 105, 21));
    promptCombo(cmb_ComType_B, "cmb_ComType_B", comTypeItems, comTypePrompt,
                QRect(612, 155, 105, 21));

    const QString peiText = PeiStateText(QStringLiteral("1")); // until a PEI report comes
    diagramLabel(lbPeiA, "lbPeiA", peiText, QRect(25, 84, 110, 13), Qt::AlignLeft, true, false,
                 false);
    diagramLabel(lbPeiB, "lbPeiB", peiText, QRect(680, 84, 110, 13), Qt::AlignLeft, true, false,
                 false);

    const auto trackBar = [area](TTrackBar *&field, const char *name, Qt::Orientation orientation,
                                 int maximum, int page, const QRect &rect, bool visible) {
        field = MakeTrackBar(area, QString::fromLatin1(name), orientation, maximum, page);
        field->setGeometry(rect);
        field->setVisible(visible);
    };
    trackBar(tbGainB, "tbGainB", Qt::Horizontal, 20, 5, QRect(305, 243, 212, 20), true);
    trackBar(tbGainA, "tbGainA", Qt::Horizontal, 20, 5, QRect(305, 217, 212, 20), true);

    const QString gainText = QStringLiteral("Gain=");
    diagramLabel(lbGainA, "lbGainA", gainText, QRect(499, 134, 29, 13), Qt::AlignLeft, true, false,
                 true);
    diagramLabel(lbGainB, "lbGainB", gainText, QRect(499, 156, 29, 13), Qt::AlignLeft, true, false,
                 true);

    trackBar(tbLevelDetGainA, "tbLevelDetGainA", Qt::Horizontal, 255, 5, QRect(404, 323, 116, 20),
             false);
    trackBar(tbLevelDetGainB, "tbLevelDetGainB", Qt::Horizontal, 255, 5, QRect(404, 363, 116, 20),
             false);
    diagramLabel(lbDetGainA, "lbDetGainA", gainText, QRect(563, 221, 29, 13), Qt::AlignLeft, true,
                 false, false);
    diagramLabel(lbDetGainB, "lbDetGainB", gainText, QRect(563, 243, 29, 13), Qt::AlignLeft, true,
                 false, false);

    trackBar(tbDetLevelA, "tbDetLevelA", Qt::Vertical, 1024, 2, QRect(540, 379, 20, 80), false);
    tbDetLevelA->SetPosition(255);
    trackBar(tbDetLevelB, "tbDetLevelB", Qt::Vertical, 1024, 2, QRect(588, 379, 20, 80), false);
    tbDetLevelB->SetPosition(255);

    const QString preAmpText = QStringLiteral("RX detect Pre-amp");
    const QString pttTrigText = QStringLiteral("PTT trig level");
    const QString afLevelText = QStringLiteral("AF level");
    diagramLabel(lbPreAmpA, "lbPreAmpA", preAmpText, QRect(643, 291, 62, 30), Qt::AlignHCenter,
                 false, true, false);
    diagramLabel(lbPreAmpB, "lbPreAmpB", preAmpText, QRect(643, 327, 62, 30), Qt::AlignHCenter,
                 false, true, false);
    diagramLabel(lbPttTrigA, "lbPttTrigA", pttTrigText, QRect(643, 379, 27, 50), Qt::AlignHCenter,
                 false, true, false);
    diagramLabel(lbPttTrigB, "lbPttTrigB", pttTrigText, QRect(643, 435, 27, 50), Qt::AlignHCenter,
                 false, true, false);
    diagramLabel(lbAfLevelA, "lbAfLevelA", afLevelText, QRect(643, 243, 51, 16), Qt::AlignHCenter,
                 false, true, false);
    diagramLabel(lbAfLevelB, "lbAfLevelB", afLevelText, QRect(643, 259, 51, 16), Qt::AlignHCenter,
                 false, true, false);

    trackBar(tbPTTonDelayA, "tbPTTonDelayA", Qt::Horizontal, 150, 5, QRect(404, 427, 83, 20),
             false);
    trackBar(tbPTTonDelayB, "tbPTTonDelayB", Qt::Horizontal, 150, 5, QRect(404, 453, 83, 20),
             false);
    trackBar(tbPTToffDelayA, "tbPTToffDelayA", Qt::Horizontal, 150, 5, QRect(404, 491, 83, 20),
             false);
    trackBar(tbPTToffDelayB, "tbPTToffDelayB", Qt::Horizontal, 150, 5, QRect(404, 517, 83, 20),
             false);

    // Two lines: the carriage return is the line break, as the delay handlers write it.
    const QString onDelayText = QStringLiteral("PTT On filter\rdelay=");
    const QString offDelayText = QStringLiteral("PTT Off hold\rdelay=");
    diagramLabel(lbPTTonDelayA, "lbPTTonDelayA", onDelayText, QRect(540, 465, 79, 26),
                 Qt::AlignLeft, false, false, false);
    diagramLabel(lbPTTonDelayB, "lbPTTonDelayB", onDelayText, QRect(540, 497, 79, 26),
                 Qt::AlignLeft, false, false, false);
    diagramLabel(lbPTToffDelayA, "lbPTToffDelayA", offDelayText, QRect(540, 547, 79, 26),
                 Qt::AlignLeft, false, false, false);
    diagramLabel(lbPTToffDelayB, "lbPTToffDelayB", offDelayText, QRect(540, 577, 79, 26),
                 Qt::AlignLeft, false, false, false);

    pbLoading = new QProgressBar(area);
    pbLoading->setObjectName(QStringLiteral("pbLoading"));
    pbLoading->setRange(5, 20);
    pbLoading->setValue(5);
    pbLoading->setTextVisible(false);
    pbLoading->setGeometry(20, 613, 405, 17);
    pbLoading->setVisible(false);
    // It stays 20 px above the bottom edge when the diagram sets the client height.
    ClientArea->AnchorToBottom(pbLoading);

    const auto button = [area](QPushButton *&field, const char *name, const QString &text,
                               const QRect &rect) {
        field = new QPushButton(text, area);
        field->setObjectName(QString::fromLatin1(name));
        field->setGeometry(rect);
    };
    button(btRevert, "btRevert", QStringLiteral("Revert changes in interface"),
           QRect(434, 619, 199, 25));
    button(btSaveChanges, "btSaveChanges", QStringLiteral("Store changes in interface"),
           QRect(645, 619, 190, 25));
    button(btClose, "btClose", QStringLiteral("Close"), QRect(856, 619, 84, 25));

    // Keyboard order of the design; the labels take no focus.
    QWidget *const tabOrder[] = {
        ComComboBox1,    cmb_RaAtype,   cmb_RaBtype,   cmb_Baud_A,     cmb_Baud_B,
        cmb_ComType_A,   cmb_ComType_B, tbGainB,       tbGainA,        tbLevelDetGainA,
        tbLevelDetGainB, btClose,       btSaveChanges, btRevert,       tbDetLevelA,
        tbDetLevelB,     tbPTTonDelayA, tbPTTonDelayB, tbPTToffDelayA, tbPTToffDelayB,
        pbLoading,
    };
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

void TMerrowMainForm::CreateMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    // The menu keeps the desktop's menu font; the window's own font is for the client area.
    bar->setFont(QApplication::font(bar));

    mnFile = bar->addMenu(QStringLiteral("File"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    mnLoad = mnFile->addAction(QStringLiteral("Load from file..."));
    mnLoad->setObjectName(QStringLiteral("mnLoad"));
    mnSave = mnFile->addAction(QStringLiteral("Save to file ..."));
    mnSave->setObjectName(QStringLiteral("mnSave"));
    mnDivider1 = mnFile->addSeparator();
    mnDivider1->setObjectName(QStringLiteral("mnDivider1"));
    mnExit = mnFile->addAction(QStringLiteral("Exit"));
    mnExit->setObjectName(QStringLiteral("mnExit"));

    mnHelp = bar->addMenu(QStringLiteral("Help"));
    mnHelp->setObjectName(QStringLiteral("mnHelp"));
    mnAbout = mnHelp->addAction(QStringLiteral("About..."));
    mnAbout->setObjectName(QStringLiteral("mnAbout"));
}

void TMerrowMainForm::CreateComponents()
{
    KVTRegistryStore = new TKVTRegistryStore(this);
    KVTRegistryStore->setObjectName(QStringLiteral("KVTRegistryStore"));
    KVTRegistryStore->SetKeyName(TPreferences::KeyName());
    KVTRegistryStore->SetRegistryRoot(rrCurrentUser);
    KVTRegistryStore->SetReadOnlyRights(false);

    // Closed until the connection timer opens the chosen port.
    ComPort1 = new TComPort(this);
    ComPort1->setObjectName(QStringLiteral("ComPort1"));

    // The timers start counting as the window is built.
    tmComState = MakeTimer(this, QStringLiteral("tmComState"), kComStateInterval);
    tmRefreshDetectSetting =
        MakeTimer(this, QStringLiteral("tmRefreshDetectSetting"), kRefreshDetectSettingInterval);
    tmSaveIndication = MakeTimer(this, QStringLiteral("tmSaveIndication"), kSaveIndicationInterval);
    tmStartCheck = MakeTimer(this, QStringLiteral("tmStartCheck"), kStartCheckInterval);
    // The start check fires once per run; its handler stops it as well.
    tmStartCheck->setSingleShot(true);
    // The receive path's paint held back to the end of a frame interval (link/FormWire.cpp).
    fRxPaintTimer = MakeTimer(this, QStringLiteral("RxPaintTimer"), kRxFrameInterval);
    fRxPaintTimer->setSingleShot(true);
    fRxPaintTimer->setTimerType(Qt::PreciseTimer);
    tmComState->start();
    tmRefreshDetectSetting->start();
    tmStartCheck->start();

    for (TFileDialogConfig *dialog : {&SaveDialog1, &OpenDialog1}) {
        dialog->filter = QString::fromLatin1(kSettingsFileFilter);
        dialog->defaultSuffix = QStringLiteral("tconf");
        dialog->resizable = true;
    }
    SaveDialog1.confirmOverwrite = true;
    SaveDialog1.fileMustExist = false;
    OpenDialog1.fileMustExist = true;
    OpenDialog1.confirmOverwrite = false;
}

void TMerrowMainForm::BindEvents()
{
    ComComboBox1->OnDropDown = [this](TComboBox *) {
        ComComboBox1DropDown();
    };
    ComComboBox1->OnChange = [this](TComboBox *) {
        ComComboBox1Change();
    };
    cmb_RaAtype->OnChange = [this](TComboBox *) {
        cmb_RaAtypeChange();
    };
    cmb_RaBtype->OnChange = [this](TComboBox *) {
        cmb_RaBtypeChange();
    };
    cmb_Baud_A->OnChange = [this](TComboBox *) {
        cmb_Baud_AChange();
    };
    cmb_Baud_B->OnChange = [this](TComboBox *) {
        cmb_Baud_BChange();
    };
    cmb_ComType_A->OnChange = [this](TComboBox *) {
        cmb_ComType_AChange();
    };
    cmb_ComType_B->OnChange = [this](TComboBox *) {
        cmb_ComType_BChange();
    };

    using Changing = void (TMerrowMainForm::*)(int, bool &);
    using Change = void (TMerrowMainForm::*)();
    const auto bindTrackBar = [this](TTrackBar *bar, Changing changing, Change change) {
        bar->OnChanging = [this, changing](TTrackBar *, int newPos, bool &allowChange) {
            (this->*changing)(newPos, allowChange);
        };
        bar->OnChange = [this, change](TTrackBar *) {
            (this->*change)();
        };
    };
    bindTrackBar(tbGainA, &TMerrowMainForm::tbGainAChanging, &TMerrowMainForm::tbGainAChange);
    bindTrackBar(tbGainB, &TMerrowMainForm::tbGainBChanging, &TMerrowMainForm::tbGainBChange);
    bindTrackBar(tbLevelDetGainA, &TMerrowMainForm::tbLevelDetGainAChanging,
                 &TMerrowMainForm::tbLevelDetGainAChange);
    bindTrackBar(tbLevelDetGainB, &TMerrowMainForm::tbLevelDetGainBChanging,
                 &TMerrowMainForm::tbLevelDetGainBChange);
    bindTrackBar(tbDetLevelA, &TMerrowMainForm::tbDetLevelAChanging,
                 &TMerrowMainForm::tbDetLevelAChange);
    bindTrackBar(tbDetLevelB, &TMerrowMainForm::tbDetLevelBChanging,
                 &TMerrowMainForm::tbDetLevelBChange);
    bindTrackBar(tbPTTonDelayA, &TMerrowMainForm::tbPTTonDelayAChanging,
                 &TMerrowMainForm::tbPTTonDelayAChange);
    bindTrackBar(tbPTTonDelayB, &TMerrowMainForm::tbPTTonDelayBChanging,
                 &TMerrowMainForm::tbPTTonDelayBChange);
    bindTrackBar(tbPTToffDelayA, &TMerrowMainForm::tbPTToffDelayAChanging,
                 &TMerrowMainForm::tbPTToffDelayAChange);
    bindTrackBar(tbPTToffDelayB, &TMerrowMainForm::tbPTToffDelayBChanging,
                 &TMerrowMainForm::tbPTToffDelayBChange);

    connect(btClose, &QPushButton::clicked, this, [this] { btCloseClick(); });
    connect(btSaveChanges, &QPushButton::clicked, this, [this] { btSaveChangesClick(); });
    connect(btRevert, &QPushButton::clicked, this, [this] { btRevertClick(); });

    connect(mnLoad, &QAction::triggered, this, [this] { mnLoadClick(); });
    connect(mnSave, &QAction::triggered, this, [this] { mnSaveClick(); });
    connect(mnExit, &QAction::triggered, this, [this] { mnExitClick(); });
    connect(mnAbout, &QAction::triggered, this, [this] { mnAboutClick(); });

    connect(tmComState, &QTimer::timeout, this, &TMerrowMainForm::tmComStateTimer);
    connect(tmRefreshDetectSetting, &QTimer::timeout, this,
            &TMerrowMainForm::tmRefreshDetectSettingTimer);
    connect(tmSaveIndication, &QTimer::timeout, this, &TMerrowMainForm::tmSaveIndicationTimer);
    connect(tmStartCheck, &QTimer::timeout, this, &TMerrowMainForm::tmStartCheckTimer);
    connect(fRxPaintTimer, &QTimer::timeout, this, &TMerrowMainForm::RxPaintTimerTimer);

    ComPort1->OnOpen = [this] {
        ComPort1Open();
    };
    ComPort1->OnClose = [this] {
        ComPort1Close();
    };
    ComPort1->OnError = [this](int errors) {
        ComPort1Error(errors);
    };
    ComPort1->OnPErr = [this] {
        ComPort1PErr();
    };
    ComPort1->OnRxChar = [this](int count) {
        ComPort1RxChar(count);
    };
    ComPort1->OnOutputFull = [this](const QString &message) {
        ComPort1OutputFull(message);
    };
}

void TMerrowMainForm::mnAboutClick()
{
    if (!fAboutBox)
        return;
    // Not modal: the main window goes on working while the box is open. Showing a box that
    // is open already only brings it to the front.
    fAboutBox->show();
    fAboutBox->raise();
    fAboutBox->activateWindow();
}

void TMerrowMainForm::SetClock(TClock clock)
{
    if (!clock) {
        clock = [] {
            return std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
        };
    }
    fClock = std::move(clock);
}

void TMerrowMainForm::RepaintNow()
{
    // A request that comes from the diagram's own paint (its client-size change raises a
    // resize) cannot paint again inside that paint: it is queued instead.
    if (ClientArea->IsPainting())
        ClientArea->update();
    else
        ClientArea->repaint();
}

void TMerrowMainForm::RequestRepaint()
{
    ClientArea->update();
}

void TMerrowMainForm::SetClientSize(int w, int h)
{
    if (ClientArea->minimumSize() == QSize(w, h) && ClientArea->maximumSize() == QSize(w, h))
        return;
    ClientArea->SetClientSize(w, h);
    // A shown window follows through its posted layout request (never from inside a paint);
    // a hidden one is sized at once, so that its size is right before it is shown.
    if (!isVisible())
        layout()->activate();
}

void TMerrowMainForm::closeEvent(QCloseEvent *event)
{
    // Qt sends no second close event while this one runs, so a click on Close during the
    // pauses of FormClose does not run the shut-down again.
    FormClose();
    event->accept();
}
