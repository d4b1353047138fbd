// SPDX-License-Identifier: MIT
// The about box: its layout, the version it shows, and how it is shown and hidden without
// blocking the main window.
#include "TandorVersion.h"
#include "support/RecordingSeam.h"
#include "ui/ClientArea.h"
#include "ui/TandorAboutForm.h"
#include "ui/TandorMain.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <memory>

namespace {

QString ProgramVersion()
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(TANDOR_VERSION_MAJOR + 0)
        .arg(TANDOR_VERSION_MINOR + 0)
        .arg(TANDOR_VERSION_PATCH + 0)
        .arg(TANDOR_VERSION_TWEAK + 0);
}

TEST(FormatVersion, FillsTheFourPartsInOrder)
{
    struct Row
    {
        const char *name;
        const char *format;
        TFileVersion version;
        const char *expected;
    };
    const Row rows[] = {
        {"four parts", "%d.%d.%d.%d", {2, 0, 1, 0}, "2.0.1.0"},
        {"largest parts stay unsigned",
         "%d.%d.%d.%d",
         {65535, 65535, 0, 65535},
         "65535.65535.0.65535"},
        {"text around the parts", "v%d-%d (%d/%d)", {1, 2, 3, 4}, "v1-2 (3/4)"},
        {"fewer parts than four", "%d.%d", {7, 8, 9, 10}, "7.8"},
        {"a fifth part has no value", "%d.%d.%d.%d.%d", {1, 2, 3, 4}, "1.2.3.4.%d"},
        {"percent sign", "%d%%", {5, 0, 0, 0}, "5%"},
        {"other conversions are text", "%s %x %n %d", {3, 0, 0, 0}, "%s %x %n 3"},
        {"trailing percent", "%d %", {3, 0, 0, 0}, "3 %"},
        {"empty format", "", {1, 2, 3, 4}, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(FormatVersion(QString::fromLatin1(row.format), row.version),
                  QString::fromLatin1(row.expected));
    }
}

TEST(FormatFileVersion, TheRunningProgramHasTheProjectVersionAndOtherFilesNone)
{
    const QString format = QStringLiteral("%d.%d.%d.%d");
    EXPECT_EQ(FormatFileVersion(QString(), format), ProgramVersion());
    EXPECT_EQ(FormatFileVersion(QCoreApplication::applicationFilePath(), format), ProgramVersion());
    EXPECT_EQ(FormatFileVersion(QStringLiteral("/bin/sh"), format), QString());
    EXPECT_EQ(FormatFileVersion(QStringLiteral("/no/such/program"), format), QString());
}

TEST(AboutBox, HasItsDesignedLayout)
{
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(box.size(), QSize(296, 287));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    for (Qt::WindowType button : {Qt::WindowSystemMenuHint, Qt::WindowCloseButtonHint,
                                  Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint})
        EXPECT_FALSE(flags & button) << button;

    struct Row
    {
        QWidget *widget;
        const char *name;
        QWidget *parent;
        QRect rect;
        QString text;
    };
    const Row rows[] = {
        {box.Panel1, "Panel1", &box, {8, 8, 281, 237}, QString()},
        {box.Image1, "Image1", box.Panel1, {91, 12, 104, 105}, QString()},
        {box.ProductName,
         "ProductName",
         box.Panel1,
         {81, 133, 118, 22},
         QStringLiteral("Tandor Setup")},
        {box.Version, "Version", box.Panel1, {75, 159, 129, 13}, QStringLiteral("Version 0.0.0")},
        {box.Copyright, "Copyright", box.Panel1, {16, 192, 249, 13}, box.Copyright->text()},
        {box.WebAddress, "WebAddress", box.Panel1, {36, 208, 209, 15}, box.WebAddress->text()},
        {box.OKButton, "OKButton", &box, {111, 252, 75, 25}, QStringLiteral("OK")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.widget->objectName(), QString::fromLatin1(row.name));
        EXPECT_EQ(row.widget->parentWidget(), row.parent);
        EXPECT_EQ(row.widget->geometry(), row.rect);
        if (auto *label = qobject_cast<QLabel *>(row.widget)) {
            EXPECT_EQ(label->text(), row.text);
        }
    }
    EXPECT_FALSE(box.Copyright->text().isEmpty());
    EXPECT_FALSE(box.WebAddress->text().isEmpty());
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.ProductName->font().pixelSize(), 19);
    EXPECT_TRUE(box.ProductName->font().bold());

    // The product picture is built in, 256 px square with transparency.
    EXPECT_EQ(box.Image1->Picture().size(), QSize(256, 256));
    EXPECT_TRUE(box.Image1->Picture().hasAlphaChannel());
}

