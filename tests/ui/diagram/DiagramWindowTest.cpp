// SPDX-License-Identifier: MIT
// The diagram as the window shows it: pictures grabbed from the client area on the offscreen
// platform, checked at pixels whose colour the design fixes, and the type-dependent controls.
#include "support/RecordingSeam.h"
#include "support/WindowTimers.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/TandorMain.h"
#include "ui/TrackBar.h"
#include "ui/diagram/DiagramPainter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

using namespace DiagramColors;

namespace {

std::string Name(const QColor &c)
{
    return c.name().toStdString();
}

QColor PixelAt(const QImage &image, QPoint p)
{
    return image.pixelColor(p).toRgb();
}

int CountColour(const QImage &image, const QRect &area, const QColor &colour)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y).rgb() == colour.rgb();
    return count;
}

// Where a diagram text lands at 96 dpi, measured as the painter measures it.
QRect TextRect(const QString &text, int points, bool bold, int left, int centreY)
{
    QFont font(QString::fromLatin1(kDiagramFontFamily), points);
    font.setBold(bold);
    const QFontMetrics metrics(font);
    return QRect(left, centreY - metrics.height() / 2, metrics.horizontalAdvance(text),
                 metrics.height());
}

int TextWidth(const QString &text, int points, bool bold)
{
    return TextRect(text, points, bold, 0, 0).width();
}

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class DiagramWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fSeam = new TRecordingSeam;
        fForm = std::make_unique<TMerrowMainForm>(fSeam);
        fForm->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(fForm.get()));
        ASSERT_TRUE(QTest::qWaitFor([this] { return Client()->size() == QSize(960, 699); }))
            << Client()->width() << "x" << Client()->height();
    }

    TClientArea *Client() const { return fForm->ClientArea; }
    TMerrowMainForm &Form() { return *fForm; }

    void SelectTypes(int a, int b)
    {
        fForm->cmb_RaAtype->SetItemIndex(a);
        fForm->cmb_RaBtype->SetItemIndex(b);
    }
    void SetDetLevels(int32_t a, int32_t b)
    {
        fForm->SettingsData[fForm->FindSettingIndex(QStringLiteral("DetLevelA"))].value = a;
        fForm->SettingsData[fForm->FindSettingIndex(QStringLiteral("DetLevelB"))].value = b;
    }
    void SetLive(int32_t levelA, int32_t levelB, bool rxA, bool rxB, bool pttA, bool pttB)
    {
        fForm->fAudioLvlA = levelA;
        fForm->fAudioLvlB = levelB;
        fForm->fRXdetectedA = rxA;
        fForm->fRXdetectedB = rxB;
        fForm->fPTTActiveA = pttA;
        fForm->fPTTActiveB = pttB;
    }

    // Paints with the current state, then grabs the client area with its controls. Focus is
    // taken away first so that no blinking text cursor or focus frame tells two grabs apart.
    QImage Grab()
    {
        if (QWidget *focus = QApplication::focusWidget())
            focus->clearFocus();
        fForm->RepaintNow();
        return Client()->grab().toImage();
    }

    QColor Background() const { return Client()->palette().color(QPalette::Button); }

    TRecordingSeam *fSeam = nullptr;
    std::unique_ptr<TMerrowMainForm> fForm;
};

TEST_F(DiagramWindow, FirstPaintsSettleTheClientSizeAndThenStopRepainting)
{
    // The paint that changed the client size has asked for one more; after that the window
    // must fall quiet, since every paint lays the controls out again.
    EXPECT_EQ(fForm->btClose->geometry(), QRect(856, 668, 84, 25));
    // The timers' ticks change labels over the diagram, which repaints it; on a loaded machine
    // the first tick can fall into the rounds counted here. Only the diagram's own paints count.
    StopWindowTimers(*fForm);
    PaintCounter counter;
    Client()->installEventFilter(&counter);
    std::vector<int> paintsPerRound;
    for (int round = 0; round < 6; ++round) {
        counter.paints = 0;
        QCoreApplication::processEvents();
        paintsPerRound.push_back(counter.paints);
    }
    Client()->removeEventFilter(&counter);
    EXPECT_LE(paintsPerRound[0] + paintsPerRound[1], 1);
    for (std::size_t round = 2; round < paintsPerRound.size(); ++round)
        EXPECT_EQ(paintsPerRound[round], 0) << "the diagram keeps scheduling paints of itself";
    EXPECT_EQ(Client()->size(), QSize(960, 699));
}

