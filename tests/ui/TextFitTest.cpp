// SPDX-License-Identifier: MIT
// Every text of the main window against the control that holds it, in the font each control
// actually got: with both radios in every radio type, the widest values the controls can show
// and the prompts of the com-type and baud-rate lists, no label, list or button text is wider
// than the room its control gives it, and no two texts lie on each other. The same program runs
// once on a 96-dpi screen and once on a 144-dpi one (Qt scales the window by 1.5 there); each run
// also lays the diagram out for s = 1.5.
#include "support/RecordingSeam.h"
#include "support/WindowTimers.h"
#include "ui/ClientArea.h"
#include "ui/ComboBox.h"
#include "ui/DesignedFonts.h"
#include "ui/TandorAboutForm.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>
#include <span>
#include <sstream>
#include <vector>

namespace {

// Where a control's text is drawn and the room the control gives it, in the coordinates of
// `area`. Lists and buttons are opaque: for them `body` is the whole control, which no other
// text may cover; for a label it is the text itself.
struct TTextPlace
{
    QString name;
    QString text;
    QString family; // the face the control's font resolved to
    QRect text_rect;
    QRect room;
    QRect body;
};

QRect InArea(const QWidget *widget, const QWidget *area, const QRect &rect)
{
    return rect.translated(widget->mapTo(area, QPoint(0, 0)));
}

std::optional<TTextPlace> LabelPlace(const QLabel *label, const QWidget *area)
{
    const QString text = TLabel::DisplayText(label->text());
    if (text.trimmed().isEmpty())
        return std::nullopt;
    const int m = label->margin();
    const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
    const int flags = int(QStyle::visualAlignment(label->layoutDirection(), label->alignment())) |
                      (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    // Laid out in the label's own room: a line or a word too wide for it sticks out of it.
    const QRect drawn = label->fontMetrics().boundingRect(room, flags, text);
    TTextPlace place{label->objectName(),
                     text,
                     QFontInfo(label->font()).family(),
                     InArea(label, area, drawn),
                     InArea(label, area, room),
                     InArea(label, area, drawn)};
    return place;
}

std::optional<TTextPlace> ComboPlace(const QComboBox *combo, const QWidget *area)
{
    const QString text = combo->currentText();
    if (text.isEmpty())
        return std::nullopt;
    QRect room;
    const QWidget *owner = combo;
    if (const QLineEdit *edit = combo->lineEdit()) {
        // The line edit scrolls its text (and the prompt loses its first letters) as soon
        // as the text is wider than its contents less the text margins and the 2-px margin
        // it keeps at each side.
        room = edit->contentsRect().marginsRemoved(edit->textMargins()).adjusted(2, 0, -2, 0);
        owner = edit;
    } else {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = false;
        option.frame = combo->hasFrame();
        option.currentText = text;
        room =
            combo->style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                .adjusted(1, 0, -1, 0);
    }
    const int width = combo->fontMetrics().horizontalAdvance(text);
    const QRect drawn(room.left(), room.top(), width, room.height());
    TTextPlace place{combo->objectName(),
                     text,
                     QFontInfo(combo->font()).family(),
                     InArea(owner, area, drawn),
                     InArea(owner, area, room),
                     InArea(combo, area, combo->rect())};
    return place;
}

std::optional<TTextPlace> ButtonPlace(const QPushButton *button, const QWidget *area)
{
    const QString text = button->text();
    if (text.isEmpty())
        return std::nullopt;
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    const QRect room =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    const int width = button->fontMetrics().horizontalAdvance(text);
    const QRect drawn(room.center().x() - width / 2, room.top(), width, room.height());
    TTextPlace place{button->objectName(),
                     text,
                     QFontInfo(button->font()).family(),
                     InArea(button, area, drawn),
                     InArea(button, area, room),
                     InArea(button, area, button->rect())};
    return place;
}

// The text-bearing controls of `area` that are visible now.
std::vector<TTextPlace> VisibleTexts(const QWidget *area)
{
    std::vector<TTextPlace> places;
    for (const QWidget *child : area->findChildren<QWidget *>()) {
        if (!child->isVisibleTo(area))
            continue;
        std::optional<TTextPlace> place;
        if (const auto *label = qobject_cast<const QLabel *>(child))
            place = LabelPlace(label, area);
        else if (const auto *combo = qobject_cast<const QComboBox *>(child))
            place = ComboPlace(combo, area);
        else if (const auto *button = qobject_cast<const QPushButton *>(child))
            place = ButtonPlace(button, area);
        if (place)
            places.push_back(*place);
    }
    return places;
}

std::string Describe(const QRect &r)
{
    std::ostringstream out;
    out << "(" << r.x() << ", " << r.y() << ") " << r.width() << " x " << r.height();
    return out.str();
}

std::string Quoted(const QString &text)
{
    return '"' + QString(text).replace(QLatin1Char('\n'), QStringLiteral("\\n")).toStdString() +
           '"';
}

// Two controls whose texts the window's own layout lets meet: the serial-number label grows
// to the right from x 662 and the version label starts at x 766, so a serial number of more
// than ten characters reaches the version in Tahoma itself.
struct TDesignedOverlap
{
    const char *first;
    const char *second;
};

bool IsDesignedOverlap(const TTextPlace &a, const TTextPlace &b,
                       std::span<const TDesignedOverlap> allowed)
{
    for (const TDesignedOverlap &o : allowed) {
        if ((a.name == QLatin1String(o.first) && b.name == QLatin1String(o.second)) ||
            (a.name == QLatin1String(o.second) && b.name == QLatin1String(o.first)))
            return true;
    }
    return false;
}

// Checks every visible text of `area`; `state` names the situation in the messages.
void ExpectTextsFit(const QWidget *area, const std::string &state,
                    std::span<const TDesignedOverlap> allowed = {})
{
    const std::vector<TTextPlace> places = VisibleTexts(area);
    ASSERT_FALSE(places.empty()) << state;
    for (const TTextPlace &p : places) {
        EXPECT_TRUE(p.room.contains(p.text_rect))
            << state << ": " << p.name.toStdString() << " " << Quoted(p.text) << " in "
            << p.family.toStdString() << " needs " << Describe(p.text_rect) << ", has "
            << Describe(p.room);
    }
    for (std::size_t i = 0; i < places.size(); ++i) {
        for (std::size_t j = i + 1; j < places.size(); ++j) {
            const TTextPlace &a = places[i];
            const TTextPlace &b = places[j];
            if (IsDesignedOverlap(a, b, allowed))
                continue;
            EXPECT_FALSE(a.body.intersects(b.body))
                << state << ": " << a.name.toStdString() << " " << Quoted(a.text) << " at "
                << Describe(a.body) << " overlaps " << b.name.toStdString() << " " << Quoted(b.text)
                << " at " << Describe(b.body);
        }
    }
}

const QString kLongSerial = QStringLiteral("TS 000123456"); // 12 characters
const TDesignedOverlap kLongSerialReachesTheVersion[] = {{"lbSerial", "lbVersion"}};

class TextFit : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { UseDesignedFonts(); }

    void SetUp() override
    {
        seam = new TRecordingSeam;
        form = std::make_unique<TMerrowMainForm>(seam);
        StopWindowTimers(*form);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void Set(const char *name, int32_t value)
    {
        const int nr = form->FindSettingIndex(QString::fromLatin1(name));
        ASSERT_GE(nr, 0) << name;
        form->SettingsData[nr].Setter(value, nr);
    }

    // What a connected unit with every slider at its widest reading makes the window show.
    void ShowWidestValues()
    {
        form->ShowSerialNumber(kLongSerial);
        form->VersionReceived(QStringLiteral("2"), QStringLiteral("10"));
        form->PeiStatusReceived(QStringLiteral("1"), QStringLiteral("1"));
        for (const char *gain : {"GainA", "GainB"})
            Set(gain, 20); // 25 dB
        for (const char *gain : {"LevelDetGainA", "LevelDetGainB"})
            Set(gain, 255);
        for (const char *delay : {"PTTOnDelayA", "PTTOnDelayB", "PTTOffDelayA", "PTTOffDelayB"})
            Set(delay, 1500);
        // After the first store the button keeps this caption.
        form->tmSaveIndicationTimer();
    }

    TRecordingSeam *seam = nullptr;
    std::unique_ptr<TMerrowMainForm> form;
};

TEST_F(TextFit, EveryTextOfTheMainWindowFitsItsControlInEveryRadioType)
{
    ShowWidestValues();
    // 0 follows the screen: s = 1 on either test screen, Qt scaling the 144-dpi one.
    for (const double scale : {0.0, 1.5}) {
        form->SetScreenScale(scale);
        for (int typeA = 0; typeA < 6; ++typeA) {
            for (int typeB = 0; typeB < 6; ++typeB) {
                form->SetRaAtype(typeA, 1);
                form->SetRaBtype(typeB, 2);
                form->RepaintNow();
                QCoreApplication::processEvents();
                std::ostringstream state;
                state << "s " << form->ScreenScale() << " (device pixel ratio "
                      << form->devicePixelRatioF() << "), types " << typeA << "/" << typeB;
                ExpectTextsFit(form->ClientArea, state.str(), kLongSerialReachesTheVersion);
                if (HasFailure())
                    return; // one state's messages are enough to read
            }
        }
    }
}

TEST_F(TextFit, ASerialNumberOfUpToTenCharactersStaysClearOfTheVersion)
{
    ShowWidestValues();
    for (const char *serial : {"TS 000123", "TS 0001234"}) {
        form->ShowSerialNumber(QString::fromLatin1(serial));
        form->RepaintNow();
        QCoreApplication::processEvents();
        ExpectTextsFit(form->ClientArea, std::string("serial ") + serial);
    }
}

TEST_F(TextFit, TheProgramGetsTheDesignedFaces)
{
    // Each family the window and the about box ask for resolves to a face of that name or to
    // the free face made to its metrics, never to a wider stand-in picked by fontconfig.
    for (const TDesignedFace &face : DesignedFaces()) {
        const QFontInfo got(QFont(QString::fromLatin1(face.family), 8));
        EXPECT_TRUE(got.family() == QString::fromLatin1(face.family) ||
                    got.family() == QString::fromLatin1(face.standIn))
            << face.family << " resolved to " << got.family().toStdString();
    }
}

TEST_F(TextFit, EveryTextOfTheAboutBoxFitsItsControl)
{
    TAboutBox box(form.get());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    ExpectTextsFit(&box, "about box");
}

} // namespace
