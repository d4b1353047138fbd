// SPDX-License-Identifier: MIT
// The main window as built: every control with its place, text and state, the keyboard order,
// the menu, the timers, the file dialogs, and how the window follows the client size.
#include "link/ComPort.h"
#include "support/RecordingSeam.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/DesignedFonts.h"
#include "ui/TandorMain.h"
#include "ui/TrackBar.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

using namespace std::chrono_literals;

namespace {

class MainWindow : public ::testing::Test
{
protected:
    void SetUp() override { form = std::make_unique<TMerrowMainForm>(seam = new TRecordingSeam); }

    // A text that says what the user sees in the control.
    static QString Shown(QWidget *w)
    {
        if (auto *label = qobject_cast<QLabel *>(w))
            return label->text();
        if (auto *button = qobject_cast<QPushButton *>(w))
            return button->text();
        if (auto *combo = qobject_cast<QComboBox *>(w))
            return combo->currentText();
        return QString();
    }

    TRecordingSeam *seam = nullptr; // owned by the form
    std::unique_ptr<TMerrowMainForm> form;
};

QStringList Items(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

TEST_F(MainWindow, EveryControlStartsWithItsDesignedPlaceTextAndVisibility)
{
    TMerrowMainForm &f = *form;
    struct Row
    {
        QWidget *member;
        const char *name;
        const char *kind;
        QRect rect;
        std::optional<QString> text;
        bool visible;
    };
    const QString six = QStringLiteral("      ");
    const QString gain = QStringLiteral("Gain=");
    const QString none;
    const Row rows[] = {
        {f.Label1,
         "Label1",
         "TLabel",
         {76, 11, 214, 13},
         QStringLiteral("Port used for connection to Tandor Interface:"),
         true},
        {f.ComComboBox1, "ComComboBox1", "TComboBox", {296, 7, 356, 21}, none, true},
        {f.lbSerial, "lbSerial", "TLabel", {662, 11, 18, 13}, six, true},
        // FormCreate shows the firmware version in force at once.
        {f.lbVersion, "lbVersion", "TLabel", {766, 11, 18, 13}, std::nullopt, true},
        {f.lbComIsOpen,
         "lbComIsOpen",
         "TLabel",
         {386, 32, 156, 13},
         QStringLiteral("COM-port is closed"),
         true},
        {f.lbIntfConnection,
         "lbIntfConnection",
         "TLabel",
         {386, 46, 156, 13},
         QStringLiteral("Not Connected to interface"),
         true},
        {f.cmb_RaAtype, "cmb_RaAtype", "TComboBox", {25, 57, 261, 21}, none, true},
        {f.cmb_RaBtype, "cmb_RaBtype", "TComboBox", {680, 57, 260, 21}, none, true},
        {f.cmb_Baud_A,
         "cmb_Baud_A",
         "TComboBox",
         {116, 115, 105, 21},
         QStringLiteral("Select Baudrate"),
         false},
        {f.cmb_Baud_B,
         "cmb_Baud_B",
         "TComboBox",
         {612, 115, 105, 21},
         QStringLiteral("Select Baudrate"),
         false},
        {f.cmb_ComType_A,
         "cmb_ComType_A",
         "TComboBox",
         {116, 155, 105, 21},
         QStringLiteral("Select Com-type"),
         false},
        {f.cmb_ComType_B,
         "cmb_ComType_B",
         "TComboBox",
         {612, 155, 105, 21},
         QStringLiteral("Select Com-type"),
         false},
        {f.lbPeiA,
         "lbPeiA",
         "TLabel",
         {25, 84, 110, 13},
         QStringLiteral("PEI link not established"),
         false},
        {f.lbPeiB,
         "lbPeiB",
         "TLabel",
         {680, 84, 110, 13},
         QStringLiteral("PEI link not established"),
         false},
        {f.tbGainB, "tbGainB", "TTrackBar", {305, 243, 212, 20}, none, true},
        {f.tbGainA, "tbGainA", "TTrackBar", {305, 217, 212, 20}, none, true},
        {f.lbGainA, "lbGainA", "TLabel", {499, 134, 29, 13}, gain, true},
        {f.lbGainB, "lbGainB", "TLabel", {499, 156, 29, 13}, gain, true},
        {f.tbLevelDetGainA, "tbLevelDetGainA", "TTrackBar", {404, 323, 116, 20}, none, false},
        {f.tbLevelDetGainB, "tbLevelDetGainB", "TTrackBar", {404, 363, 116, 20}, none, false},
        {f.lbDetGainA, "lbDetGainA", "TLabel", {563, 221, 29, 13}, gain, false},
        {f.lbDetGainB, "lbDetGainB", "TLabel", {563, 243, 29, 13}, gain, false},
        {f.tbDetLevelA, "tbDetLevelA", "TTrackBar", {540, 379, 20, 80}, none, false},
        {f.tbDetLevelB, "tbDetLevelB", "TTrackBar", {588, 379, 20, 80}, none, false},
        {f.lbPreAmpA,
         "lbPreAmpA",
         "TLabel",
         {643, 291, 62, 30},
         QStringLiteral("RX detect Pre-amp"),
         false},
        {f.lbPreAmpB,
         "lbPreAmpB",
         "TLabel",
         {643, 327, 62, 30},
         QStringLiteral("RX detect Pre-amp"),
         false},
        {f.lbPttTrigA,
         "lbPttTrigA",
         "TLabel",
         {643, 379, 27, 50},
         QStringLiteral("PTT trig level"),
         false},
        {f.lbPttTrigB,
         "lbPttTrigB",
         "TLabel",
         {643, 435, 27, 50},
         QStringLiteral("PTT trig level"),
         false},
        {f.lbAfLevelA,
         "lbAfLevelA",
         "TLabel",
         {643, 243, 51, 16},
         QStringLiteral("AF level"),
         false},
        {f.lbAfLevelB,
         "lbAfLevelB",
         "TLabel",
         {643, 259, 51, 16},
         QStringLiteral("AF level"),
         false},
        {f.tbPTTonDelayA, "tbPTTonDelayA", "TTrackBar", {404, 427, 83, 20}, none, false},
        {f.tbPTTonDelayB, "tbPTTonDelayB", "TTrackBar", {404, 453, 83, 20}, none, false},
        {f.tbPTToffDelayA, "tbPTToffDelayA", "TTrackBar", {404, 491, 83, 20}, none, false},
        {f.tbPTToffDelayB, "tbPTToffDelayB", "TTrackBar", {404, 517, 83, 20}, none, false},
        {f.lbPTTonDelayA,
         "lbPTTonDelayA",
         "TLabel",
         {540, 465, 79, 26},
         QStringLiteral("PTT On filter\rdelay="),
         false},
        {f.lbPTTonDelayB,
         "lbPTTonDelayB",
         "TLabel",
         {540, 497, 79, 26},
         QStringLiteral("PTT On filter\rdelay="),
         false},
        {f.lbPTToffDelayA,
         "lbPTToffDelayA",
         "TLabel",
         {540, 547, 79, 26},
         QStringLiteral("PTT Off hold\rdelay="),
         false},
        {f.lbPTToffDelayB,
         "lbPTToffDelayB",
         "TLabel",
         {540, 577, 79, 26},
         QStringLiteral("PTT Off hold\rdelay="),
         false},
        {f.pbLoading, "pbLoading", "QProgressBar", {20, 613, 405, 17}, none, false},
        {f.btRevert,
         "btRevert",
         "QPushButton",
         {434, 619, 199, 25},
         QStringLiteral("Revert changes in interface"),
         true},
        {f.btSaveChanges,
         "btSaveChanges",
         "QPushButton",
         {645, 619, 190, 25},
         QStringLiteral("Store changes in interface"),
         true},
        {f.btClose, "btClose", "QPushButton", {856, 619, 84, 25}, QStringLiteral("Close"), true},
    };

    EXPECT_EQ(f.windowTitle(), QStringLiteral("Tandor Configuration"));
    EXPECT_EQ(f.centralWidget(), f.ClientArea);
    EXPECT_EQ(f.ClientArea->size(), QSize(960, 650));
    EXPECT_EQ(f.font().family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(f.font().pointSize(), 8);

    // Every child of the client area is in the table: nothing is missing or extra.
    EXPECT_EQ(f.ClientArea->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(),
              qsizetype(std::size(rows)));
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.member, nullptr);
        EXPECT_EQ(row.member->objectName(), QString::fromLatin1(row.name));
        EXPECT_TRUE(row.member->inherits(row.kind)) << row.member->metaObject()->className();
        EXPECT_EQ(row.member->parentWidget(), f.ClientArea);
        EXPECT_EQ(row.member->geometry(), row.rect);
        if (row.text) {
            EXPECT_EQ(Shown(row.member), *row.text);
        }
        EXPECT_EQ(!row.member->isHidden(), row.visible);
        if (auto *label = qobject_cast<QLabel *>(row.member)) {
            EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
            // What the interface sends is shown as it is, never as markup.
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
        }
    }
}

TEST_F(MainWindow, LabelsKeepTheirDesignedAlignmentAndTheDiagramShowsThroughTheOnesOnIt)
{
    TMerrowMainForm &f = *form;
    EXPECT_TRUE(f.Label1->alignment() & Qt::AlignRight);
    for (QLabel *centred : {f.lbComIsOpen, f.lbIntfConnection, f.lbPreAmpA, f.lbPreAmpB,
                            f.lbPttTrigA, f.lbPttTrigB, f.lbAfLevelA, f.lbAfLevelB}) {
        SCOPED_TRACE(centred->objectName().toStdString());
        EXPECT_TRUE(centred->alignment() & Qt::AlignHCenter);
    }
    for (QLabel *wrapped :
         {f.lbPreAmpA, f.lbPreAmpB, f.lbPttTrigA, f.lbPttTrigB, f.lbAfLevelA, f.lbAfLevelB})
        EXPECT_TRUE(wrapped->wordWrap()) << wrapped->objectName().toStdString();
    for (QLabel *onDiagram :
         {f.lbGainA, f.lbGainB, f.lbDetGainA, f.lbDetGainB, f.lbPreAmpA, f.lbPreAmpB, f.lbPttTrigA,
          f.lbPttTrigB, f.lbAfLevelA, f.lbAfLevelB, f.lbPTTonDelayA, f.lbPTTonDelayB,
          f.lbPTToffDelayA, f.lbPTToffDelayB, f.lbPeiA, f.lbPeiB}) {
        SCOPED_TRACE(onDiagram->objectName().toStdString());
        EXPECT_FALSE(onDiagram->autoFillBackground());
        EXPECT_FALSE(onDiagram->testAttribute(Qt::WA_OpaquePaintEvent));
    }
}

TEST_F(MainWindow, ListsOfferTheirDesignedChoicesWithNothingChosen)
{
    TMerrowMainForm &f = *form;
    const QStringList radioTypes{
        QStringLiteral("Radio with AF level sense for RX detect "),
        QStringLiteral("Radio with Squelch Low output for RX detect"),
        QStringLiteral("SRG3900 Radio using PEI for RX detect"),
        QStringLiteral("MTM5400/5500 Radio using PEI for RX detect"),
        QStringLiteral("TMR880i using PEI for RX detect and PTT"),
        QStringLiteral("Radio with Squelch High output for RX detect"),
    };
    for (TComboBox *types : {f.cmb_RaAtype, f.cmb_RaBtype}) {
        SCOPED_TRACE(types->objectName().toStdString());
        EXPECT_EQ(Items(types), radioTypes);
        EXPECT_FALSE(types->isEditable());
        EXPECT_EQ(types->ItemIndex(), -1);
    }
    const QStringList bauds{QStringLiteral("4800"),   QStringLiteral("9600"),
                            QStringLiteral("19200"),  QStringLiteral("38400"),
                            QStringLiteral("57600"),  QStringLiteral("115200"),
                            QStringLiteral("Invalid")};
    const QStringList comTypes{QStringLiteral("TTL 3V"), QStringLiteral("RS232")};
    const std::pair<TComboBox *, QStringList> prompted[] = {
        {f.cmb_Baud_A, bauds},
        {f.cmb_Baud_B, bauds},
        {f.cmb_ComType_A, comTypes},
        {f.cmb_ComType_B, comTypes},
    };
    for (const auto &[combo, items] : prompted) {
        SCOPED_TRACE(combo->objectName().toStdString());
        EXPECT_EQ(Items(combo), items);
        EXPECT_TRUE(combo->isEditable());
        EXPECT_FALSE(combo->hasFrame());
        // The prompt is typed text, not a choice.
        EXPECT_EQ(combo->ItemIndex(), -1);
    }
    EXPECT_FALSE(f.ComComboBox1->isEditable());
    EXPECT_TRUE(f.ComComboBox1->Sorted());
}

TEST_F(MainWindow, SlidersHaveTheirRangesStepsAndStartPositions)
{
    TMerrowMainForm &f = *form;
    struct Row
    {
        TTrackBar *bar;
        Qt::Orientation orientation;
        int maximum;
        int page;
        int position;
    };
    const Row rows[] = {
        {f.tbGainA, Qt::Horizontal, 20, 5, 0},
        {f.tbGainB, Qt::Horizontal, 20, 5, 0},
        {f.tbLevelDetGainA, Qt::Horizontal, 255, 5, 0},
        {f.tbLevelDetGainB, Qt::Horizontal, 255, 5, 0},
        {f.tbDetLevelA, Qt::Vertical, 1024, 2, 255},
        {f.tbDetLevelB, Qt::Vertical, 1024, 2, 255},
        {f.tbPTTonDelayA, Qt::Horizontal, 150, 5, 0},
        {f.tbPTTonDelayB, Qt::Horizontal, 150, 5, 0},
        {f.tbPTToffDelayA, Qt::Horizontal, 150, 5, 0},
        {f.tbPTToffDelayB, Qt::Horizontal, 150, 5, 0},
    };
    for (const Row &row : rows) {
        TTrackBar *bar = row.bar;
        SCOPED_TRACE(bar->objectName().toStdString());
        EXPECT_EQ(bar->orientation(), row.orientation);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), row.maximum);
        EXPECT_EQ(bar->pageStep(), row.page);
        EXPECT_EQ(bar->Position(), row.position);
        EXPECT_EQ(bar->tickPosition(), QSlider::NoTicks);
    }
}