TEST_F(DiagramWindow, FixedDiagramFillsAndOutlines)
{
    const QImage image = Grab();
    const QColor background = Background();
    const struct
    {
        const char *what;
        QPoint at;
        QColor colour;
    } rows[] = {
        {"Radio A fill at its seed", {40, 120}, LightBlue},
        {"Radio A left outline", {20, 380}, Blue},
        {"Radio A right outline", {219, 380}, Blue},
        {"Radio A bottom outline", {120, 659}, Blue},
        {"interface fill at its seed", {320, 120}, LightYellow},
        {"interface left outline", {300, 380}, Black},
        {"interface right outline", {659, 380}, Black},
        {"Radio B fill at its seed", {760, 120}, MoneyGreen},
        {"Radio B left outline", {740, 380}, Blue},
        {"Radio B right outline", {939, 380}, Blue},
        {"Radio A detection box top", {480, 200}, Black},
        {"Radio A detection box inside", {480, 290}, LightYellow},
        {"Radio A detection box bottom", {480, 374}, Black},
        {"Radio B detection box top", {480, 385}, Black},
        {"Radio B detection box inside", {480, 470}, LightYellow},
        {"Radio B detection box bottom", {480, 559}, Black},
        {"between the detection boxes", {480, 380}, LightYellow},
        {"upper audio path", {260, 140}, Black},
        {"upper audio path into Radio B", {700, 140}, Black},
        {"lower audio path", {260, 600}, Black},
        {"between the blocks", {260, 380}, background},
        {"above the blocks", {100, 50}, background},
    };
    for (const auto &row : rows)
        EXPECT_EQ(Name(PixelAt(image, row.at)), Name(row.colour)) << row.what;
}

TEST_F(DiagramWindow, LevelBarIsRedWhileReceivingAndGreyOtherwise)
{
    SelectTypes(0, 0);
    SetDetLevels(1023, 1023);
    const struct
    {
        const char *what;
        int32_t level;
        QPoint barA;
        QPoint barB;
    } rows[] = {
        // At 1024 the bars reach y 251 (A) and 436 (B).
        {"bar of level 1024", 1024, {442, 300}, {517, 500}},
        // At or below 4 the bar is a 4-px stub across the bottom of the frame.
        {"stub of level 0", 0, {442, 365}, {517, 550}},
        {"stub of a negative level", -7, {442, 365}, {517, 550}},
    };
    for (const auto &row : rows) {
        for (const bool receiving : {true, false}) {
            SetLive(row.level, row.level, receiving, receiving, false, false);
            const QImage image = Grab();
            const QColor expected = receiving ? Red : Grey;
            EXPECT_EQ(Name(PixelAt(image, row.barA)), Name(expected)) << "A " << row.what;
            EXPECT_EQ(Name(PixelAt(image, row.barB)), Name(expected)) << "B " << row.what;
        }
    }
    // Receive detection of one radio colours only its own bar.
    SetLive(1024, 1024, true, false, false, false);
    const QImage image = Grab();
    EXPECT_EQ(Name(PixelAt(image, {442, 300})), Name(Red));
    EXPECT_EQ(Name(PixelAt(image, {517, 500})), Name(Grey));
}