TEST(AboutBox, PaintsItsPanelWhiteInsideTheBevelsOnTheDialogsButtonFace)
{
    TAboutBox box;
    const QImage picture = box.grab().toImage();
    const QColor face = box.palette().color(QPalette::Button);
    ASSERT_NE(face.rgb(), QColor(Qt::white).rgb()) << "the test needs a grey button face";
    // Inside the bevels, away from the picture and the texts; the box's own margin.
    for (const QPoint at :
         {QPoint(8 + 10, 8 + 10), QPoint(8 + 270, 8 + 120), QPoint(8 + 140, 8 + 228)})
        EXPECT_EQ(picture.pixelColor(at).name().toStdString(), "#ffffff")
            << at.x() << "," << at.y();
    EXPECT_EQ(picture.pixelColor(QPoint(3, 3)).name().toStdString(), face.name().toStdString());
    EXPECT_EQ(picture.pixelColor(QPoint(150, 282)).name().toStdString(), face.name().toStdString());
}

class AboutBoxShown : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = std::make_unique<TMerrowMainForm>(new TRecordingSeam);
        box = new TAboutBox(form.get());
        form->SetAboutBox(box);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        // The first paint sets the client size; let the window take it before the box is
        // placed over it.
        ASSERT_TRUE(QTest::qWaitFor([this] {
            return form->ClientArea->geometry().bottom() == form->height() - 1 &&
                   form->size() == form->minimumSize();
        }));
    }

    void ShowFromMenu()
    {
        form->mnAbout->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    }

    std::unique_ptr<TMerrowMainForm> form;
    TAboutBox *box = nullptr;
};

TEST_F(AboutBoxShown, AboutShowsTheVersionWithoutBlockingTheWindow)
{
    EXPECT_FALSE(box->isVisible());
    ShowFromMenu();
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->Version->text(), QStringLiteral("Version: ") + ProgramVersion());
    // The product name is whole in whatever font stands in for Arial, centred as designed.
    EXPECT_GE(box->ProductName->width(),
              box->ProductName->fontMetrics().horizontalAdvance(box->ProductName->text()));
    EXPECT_LE(std::abs(box->ProductName->geometry().center().x() - (81 + 118 / 2)), 1);
    EXPECT_FALSE(box->isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    // The main window goes on taking input while the box is open.
    EXPECT_TRUE(form->isEnabled());
    EXPECT_TRUE(form->btClose->isEnabled());
}

TEST_F(AboutBoxShown, BoxIsCentredOverTheWindowEachTimeItIsShown)
{
    const auto centred = [this] {
        const QPoint offset = box->frameGeometry().center() - form->frameGeometry().center();
        return offset.manhattanLength() <= 1;
    };
    ShowFromMenu();
    EXPECT_TRUE(centred());
    box->OKButton->click();

    form->move(form->pos() + QPoint(37, 23));
    ASSERT_TRUE(QTest::qWaitFor([this] { return form->pos().x() > 200; }));
    ShowFromMenu();
    EXPECT_TRUE(centred());
}

TEST_F(AboutBoxShown, VersionIsRebuiltOnlyWhenTheBoxBecomesVisible)
{
    ShowFromMenu();
    box->Version->setText(QStringLiteral("marker"));
    // "About..." on an open box only brings it to the front.
    form->mnAbout->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(box->Version->text(), QStringLiteral("marker"));

    box->OKButton->click();
    ShowFromMenu();
    EXPECT_EQ(box->Version->text(), QStringLiteral("Version: ") + ProgramVersion());
}

TEST_F(AboutBoxShown, OkAndEnterHideTheBoxAndItCanBeShownAgain)
{
    ShowFromMenu();
    QTest::mouseClick(box->OKButton, Qt::LeftButton);
    EXPECT_FALSE(box->isVisible());

    ShowFromMenu();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());

    ShowFromMenu();
    EXPECT_TRUE(box->isVisible());
}

} // namespace