// Where the grey frame of the track and the thumb are drawn.
struct TSliderPicture
{
    int trackStart = -1; // first and last grey pixel along the slider's length
    int trackEnd = -1;
    int trackThickness = 0; // grey frame lines across, near the far end from the thumb
    int thumbStart = -1;    // first pixel of the thumb's colour along the slider's length
};

TSliderPicture Picture(TTrackBar *bar)
{
    const QImage image = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb grey = qRgb(128, 128, 128);
    const QRgb thumb = bar->palette().color(QPalette::Highlight).rgb();
    const bool horizontal = bar->orientation() == Qt::Horizontal;
    const int length = horizontal ? image.width() : image.height();
    const int across = horizontal ? image.height() : image.width();
    const auto at = [&](int along, int cross) {
        return horizontal ? image.pixel(along, cross) : image.pixel(cross, along);
    };
    TSliderPicture picture;
    for (int a = 0; a < length; ++a) {
        for (int c = 0; c < across; ++c) {
            if (at(a, c) == grey) {
                if (picture.trackStart < 0)
                    picture.trackStart = a;
                picture.trackEnd = a;
            }
            if (at(a, c) == thumb && picture.thumbStart < 0)
                picture.thumbStart = a;
        }
    }
    if (picture.trackEnd >= 0) {
        // The outermost grey pixels across the track, one pixel inside its end.
        int first = -1, last = -1;
        for (int c = 0; c < across; ++c) {
            if (at(picture.trackEnd - 1, c) == grey) {
                if (first < 0)
                    first = c;
                last = c;
            }
        }
        picture.trackThickness = first < 0 ? 0 : last - first + 1;
    }
    return picture;
}

