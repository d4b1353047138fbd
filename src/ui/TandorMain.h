// SPDX-License-Identifier: MIT
// TMerrowMainForm is both the main window and the controller of the whole program: it owns the
// parameter table, the connection state, the serial port, the preference store, the
// settings-file manager, the device notifier, every control, the four timers and the two file
// dialogs. Its methods are spread over files by the part of the program each serves, all in
// this folder; they call down into core, link, storage and ports:
//   FormSettingsTable.cpp   parameter table lookups
//   FormWire.cpp            commands, line framing, reply handlers
//   FormComState.cpp        the connection timer's tick, port events, port selection
//   FormStoreRevert.cpp     store and revert in the interface
//   FormPorts.cpp           port list and device notifications
//   FormLoadSave.cpp        settings files, last-settings recall
//   FormStartup.cpp         start-up and shut-down
//   TandorMain.cpp          window, controls, menu, timers, dialogs
//   FormControls.cpp        parameter handlers and setters
//   FormFirmware.cpp        firmware-dependent choices
//   diagram/FormDiagram.cpp the painted block diagram
#pragma once

#include "core/ComStates.h"
#include "core/FrameThrottle.h"
#include "core/SettingsTable.h"
#include "link/FieldSplitter.h"
#include "link/LineFramer.h"
#include "ui/UserSeam.h"

#include <QByteArray>
#include <QMainWindow>
#include <QString>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class TAboutBox;
class TClientArea;
class TComboBox;
class TComPort;
class TDeviceNotifier;
class TKVTRegistryStore;
struct TLoadingBarView;
class TSettingsFileMngr;
class TTrackBar;

class TMerrowMainForm : public QMainWindow
{
    Q_OBJECT
    friend class TClientArea;

public:
    // seam: where messages, questions, dialogs, beeps and the cursor go; the program's own
    // Qt seam when null. The window takes ownership.
    explicit TMerrowMainForm(TUserSeam *seam = nullptr, QWidget *parent = nullptr);
    ~TMerrowMainForm() override;

    TUserSeam &Seam() { return *fSeam; }
    void SetAboutBox(TAboutBox *box) { fAboutBox = box; }

    // ---- controls (objectName = the member's name) ------------------------------------
    TClientArea *ClientArea = nullptr; // the central widget: the client area of the window
    QLabel *Label1 = nullptr;
    TComboBox *ComComboBox1 = nullptr;
    QLabel *lbSerial = nullptr;
    QLabel *lbVersion = nullptr;
    QLabel *lbComIsOpen = nullptr;
    QLabel *lbIntfConnection = nullptr;
    TComboBox *cmb_RaAtype = nullptr;
    TComboBox *cmb_RaBtype = nullptr;
    TComboBox *cmb_Baud_A = nullptr;
    TComboBox *cmb_Baud_B = nullptr;
    TComboBox *cmb_ComType_A = nullptr;
    TComboBox *cmb_ComType_B = nullptr;
    QLabel *lbPeiA = nullptr;
    QLabel *lbPeiB = nullptr;
    TTrackBar *tbGainB = nullptr;
    TTrackBar *tbGainA = nullptr;
    QLabel *lbGainA = nullptr;
    QLabel *lbGainB = nullptr;
    TTrackBar *tbLevelDetGainA = nullptr;
    TTrackBar *tbLevelDetGainB = nullptr;
    QLabel *lbDetGainA = nullptr;
    QLabel *lbDetGainB = nullptr;
    TTrackBar *tbDetLevelA = nullptr;
    TTrackBar *tbDetLevelB = nullptr;
    QLabel *lbPreAmpA = nullptr;
    QLabel *lbPreAmpB = nullptr;
    QLabel *lbPttTrigA = nullptr;
    QLabel *lbPttTrigB = nullptr;
    QLabel *lbAfLevelA = nullptr;
    QLabel *lbAfLevelB = nullptr;
    TTrackBar *tbPTTonDelayA = nullptr;
    TTrackBar *tbPTTonDelayB = nullptr;
    TTrackBar *tbPTToffDelayA = nullptr;
    TTrackBar *tbPTToffDelayB = nullptr;
    QLabel *lbPTTonDelayA = nullptr;
    QLabel *lbPTTonDelayB = nullptr;
    QLabel *lbPTToffDelayA = nullptr;
    QLabel *lbPTToffDelayB = nullptr;
    QProgressBar *pbLoading = nullptr;
    QPushButton *btRevert = nullptr;
    QPushButton *btSaveChanges = nullptr;
    QPushButton *btClose = nullptr;