TEST_F(DiagramWindow, ThresholdMarkerStandsAtTheDetectionLevel)
{
    SelectTypes(0, 0);
    SetLive(0, 0, false, false, false, false);
    const struct
    {
        int32_t detLevel;
        int height; // on the meter at 96 dpi
    } rows[] = {{1023, 116}, {256, 87}, {4, 0}};
    for (const auto &row : rows) {
        SetDetLevels(row.detLevel, row.detLevel);
        const QImage image = Grab();
        const int yA = 367 - row.height;
        const int yB = 552 - row.height;
        EXPECT_EQ(Name(PixelAt(image, {460, yA})), Name(Red)) << row.detLevel;
        EXPECT_EQ(Name(PixelAt(image, {500, yB})), Name(Red)) << row.detLevel;
        EXPECT_NE(Name(PixelAt(image, {460, yA - 4})), Name(Red)) << row.detLevel;
        EXPECT_NE(Name(PixelAt(image, {460, yA + 4})), Name(Red)) << row.detLevel;
        EXPECT_NE(Name(PixelAt(image, {500, yB - 4})), Name(Red)) << row.detLevel;
        EXPECT_NE(Name(PixelAt(image, {500, yB + 4})), Name(Red)) << row.detLevel;
    }
}

TEST_F(DiagramWindow, LevelAbove4096DrawsPastTheTopOfTheFrame)
{
    SelectTypes(0, 0);
    SetDetLevels(4, 4);
    // The bars' columns above the frames' top edges (y 220 for A, 405 for B).
    const QRect aboveA(439, 200, 8, 18);
    const QRect aboveB(514, 385, 8, 18);
    SetLive(4096, 4096, true, true, false, false);
    QImage image = Grab();
    EXPECT_EQ(CountColour(image, aboveA, Red), 0) << "4096 fills the meter exactly";
    EXPECT_EQ(CountColour(image, aboveB, Red), 0) << "4096 fills the meter exactly";
    EXPECT_EQ(Name(PixelAt(image, {442, 223})), Name(Red));
    SetLive(8192, 8192, true, true, false, false);
    image = Grab();
    EXPECT_GT(CountColour(image, aboveA, Red), 0);
    EXPECT_GT(CountColour(image, aboveB, Red), 0);
    EXPECT_EQ(Name(PixelAt(image, {442, 203})), Name(LightYellow)) << "8192 ends at y 207";
}

TEST_F(DiagramWindow, PttIndicatorsJoinTheOtherDetectionBoxToTheirRadio)
{
    const QRect textA = TextRect(QStringLiteral("PTT"), 14, false, 0, 473)
                            .translated(213 - TextWidth(QStringLiteral("PTT"), 14, false), 0);
    const QRect textB = TextRect(QStringLiteral("PTT"), 14, false, 747, 287);
    const struct
    {
        const char *what;
        bool pttA;
        bool pttB;
    } rows[] = {
        {"neither", false, false}, {"A", true, false}, {"B", false, true}, {"both", true, true}};
    // Drawn whatever the radio types, also with none selected.
    for (const int type : {-1, 0, 2}) {
        SelectTypes(type, type);
        for (const auto &row : rows) {
            SetLive(0, 0, false, false, row.pttA, row.pttB);
            const QImage image = Grab();
            const std::string where = std::string(row.what) + ", type " + std::to_string(type);
            EXPECT_EQ(PixelAt(image, {260, 473}) == Red, row.pttA) << where;
            EXPECT_EQ(PixelAt(image, {320, 473}) == Red, row.pttA) << where;
            EXPECT_EQ(CountColour(image, textA, Red) > 0, row.pttA) << where;
            EXPECT_EQ(PixelAt(image, {700, 287}) == Red, row.pttB) << where;
            EXPECT_EQ(PixelAt(image, {640, 287}) == Red, row.pttB) << where;
            EXPECT_EQ(CountColour(image, textB, Red) > 0, row.pttB) << where;
        }
    }
}