// The look the diagram relies on: a track 7 px thick that stops 5 px short of each end of the
// control (the vertical sliders are lined up with the level meter by that inset), the thumb
// in the highlight colour, and position 0 at the top of the vertical ones.
TEST_F(MainWindow, SliderTrackStaysFivePixelsInsideEachEnd)
{
    TMerrowMainForm &f = *form;
    for (TTrackBar *bar :
         {f.tbGainA, f.tbLevelDetGainB, f.tbPTToffDelayA, f.tbDetLevelA, f.tbDetLevelB}) {
        SCOPED_TRACE(bar->objectName().toStdString());
        bar->SetPosition(bar->maximum() / 2);
        const TSliderPicture picture = Picture(bar);
        const int length = bar->orientation() == Qt::Horizontal ? bar->width() : bar->height();
        EXPECT_EQ(picture.trackStart, 5);
        EXPECT_EQ(picture.trackEnd, length - 1 - 5);
        EXPECT_EQ(picture.trackThickness, 7);
        EXPECT_GT(picture.thumbStart, picture.trackStart);
    }
    for (TTrackBar *bar : {f.tbDetLevelA, f.tbDetLevelB}) {
        SCOPED_TRACE(bar->objectName().toStdString());
        bar->SetPosition(0);
        const int atZero = Picture(bar).thumbStart;
        bar->SetPosition(bar->maximum());
        const int atMaximum = Picture(bar).thumbStart;
        EXPECT_GE(atZero, 5);
        EXPECT_LT(atZero, atMaximum);
    }
}