    // ---- menu -------------------------------------------------------------------------
    QMenu *mnFile = nullptr;
    QAction *mnLoad = nullptr;
    QAction *mnSave = nullptr;
    QAction *mnDivider1 = nullptr;
    QAction *mnExit = nullptr;
    QMenu *mnHelp = nullptr;
    QAction *mnAbout = nullptr;

    // ---- non-visual components --------------------------------------------------------
    TKVTRegistryStore *KVTRegistryStore = nullptr;
    TComPort *ComPort1 = nullptr;
    QTimer *tmComState = nullptr;
    QTimer *tmRefreshDetectSetting = nullptr;
    QTimer *tmSaveIndication = nullptr;
    QTimer *tmStartCheck = nullptr;
    TFileDialogConfig SaveDialog1;
    TFileDialogConfig OpenDialog1;

    // ---- controller state -------------------------------------------------------------
    std::unique_ptr<TDeviceNotifier> DeviceNotifier;
    std::unique_ptr<TSettingsFileMngr> SettingsFileManager;
    QString fUserDataFolder;
    // Where the documents folder should have been when it could not be made; empty otherwise.
    QString fDocumentsFolderWanted;
    // Loads under way, and a close that came during one and waits for its end.
    int fLoadsRunning = 0;
    bool fCloseAfterLoad = false;
    TSettingsData SettingsData;
    QString fLastFolder;
    int32_t fVersionMain = 0;
    int32_t fVersionMinor = 0;
    QString fComPort;
    QByteArray fComPort1InputBuffer;
    tComStates fComState = csNotOpened;
    int32_t fAudioLvlA = 0;
    int32_t fAudioLvlB = 0;
    bool fRXdetectedA = false;
    bool fRXdetectedB = false;
    bool fPTTActiveA = false;
    bool fPTTActiveB = false;
    bool fchangingDetLevelA = false;
    bool fchangingDetLevelB = false;
    bool fchangingLevelDetGainA = false;
    bool fchangingLevelDetGainB = false;
    bool fchangingPTTonDelayA = false;
    bool fchangingPTTonDelayB = false;
    bool fchangingPTToffDelayA = false;
    bool fchangingPTToffDelayB = false;
    int32_t fComDataTimeoutCnt = 0;

    // ---- parameter table (FormSettingsTable.cpp) ---------------------------------
    void InitSettingsTable();
    int FindSettingIndex(const QString &name);
    int32_t GetSettingValue(const QString &name);

    // ---- wire protocol (FormWire.cpp) --------------------------------------------
    void ComPort1RxChar(int Count);
    // One receive event whose bytes come from memory instead of ComPort1 (benchmarks, tests).
    void ReceiveBytes(QByteArrayView bytes);
    void HandleReply(const QByteArray &line);
    void StatusReceived(const QString &f1, const QString &f2, const QString &f3, const QString &f4,
                        const QString &f5, const QString &f6);
    void ParamReceived(const QString &f1, const QString &f2);
    void PeiStatusReceived(const QString &f1, const QString &f2);
    void ShowSerialNumber(const QString &f1);
    void VersionReceived(const QString &f1, const QString &f2);
    void RequestVersion();
    void RequestSerial();
    void StartStatusReports();
    void StopStatusReports();
    void RequestParam(int n);
    void SendParam(int n);
    void SendAllParams();
    void RevertInterface();
    void StoreInInterface();