TEST_F(DiagramWindow, DetectionLineOfSquelchAndPeiTypesShowsReceiving)
{
    const struct
    {
        int type;
        const char *label;
        int labelLeftA; // in regular style; "Squelch detect" moves left in bold
        int labelLeftB;
    } rows[] = {
        {1, "Squelch detect", -1, 747},
        {5, "Squelch detect", -1, 747},
        {2, "PEI", 70, -1},
        {4, "PEI", 70, -1},
    };
    for (const auto &row : rows) {
        SelectTypes(row.type, row.type);
        for (const bool receiving : {false, true}) {
            SetLive(0, 0, receiving, receiving, false, false);
            const QImage image = Grab();
            const std::string where = std::string(row.label) + (receiving ? " receiving" : " idle");
            const QColor line = receiving ? Green : Black;
            EXPECT_EQ(Name(PixelAt(image, {260, 287})), Name(line)) << "A " << where;
            EXPECT_EQ(Name(PixelAt(image, {700, 473})), Name(line)) << "B " << where;

            const QString label = QString::fromLatin1(row.label);
            const int leftA =
                row.labelLeftA >= 0
                    ? row.labelLeftA
                    : 213 - TextWidth(QStringLiteral("Received AF out"), 11, receiving);
            const int leftB =
                row.labelLeftB >= 0 ? row.labelLeftB : 890 - TextWidth(label, 11, receiving);
            const QRect rectA = TextRect(label, 11, receiving, leftA, 287);
            const QRect rectB = TextRect(label, 11, receiving, leftB, 473);
            const QColor text = receiving ? LightGreen : Black;
            EXPECT_GT(CountColour(image, rectA, text), 0) << "A " << where;
            EXPECT_GT(CountColour(image, rectB, text), 0) << "B " << where;
        }
    }
}

TEST_F(DiagramWindow, TypesOfTheSameKindDrawTheSamePicture)
{
    for (const bool receiving : {false, true}) {
        SetLive(300, 300, receiving, receiving, receiving, !receiving);
        // Below the type lists, which show the type's name.
        const auto picture = [this](int type) {
            SelectTypes(type, type);
            const QImage image = Grab();
            return image.copy(0, 85, image.width(), image.height() - 85);
        };
        const QImage squelchLow = picture(1);
        EXPECT_TRUE(squelchLow == picture(5)) << "squelch high, receiving " << receiving;
        const QImage srg = picture(2);
        EXPECT_TRUE(srg == picture(3)) << "MTM5400/5500, receiving " << receiving;
        EXPECT_TRUE(srg == picture(4)) << "TMR880i, receiving " << receiving;
        EXPECT_FALSE(srg == squelchLow);
        EXPECT_FALSE(picture(0) == squelchLow);
    }
}

TEST_F(DiagramWindow, EachTypeShowsItsOwnControlsOnItsOwnSide)
{
    TMerrowMainForm &f = Form();
    const std::vector<QWidget *> levelA = {
        f.lbDetGainA, f.tbLevelDetGainA, f.tbDetLevelA,    f.lbPreAmpA,     f.lbPttTrigA,
        f.lbAfLevelA, f.lbPTTonDelayA,   f.lbPTToffDelayA, f.tbPTTonDelayA, f.tbPTToffDelayA};
    const std::vector<QWidget *> levelB = {
        f.lbDetGainB, f.tbLevelDetGainB, f.tbDetLevelB,    f.lbPreAmpB,     f.lbPttTrigB,
        f.lbAfLevelB, f.lbPTTonDelayB,   f.lbPTToffDelayB, f.tbPTTonDelayB, f.tbPTToffDelayB};
    const struct
    {
        int type;
        bool levelSense;
        bool pei;
    } rows[] = {
        {0, true, false}, {1, false, false}, {2, false, true},
        {3, false, true}, {4, false, true},  {5, false, false},
    };
    for (const bool sideA : {true, false}) {
        const auto &mine = sideA ? levelA : levelB;
        const auto &other = sideA ? levelB : levelA;
        QWidget *comType = sideA ? static_cast<QWidget *>(f.cmb_ComType_A) : f.cmb_ComType_B;
        QWidget *baud = sideA ? static_cast<QWidget *>(f.cmb_Baud_A) : f.cmb_Baud_B;
        QWidget *otherComType = sideA ? static_cast<QWidget *>(f.cmb_ComType_B) : f.cmb_ComType_A;
        for (const auto &row : rows) {
            SelectTypes(sideA ? row.type : -1, sideA ? -1 : row.type);
            f.RepaintNow();
            const std::string where =
                "type " + std::to_string(row.type) + (sideA ? " on A" : " on B");
            for (QWidget *w : mine)
                EXPECT_EQ(!w->isHidden(), row.levelSense)
                    << w->objectName().toStdString() << ", " << where;
            for (QWidget *w : other)
                EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString() << ", " << where;
            EXPECT_EQ(!comType->isHidden(), row.pei) << where;
            EXPECT_EQ(!baud->isHidden(), row.pei) << where;
            EXPECT_TRUE(otherComType->isHidden()) << where;
            // The PEI status labels belong to the type handler, not to the diagram.
            EXPECT_TRUE(f.lbPeiA->isHidden()) << where;
            EXPECT_TRUE(f.lbPeiB->isHidden()) << where;
            EXPECT_FALSE(f.tbGainA->isHidden() || f.tbGainB->isHidden()) << where;
        }
        SelectTypes(-1, -1);
        f.RepaintNow();
    }
}