TEST_F(MainWindow, TabKeyVisitsTheControlsInDesignedOrder)
{
    TMerrowMainForm &f = *form;
    const QList<QWidget *> order{
        f.ComComboBox1,    f.cmb_RaAtype,   f.cmb_RaBtype,   f.cmb_Baud_A,     f.cmb_Baud_B,
        f.cmb_ComType_A,   f.cmb_ComType_B, f.tbGainB,       f.tbGainA,        f.tbLevelDetGainA,
        f.tbLevelDetGainB, f.btClose,       f.btSaveChanges, f.btRevert,       f.tbDetLevelA,
        f.tbDetLevelB,     f.tbPTTonDelayA, f.tbPTTonDelayB, f.tbPTToffDelayA, f.tbPTToffDelayB,
        f.pbLoading,
    };
    // Follow the focus chain from the first control once round, keeping the table's controls
    // (the chain also holds the window, the client area, the labels and the menu bar).
    QList<QWidget *> visited;
    QWidget *w = f.ComComboBox1;
    do {
        if (order.contains(w))
            visited << w;
        w = w->nextInFocusChain();
    } while (w != f.ComComboBox1 && visited.size() <= order.size());
    EXPECT_EQ(visited, order);
}

TEST_F(MainWindow, MenuHasFileAndHelpWithTheirItems)
{
    TMerrowMainForm &f = *form;
    const QList<QAction *> top = f.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0], f.mnFile->menuAction());
    EXPECT_EQ(top[1], f.mnHelp->menuAction());
    EXPECT_EQ(f.mnFile->title(), QStringLiteral("File"));
    EXPECT_EQ(f.mnHelp->title(), QStringLiteral("Help"));
    EXPECT_EQ(f.mnFile->objectName(), QStringLiteral("mnFile"));
    EXPECT_EQ(f.mnHelp->objectName(), QStringLiteral("mnHelp"));

    EXPECT_EQ(f.mnFile->actions(), (QList<QAction *>{f.mnLoad, f.mnSave, f.mnDivider1, f.mnExit}));
    EXPECT_EQ(f.mnHelp->actions(), QList<QAction *>{f.mnAbout});
    const std::pair<QAction *, const char *> items[] = {
        {f.mnLoad, "Load from file..."},
        {f.mnSave, "Save to file ..."},
        {f.mnExit, "Exit"},
        {f.mnAbout, "About..."},
    };
    for (const auto &[action, caption] : items) {
        EXPECT_EQ(action->text(), QString::fromLatin1(caption));
        EXPECT_FALSE(action->isSeparator());
    }
    EXPECT_TRUE(f.mnDivider1->isSeparator());
    for (const char *name : {"mnLoad", "mnSave", "mnDivider1", "mnExit", "mnAbout"})
        EXPECT_NE(f.findChild<QAction *>(QString::fromLatin1(name)), nullptr) << name;
}