    // ---- connection state machine and port selection (FormComState.cpp) ----------
    void tmComStateTimer();
    void ComPort1Open();
    void ComPort1Close();
    void ComPort1Error(int Errors);
    void ComPort1PErr();
    void OpenSavedPort();
    void SelectPort(const QString &name);
    void ComComboBox1DropDown();
    void ComComboBox1Change();
    // The output queue refused a command (ComPort1's OnOutputFull): tells the user once.
    void ComPort1OutputFull(const QString &message);

    // ---- store and revert (FormStoreRevert.cpp) ----------------------------------
    void btSaveChangesClick();
    void btRevertClick();
    void tmSaveIndicationTimer();

    // ---- port discovery (FormPorts.cpp) -----------------------------------------
    QStringList EnumerateComPorts();
    void RefreshPortList();
    void DeviceNotifierDeviceArrival(TDeviceNotifier *Sender, const QString &DeviceName);
    void DeviceNotifierDeviceRemoval(TDeviceNotifier *Sender, const QString &DeviceName);

    // ---- settings files (FormLoadSave.cpp) ------------------------------------
    void mnLoadClick();
    void mnSaveClick();
    void SaveSettingsFile(const QString &path);
    void LoadSettingsFile(const QString &path);
    void tmStartCheckTimer();
    QString LastSettingsPath() const;

    // ---- start-up and shut-down (FormStartup.cpp) ---------------------------------
    void FormCreate();
    void FormClose();
    void mnExitClick();
    void btCloseClick();

    // ---- parameter controls (FormControls.cpp) -------------------------------------
    void cmb_RaAtypeChange();
    void cmb_RaBtypeChange();
    void cmb_ComType_AChange();
    void cmb_ComType_BChange();
    void cmb_Baud_AChange();
    void cmb_Baud_BChange();
    void tbGainAChanging(int NewPos, bool &AllowChange);
    void tbGainAChange();
    void tbGainBChanging(int NewPos, bool &AllowChange);
    void tbGainBChange();
    void tbLevelDetGainAChanging(int NewPos, bool &AllowChange);
    void tbLevelDetGainAChange();
    void tbLevelDetGainBChanging(int NewPos, bool &AllowChange);
    void tbLevelDetGainBChange();
    void tbDetLevelAChanging(int NewPos, bool &AllowChange);
    void tbDetLevelAChange();
    void tbDetLevelBChanging(int NewPos, bool &AllowChange);
    void tbDetLevelBChange();
    void tbPTTonDelayAChanging(int NewPos, bool &AllowChange);
    void tbPTTonDelayAChange();
    void tbPTTonDelayBChanging(int NewPos, bool &AllowChange);
    void tbPTTonDelayBChange();
    void tbPTToffDelayAChanging(int NewPos, bool &AllowChange);
    void tbPTToffDelayAChange();
    void tbPTToffDelayBChanging(int NewPos, bool &AllowChange);
    void tbPTToffDelayBChange();
    void tmRefreshDetectSettingTimer();
    void SetRaAtype(int32_t val, int32_t Nr);
    void SetRaBtype(int32_t val, int32_t Nr);
    void SetGainA(int32_t val, int32_t Nr);
    void SetGainB(int32_t val, int32_t Nr);
    void SetLevelDetGainA(int32_t val, int32_t Nr);
    void SetLevelDetGainB(int32_t val, int32_t Nr);
    void SetDetLevelA(int32_t val, int32_t Nr);
    void SetDetLevelB(int32_t val, int32_t Nr);
    void SetPTTOnDelayA(int32_t val, int32_t Nr);
    void SetPTTOnDelayB(int32_t val, int32_t Nr);
    void SetPTTOffDelayA(int32_t val, int32_t Nr);
    void SetPTTOffDelayB(int32_t val, int32_t Nr);
    void SetComType_A(int32_t val, int32_t Nr);
    void SetComType_B(int32_t val, int32_t Nr);
    void SetBaud_A(int32_t val, int32_t Nr);
    void SetBaud_B(int32_t val, int32_t Nr);
    // What the named handlers and setters above forward to, driven by the table of the
    // sixteen parameters (FormControls.cpp): the parameter's index picks its row.
    void ListChange(int index);
    void SliderChanging(int index, int NewPos);
    void SliderChange(int index);
    void SetParameter(int index, int32_t val, int32_t Nr);

