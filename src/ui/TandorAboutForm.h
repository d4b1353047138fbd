// SPDX-License-Identifier: MIT
// The about box: product name, the program's four-part version, copyright and web address.
// It does not block the main window: the user goes on working while it is open.
#pragma once

#include <QDialog>
#include <QImage>

#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;
class TLabel;

// A four-part version number, major.minor.release.build.
struct TFileVersion
{
    uint16_t major = 0;
    uint16_t minor = 0;
    uint16_t release = 0;
    uint16_t build = 0;
};

// The version of the program file named, the running program when fileName is empty. The
// running program's version is the build's project version, compiled in; no other file is
// known to have one.
std::optional<TFileVersion> FileVersionOf(const QString &fileName);

// format with each "%d" replaced by the next part (major, minor, release, build) in decimal
// and "%%" by "%"; everything else, a fifth "%d" too, stays as it stands. The format is
// never handed to printf, so no format text can read past the four parts.
QString FormatVersion(const QString &format, const TFileVersion &version);

// FormatVersion with the version of fileName; empty text when the file has none.
QString FormatFileVersion(const QString &fileName, const QString &format);

// A picture drawn scaled to fit the widget with its proportions kept, centred, with its
// transparency.
class TImage : public QWidget
{
    Q_OBJECT
public:
    explicit TImage(QWidget *parent = nullptr);

    const QImage &Picture() const { return fPicture; }
    void SetPicture(const QImage &picture);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage fPicture;
};

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);

    QWidget *Panel1 = nullptr;
    TImage *Image1 = nullptr;
    TLabel *ProductName = nullptr; // takes the size of its text when the box is shown
    QLabel *Version = nullptr;
    QLabel *Copyright = nullptr;
    QLabel *WebAddress = nullptr;
    QPushButton *OKButton = nullptr;

    // The box is about to become visible: the version text is rebuilt.
    void FormShow();
    // Hides the box; the next "About..." shows the same box again.
    void OKButtonClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void CentreOverOwner();
};