TEST_F(MainWindow, TimersCountFromTheStartExceptTheStoreIndication)
{
    TMerrowMainForm &f = *form;
    struct Row
    {
        QTimer *timer;
        const char *name;
        std::chrono::milliseconds interval;
        bool running;
    };
    const Row rows[] = {
        {f.tmComState, "tmComState", 150ms, true},
        {f.tmRefreshDetectSetting, "tmRefreshDetectSetting", 100ms, true},
        {f.tmStartCheck, "tmStartCheck", 2000ms, true},
        {f.tmSaveIndication, "tmSaveIndication", 1000ms, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.timer, nullptr);
        EXPECT_EQ(row.timer->objectName(), QString::fromLatin1(row.name));
        EXPECT_EQ(row.timer->intervalAsDuration(), row.interval);
        EXPECT_EQ(row.timer->isActive(), row.running);
        EXPECT_EQ(row.timer->parent(), &f);
    }
}

TEST_F(MainWindow, FileDialogsShowTheSettingsFilterAndGuardTheirFiles)
{
    TMerrowMainForm &f = *form;
    for (const TFileDialogConfig *config : {&f.SaveDialog1, &f.OpenDialog1}) {
        EXPECT_EQ(config->filter, QStringLiteral("Tandor config files [*.tconf] (*.tconf)"));
        EXPECT_EQ(config->defaultSuffix, QStringLiteral("tconf"));
        EXPECT_TRUE(config->resizable);
    }
    EXPECT_TRUE(f.SaveDialog1.confirmOverwrite);
    EXPECT_FALSE(f.SaveDialog1.fileMustExist);
    EXPECT_TRUE(f.OpenDialog1.fileMustExist);

    // Qt's own dialog set up from these, without running it: the filter list shows the
    // description only, and the pattern selects *.tconf files.
    struct Row
    {
        const TFileDialogConfig *config;
        bool save;
        QFileDialog::FileMode mode;
        bool confirmsOverwrite;
    };
    const Row rows[] = {
        {&f.SaveDialog1, true, QFileDialog::AnyFile, true},
        {&f.OpenDialog1, false, QFileDialog::ExistingFile, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.save ? "save" : "open");
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        ConfigureFileDialog(dialog, *row.config, row.save);
        EXPECT_EQ(dialog.acceptMode(),
                  row.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.fileMode(), row.mode);
        EXPECT_EQ(!dialog.testOption(QFileDialog::DontConfirmOverwrite), row.confirmsOverwrite);
        EXPECT_EQ(dialog.defaultSuffix(), QStringLiteral("tconf"));
        EXPECT_TRUE(dialog.isSizeGripEnabled());
        auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        ASSERT_EQ(types->count(), 1);
        EXPECT_EQ(types->itemText(0), QStringLiteral("Tandor config files [*.tconf]"));
        EXPECT_EQ(dialog.nameFilters(), QStringList{row.config->filter});
    }
}