TEST_F(DiagramWindow, NoSelectionLeavesTheControlsAsTheyAre)
{
    TMerrowMainForm &f = Form();
    SelectTypes(0, 2);
    f.RepaintNow();
    const QRect placed = f.tbDetLevelA->geometry();
    SelectTypes(-1, -1);
    f.RepaintNow();
    EXPECT_FALSE(f.tbDetLevelA->isHidden());
    EXPECT_FALSE(f.lbPTToffDelayA->isHidden());
    EXPECT_TRUE(f.cmb_ComType_A->isHidden());
    EXPECT_FALSE(f.cmb_ComType_B->isHidden());
    EXPECT_TRUE(f.tbDetLevelB->isHidden());
    EXPECT_EQ(f.tbDetLevelA->geometry(), placed);
}

TEST_F(DiagramWindow, LevelSenseControlsStandInTheirDetectionBoxes)
{
    TMerrowMainForm &f = Form();
    SelectTypes(0, 0);
    f.RepaintNow();
    EXPECT_EQ(f.tbDetLevelA->geometry(), QRect(470, 246, 20, 126));
    EXPECT_EQ(f.tbDetLevelB->geometry(), QRect(470, 431, 20, 126));
    EXPECT_EQ(f.tbLevelDetGainA->geometry(), QRect(370, 330, 60, 20));
    EXPECT_EQ(f.tbLevelDetGainB->geometry(), QRect(530, 515, 60, 20));
    EXPECT_EQ(f.tbPTToffDelayB->geometry(), QRect(362, 480, 83, 20));
    EXPECT_EQ(f.lbPreAmpA->geometry().topLeft(), QPoint(400 - f.lbPreAmpA->width() / 2, 237));
    EXPECT_EQ(f.tbGainA->geometry(), QRect(350, 167, 260, 20));
    EXPECT_EQ(f.cmb_RaAtype->pos(), QPoint(20, 59));
    EXPECT_EQ(f.cmb_RaBtype->geometry().right() + 1, 940);
}

TEST_F(DiagramWindow, LaysOutAndPaintsAtAFixedScale)
{
    Form().SetScreenScale(1.5);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Client()->size() == QSize(970, 1033); }))
        << Client()->width() << "x" << Client()->height();
    EXPECT_EQ(Form().btClose->y(), 1002);
    const QImage image = Grab();
    // Radio A's seed is 20 unscaled pixels inside its corner (30, 150); its outline at x 30.
    EXPECT_EQ(Name(PixelAt(image, {50, 170})), Name(LightBlue));
    EXPECT_EQ(Name(PixelAt(image, {30, 500})), Name(Blue));
    EXPECT_EQ(Name(PixelAt(image, {20, 500})), Name(Background()));
    Form().SetScreenScale(0);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Client()->size() == QSize(960, 699); }));
}

// Status reports as the interface sends them, each changing a different part of the picture.
const QByteArray kReports[] = {
    "2,300,20,0,0,0,0\r\n",    "2,2500,700,1,0,0,0\r\n", "2,2500,700,1,0,0,0\r\n",
    "2,8192,4096,1,1,1,0\r\n", "2,3,5,0,1,1,1\r\n",      "2,1024,1024,0,0,0,1\r\n",
    "2,0,0,0,0,0,0\r\n",       "2,4000,100,1,1,1,1\r\n", "2,40,4000,0,1,0,0\r\n",
};