    // ---- firmware-dependent choices (FormFirmware.cpp) -----------------------------
    void ApplyFirmwareVersion(int32_t major, int32_t minor);
    void ShowFirmwareVersion(int32_t major, int32_t minor);

    // ---- diagram (diagram/FormDiagram.cpp) -----------------------------------------
    void FormPaint();
    void FormResize();
    void PaintDiagram();
    // Paints before returning what the live indicators (meters, receive and PTT indicators)
    // changed since the last paint, and nothing else; all of it if the layout changed.
    void RepaintLiveIndicators();
    // Whether the picture and the controls over it already show the window's state, so that
    // a repaint of the live indicators would change nothing.
    bool LiveIndicatorsShown();
    // s: the screen's logical dots per inch / 96.
    double ScreenScale() const;
    // Fixes s whatever the screen (tests and the paint benchmark lay out and paint at 144 dpi
    // on any screen); 0 follows the screen again. Repaints.
    void SetScreenScale(double s);

    // ---- window (TandorMain.cpp) ---------------------------------------------------
    void mnAboutClick();
    // The time the receive path's paint throttle reads: a steady clock, or one a test drives.
    using TClock = std::function<std::chrono::milliseconds()>;
    void SetClock(TClock clock);
    // Paints the window before returning (the diagram follows the state at once).
    void RepaintNow();
    // Marks the window for painting by the message loop.
    void RequestRepaint();
    // Sets the size of the client area (the diagram does so on every paint); the window
    // follows it and stays fixed-size, so the user still cannot drag-resize it.
    void SetClientSize(int w, int h);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateControls();
    void CreateMenu();
    void CreateComponents();
    void BindEvents();

    // s as fixed by SetScreenScale, 0 while it follows the screen (diagram/FormDiagram.cpp).
    double fScreenScale = 0.0;

    std::unique_ptr<TUserSeam> fSeam;
    TClock fClock;
    TAboutBox *fAboutBox = nullptr;

    // Line framing state of the receive path (FormWire.cpp).
    TLineFramer fFramer;
    // Set by a reply that wants the window repainted at once; the receive event paints once
    // after its last reply.
    bool fRepaintPending = false;
    bool fInRxEvent = false;
    // Reused from reply to reply, so the receive path allocates nothing per line.
    TWireFields fReplyFields;
    // An error while handling received bytes is shown after the receive event has returned;
    // while one is waiting to be shown or on screen, further ones belong to the same burst.
    bool fRxErrorReportBusy = false;
    // Receive events paint at most once per frame interval; the paint of one that comes
    // sooner waits for the interval's end in the timer.
    static constexpr std::chrono::milliseconds kRxFrameInterval{40};
    TFrameThrottle fRxPaintThrottle{kRxFrameInterval};
    QTimer *fRxPaintTimer = nullptr;
    template <class ReadByte> bool RunReceiveEvent(int count, ReadByte &&readByte);
    void RepaintForReplies();
    void RxPaintTimerTimer();
    void RepaintAfterReply();
    void ReportRxError(const QString &className, const QString &message);

    // The position in the first full parameter cycle after a connection or a revert, as the
    // loading bar shows it (see link/ConnectionStep.h).
    int fLoadingParam = -1;
    void ShowLoadingBar(const TLoadingBarView &view);
    void UpdateLoadingBar();
};