// The diagram sets the client size on every paint; the window follows and stays fixed-size,
// and the progress bar keeps its 20 px to the bottom edge.
TEST_F(MainWindow, WindowFollowsTheClientSizeAndStaysFixed)
{
    TMerrowMainForm &f = *form;
    const auto fixedAroundClient = [&f](int clientHeight) {
        return f.minimumSize() == f.maximumSize() && f.size() == f.minimumSize() &&
               f.ClientArea->height() == clientHeight &&
               f.ClientArea->geometry().bottom() == f.height() - 1 &&
               f.ClientArea->y() >= f.menuBar()->height();
    };

    // Hidden (no paint yet): everything follows at once.
    f.SetClientSize(960, 699);
    EXPECT_EQ(f.ClientArea->size(), QSize(960, 699));
    EXPECT_TRUE(fixedAroundClient(699));
    EXPECT_EQ(f.pbLoading->geometry(), QRect(20, 662, 405, 17));
    f.SetClientSize(960, 640);
    EXPECT_TRUE(fixedAroundClient(640));
    EXPECT_EQ(f.pbLoading->geometry(), QRect(20, 603, 405, 17));

    // Shown, the diagram's paint sets the size it wants; the window follows it.
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    EXPECT_TRUE(QTest::qWaitFor([&] { return fixedAroundClient(f.ClientArea->height()); }));
    EXPECT_EQ(f.pbLoading->geometry().bottom(), f.ClientArea->height() - 1 - 20);
    EXPECT_EQ(f.pbLoading->x(), 20);
}