class DiagramWindowLive : public DiagramWindow, public testing::WithParamInterface<double>
{
protected:
    // The bounds of the pixels in which two pictures of one size differ, as text.
    static std::string Differing(const QImage &a, const QImage &b)
    {
        QRect bounds;
        for (int y = 0; y < std::min(a.height(), b.height()); ++y)
            for (int x = 0; x < std::min(a.width(), b.width()); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    bounds |= QRect(x, y, 1, 1);
        return std::to_string(bounds.x()) + "," + std::to_string(bounds.y()) + " " +
               std::to_string(bounds.width()) + "x" + std::to_string(bounds.height());
    }

    // What the screen shows of the client area: the window's backing store, as painted.
    QImage Screen() const
    {
        const QPoint at = Client()->mapTo(fForm.get(), QPoint(0, 0));
        return fForm->screen()
            ->grabWindow(fForm->winId(), at.x(), at.y(), Client()->width(), Client()->height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
    // The client area painted whole for the present state, controls included.
    QImage Whole() const
    {
        return Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_P(DiagramWindowLive, ScreenShowsTheLastReportAsAWholePaintWould)
{
    // Only the reports change the window here: the connection's timers, which write the
    // labels, stand still.
    StopWindowTimers(Form());
    const double s = GetParam();
    Form().SetScreenScale(s);
    const QSize client = s == 1.0 ? QSize(960, 699) : QSize(970, 1033);
    ASSERT_TRUE(QTest::qWaitFor([&] { return Client()->size() == client; }));
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    SetDetLevels(1023, 256);
    const QTimer *frameInterval = Form().findChild<QTimer *>(QStringLiteral("RxPaintTimer"));
    ASSERT_NE(frameInterval, nullptr);
    for (const auto &[typeA, typeB] : {std::pair{0, 0}, {1, 2}, {4, 5}, {0, 1}}) {
        SelectTypes(typeA, typeB);
        // The new type's controls are laid out and sized to their texts first.
        Form().RepaintNow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Screen() == Whole(); }));
        for (const QByteArray &report : kReports) {
            // Straight after the receive event, or at the end of the frame interval that a
            // quick succession of reports waits for.
            Form().ReceiveBytes(report);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !frameInterval->isActive(); }));
            const QImage screen = Screen();
            const QImage whole = Whole();
            EXPECT_TRUE(screen == whole)
                << "types " << typeA << "/" << typeB << ", report " << report.trimmed().data()
                << ", differing in " << Differing(screen, whole);
        }
    }
    Form().SetScreenScale(0);
}

INSTANTIATE_TEST_SUITE_P(Scales, DiagramWindowLive, testing::Values(1.0, 1.5));

TEST_F(DiagramWindow, StatusReportsLeaveTheControlsAlone)
{
    SelectTypes(0, 0);
    SetDetLevels(1023, 1023);
    Form().ReceiveBytes("2,100,100,0,0,0,0\r\n");
    // Every control on the client area, with the paints it gets.
    std::vector<std::unique_ptr<PaintCounter>> counters;
    std::vector<QWidget *> controls;
    for (QWidget *w : Client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (w->isHidden())
            continue;
        controls.push_back(w);
        counters.push_back(std::make_unique<PaintCounter>());
        w->installEventFilter(counters.back().get());
    }
    ASSERT_GT(controls.size(), 10u);
    // The new type's controls are shown and sized to their texts first; from the first pass
    // of the event loop without a paint, the reports alone are at work.
    const auto controlPaints = [&counters] {
        int total = 0;
        for (const auto &c : counters)
            total += c->paints;
        return total;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const int before = controlPaints();
        QCoreApplication::processEvents();
        return controlPaints() == before;
    }));
    for (const auto &c : counters)
        c->paints = 0;
    // The paints of the client area, and the level the last of them showed.
    struct TShown : PaintCounter
    {
        explicit TShown(const TMerrowMainForm &form) : form(form) {}
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                levelA = form.fAudioLvlA;
            return PaintCounter::eventFilter(watched, event);
        }
        const TMerrowMainForm &form;
        int32_t levelA = -1;
    } area(Form());
    Client()->installEventFilter(&area);
    // Levels within the meters: a bar past the top of its meter reaches the labels above it.
    const QByteArray reports[] = {
        "2,300,20,0,0,0,0\r\n",   "2,2500,700,1,0,0,0\r\n",  "2,4096,4096,1,1,1,0\r\n",
        "2,3,5,0,1,1,1\r\n",      "2,1024,1024,0,0,0,1\r\n", "2,0,0,0,0,0,0\r\n",
        "2,4000,100,1,1,1,1\r\n", "2,40,4000,0,1,0,0\r\n",
    };
    for (const QByteArray &report : reports)
        Form().ReceiveBytes(report);
    // The reports came within one frame interval; its end shows the last of them.
    EXPECT_TRUE(QTest::qWaitFor([&] { return area.levelA == 40; }));
    EXPECT_GT(area.paints, 0);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(counters[i]->paints, 0) << controls[i]->objectName().toStdString();
        controls[i]->removeEventFilter(counters[i].get());
    }
    Client()->removeEventFilter(&area);
}