// Labels that are not of fixed size follow their text once the window is up: the serial
// number and firmware version replace six blanks, the gain labels get their value.
TEST_F(MainWindow, LabelsThatAreNotFixedTakeTheSizeOfTheirText)
{
    TMerrowMainForm &f = *form;
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));

    const QString serial = QStringLiteral("Ser n:o: 1234567890");
    f.lbSerial->setText(serial);
    const int wide = f.lbSerial->fontMetrics().horizontalAdvance(serial);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.lbSerial->width() >= wide; }));
    EXPECT_EQ(f.lbSerial->pos(), QPoint(662, 11));

    // A hidden label follows too, once it is shown.
    f.lbDetGainA->setText(QStringLiteral("Gain= 255"));
    f.lbDetGainA->show();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return f.lbDetGainA->width() >=
               f.lbDetGainA->fontMetrics().horizontalAdvance(QStringLiteral("Gain= 255"));
    }));

    // The right-aligned label keeps its right edge.
    const int right = f.Label1->geometry().right();
    f.Label1->setText(QStringLiteral("Port:"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.Label1->width() < 100; }));
    EXPECT_EQ(f.Label1->geometry().right(), right);

    // Fixed-size labels keep their size whatever the text.
    f.lbComIsOpen->setText(QStringLiteral("COM-port is open, and this text is far too long"));
    QCoreApplication::sendPostedEvents(); // the label's layout request
    EXPECT_EQ(f.lbComIsOpen->geometry(), QRect(386, 32, 156, 13));
}

// Each control's events reach its own handler: a gesture on one control changes its own
// parameter and no other.
TEST_F(MainWindow, ControlEventsReachTheirOwnHandlers)
{
    TMerrowMainForm &f = *form;
    const auto values = [&f] {
        std::vector<int32_t> all;
        for (int i = 1; i <= 16; ++i)
            all.push_back(f.SettingsData[i].value);
        return all;
    };
    // Indices whose values differ between two snapshots.
    const auto changed = [](const std::vector<int32_t> &before, const std::vector<int32_t> &after) {
        std::vector<int> indices;
        for (std::size_t i = 0; i < before.size(); ++i)
            if (before[i] != after[i])
                indices.push_back(int(i) + 1);
        return indices;
    };

    // A gain slider's changing notification only writes its label; the others store.
    struct Slider
    {
        TTrackBar *bar;
        const char *param;
        QLabel *gainLabel;
    };
    const Slider sliders[] = {
        {f.tbGainA, "GainA", f.lbGainA},
        {f.tbGainB, "GainB", f.lbGainB},
        {f.tbLevelDetGainA, "LevelDetGainA", nullptr},
        {f.tbLevelDetGainB, "LevelDetGainB", nullptr},
        {f.tbDetLevelA, "DetLevelA", nullptr},
        {f.tbDetLevelB, "DetLevelB", nullptr},
        {f.tbPTTonDelayA, "PTTOnDelayA", nullptr},
        {f.tbPTTonDelayB, "PTTOnDelayB", nullptr},
        {f.tbPTToffDelayA, "PTTOffDelayA", nullptr},
        {f.tbPTToffDelayB, "PTTOffDelayB", nullptr},
    };
    for (const Slider &row : sliders) {
        TTrackBar *bar = row.bar;
        SCOPED_TRACE(row.param);
        const std::vector<int> own{f.FindSettingIndex(QString::fromLatin1(row.param))};
        ASSERT_TRUE(bar->OnChanging);
        ASSERT_TRUE(bar->OnChange);
        bar->SetPosition(bar->maximum() / 2);
        auto before = values();
        const QString labelBefore = row.gainLabel ? row.gainLabel->text() : QString();
        bool allow = true;
        bar->OnChanging(bar, bar->maximum() / 2 + 1, allow);
        if (row.gainLabel) {
            EXPECT_TRUE(changed(before, values()).empty()) << "changing";
            EXPECT_NE(row.gainLabel->text(), labelBefore) << "changing";
        } else {
            EXPECT_EQ(changed(before, values()), own) << "changing";
        }
        bar->SetPosition(bar->maximum() / 4);
        before = values();
        bar->OnChange(bar);
        EXPECT_EQ(changed(before, values()), own) << "change";
    }

    const std::tuple<TComboBox *, int, const char *> lists[] = {
        {f.cmb_RaAtype, 1, "RaAtype"},     {f.cmb_RaBtype, 1, "RaBtype"},
        {f.cmb_ComType_A, 1, "ComType_A"}, {f.cmb_ComType_B, 1, "ComType_B"},
        {f.cmb_Baud_A, 5, "Baud_A"},       {f.cmb_Baud_B, 5, "Baud_B"},
    };
    for (const auto &[combo, item, param] : lists) {
        SCOPED_TRACE(param);
        ASSERT_TRUE(combo->OnChange);
        combo->SetItemIndex(item);
        const auto before = values();
        combo->OnChange(combo);
        EXPECT_EQ(changed(before, values()),
                  std::vector<int>{f.FindSettingIndex(QString::fromLatin1(param))});
    }

    // The port's events drive the connection state.
    ASSERT_TRUE(f.ComPort1->OnRxChar);
    f.ComPort1->OnOpen();
    EXPECT_EQ(f.fComState, csNotConnected);
    f.ComPort1->OnError(1);
    EXPECT_EQ(f.fComState, csPortError);
    f.ComPort1->OnClose();
    EXPECT_EQ(f.fComState, csNotOpened);
    f.ComPort1->OnPErr();
    EXPECT_EQ(f.fComState, csPortError);

    // The port list stops the connection timer while it is open.
    ASSERT_TRUE(f.ComComboBox1->OnChange);
    ASSERT_TRUE(f.tmComState->isActive());
    f.ComComboBox1->OnDropDown(f.ComComboBox1);
    EXPECT_FALSE(f.tmComState->isActive());

    // The menu's file items open their dialogs; store and revert with the port closed beep.
    f.mnLoad->trigger();
    EXPECT_EQ(seam->openDialogs.size(), 1u);
    EXPECT_EQ(seam->saveDialogs.size(), 0u);
    f.mnSave->trigger();
    EXPECT_EQ(seam->saveDialogs.size(), 1u);
    for (QPushButton *button : {f.btSaveChanges, f.btRevert}) {
        const int beeps = seam->beeps;
        button->click();
        EXPECT_GT(seam->beeps, beeps) << button->objectName().toStdString();
    }

    // The store indication ends with its timer's first tick.
    f.tmSaveIndication->start();
    EXPECT_TRUE(QTest::qWaitFor([&f] { return !f.tmSaveIndication->isActive(); }, 3000));

    // Close and File, Exit both close the window.
    for (const auto &close :
         std::initializer_list<std::function<void()>>{[&f] { f.btClose->click(); },
                                                      [&f] {
                                                          f.mnExit->trigger();
                                                      }}) {
        f.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
        close();
        EXPECT_TRUE(QTest::qWaitFor([&f] { return !f.isVisible(); }));
    }
}

TEST(Label, CarriageReturnBreaksTheLineLikeALineFeed)
{
    QWidget host;
    host.resize(200, 100);
    TLabel withCr(QStringLiteral("PTT On filter\rdelay= 250ms"), &host);
    TLabel withLf(QStringLiteral("PTT On filter\ndelay= 250ms"), &host);
    TLabel withCrLf(QStringLiteral("PTT On filter\r\ndelay= 250ms"), &host);
    for (TLabel *label : {&withCr, &withLf, &withCrLf})
        label->setGeometry(0, 0, 90, 30);
    const QImage lf = withLf.grab().toImage();
    EXPECT_EQ(withCr.grab().toImage(), lf);
    EXPECT_EQ(withCrLf.grab().toImage(), lf);
    EXPECT_EQ(withCr.sizeHint(), withLf.sizeHint());
    EXPECT_GE(withCr.sizeHint().height(), 2 * withCr.fontMetrics().height());
    // The text itself is kept as written.
    EXPECT_EQ(withCr.text(), QStringLiteral("PTT On filter\rdelay= 250ms"));
}

TEST(DesignedFonts, WithoutTheFontFilesTheWindowRunsOnFontconfigsStandIns)
{
    // A system without fonts-wine and fonts-liberation2: nothing to register, no family mapped
    // to a face that is not there, and every designed family still resolves to some face.
    QTemporaryDir emptyRoot;
    ASSERT_TRUE(emptyRoot.isValid());
    EXPECT_TRUE(UseDesignedFonts(emptyRoot.path()).isEmpty());
    for (const TDesignedFace &face : DesignedFaces()) {
        const QString family = QString::fromLatin1(face.family);
        for (const QString &standIn : QFont::substitutes(family))
            EXPECT_TRUE(QFontDatabase::hasFamily(standIn)) << standIn.toStdString();
        EXPECT_FALSE(QFontInfo(QFont(family, 8)).family().isEmpty()) << face.family;
    }
    TMerrowMainForm form(new TRecordingSeam);
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
}

} // namespace