// The parameter poll reads the radio types back every cycle: a reply that repeats the shown
// type paints nothing, a new type lays out and repaints the client area.
TEST_F(DiagramWindow, RadioTypeRepliesRepaintOnlyForANewType)
{
    StopWindowTimers(Form());
    Form().ReceiveBytes("3,1,0\r\n3,2,0\r\n");
    PaintCounter area;
    Client()->installEventFilter(&area);
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const int before = area.paints;
        QCoreApplication::processEvents();
        return area.paints == before;
    }));
    struct TCase
    {
        const char *reply;
        int typeA, typeB;
        bool paints;
    };
    const TCase cases[] = {
        {"3,1,0\r\n", 0, 0, false}, {"3,2,0\r\n", 0, 0, false}, {"3,1,1\r\n", 1, 0, true},
        {"3,1,1\r\n", 1, 0, false}, {"3,2,3\r\n", 1, 3, true},  {"3,1,1\r\n3,2,3\r\n", 1, 3, false},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.reply);
        area.paints = 0;
        Form().ReceiveBytes(c.reply);
        // Whatever the reply asked for has been painted once the event loop is idle.
        for (int pass = 0; pass < 3; ++pass)
            QCoreApplication::processEvents();
        EXPECT_EQ(Form().cmb_RaAtype->currentIndex(), c.typeA);
        EXPECT_EQ(Form().cmb_RaBtype->currentIndex(), c.typeB);
        EXPECT_EQ(area.paints > 0, c.paints);
    }
    Client()->removeEventFilter(&area);
}

TEST(DiagramImage, IsPaintedAtTheDevicePixelRatioInLogicalCoordinates)
{
    const TDiagramGeometry g(1.0, 960);
    const QColor face(240, 240, 240);
    const QImage sharp = RenderDiagram(g, 699, TDiagramState{}, face, 2.0);
    ASSERT_EQ(sharp.size(), QSize(2 * 959, 2 * 698)) << "all but the last column and row";
    EXPECT_EQ(sharp.devicePixelRatio(), 2.0);
    EXPECT_EQ(Name(sharp.pixelColor(2 * 40, 2 * 120)), Name(LightBlue));
    EXPECT_EQ(Name(sharp.pixelColor(2 * 20, 2 * 380)), Name(Blue));
    // A 3-px pen is 6 device pixels wide: a line at the block's left edge stays as thick in
    // logical terms, it is not a blurred 3-px line scaled up.
    int blue = 0;
    for (int x = 2 * 15; x < 2 * 25; ++x)
        blue += sharp.pixelColor(x, 2 * 380).rgb() == Blue.rgb();
    EXPECT_EQ(blue, 6);

    const QImage plain = RenderDiagram(g, 699, TDiagramState{}, face, 1.0);
    ASSERT_EQ(plain.size(), QSize(959, 698));
    EXPECT_EQ(Name(plain.pixelColor(959 - 1, 698 - 1)), Name(face));
    EXPECT_TRUE(RenderDiagram(TDiagramGeometry(1.0, 1), 699, TDiagramState{}, face, 1.0).isNull());
}

} // namespace
