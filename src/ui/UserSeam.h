// SPDX-License-Identifier: MIT
// Everything that reaches the user outside the window's controls goes through this seam:
// message boxes, the yes/no question, the file dialogs, the beep and the application-wide
// cursor. The program uses TQtUserSeam; tests install a recorder so that nothing blocks.
#pragma once

#include <QPoint>
#include <QString>

class QFileDialog;
class QWidget;

enum class TMessageKind
{
    Plain,   // OK button only, no icon (settings-file messages)
    Warning, // warning box ("Could not open selected COM-port")
    Error,   // error box (a file that cannot be opened, an error nobody handled)
};

enum class TCursorKind
{
    Arrow,
    Wait
};

// How a file dialog is set up; the same object keeps the file chosen in it last.
struct TFileDialogConfig
{
    QString filter;        // "Tandor config files [*.tconf] (*.tconf)" in Qt's form
    QString defaultSuffix; // "tconf", appended when the user types a name without one
    QString initialDir;
    QString lastFile; // the file chosen in this dialog last, during this run
    bool fileMustExist = false;
    bool confirmOverwrite = false;
    bool resizable = true;
};

class TUserSeam
{
public:
    virtual ~TUserSeam() = default;

    // A modal message box with an OK button.
    virtual void ShowMessage(QWidget *parent, TMessageKind kind, const QString &text) = 0;
    // A modal Yes/No question with a question icon, its top-left corner at topLeft.
    virtual bool AskYesNo(QWidget *parent, const QString &text, const QPoint &topLeft) = 0;
    // Modal file dialogs; an empty result means the user cancelled.
    virtual QString GetOpenFileName(QWidget *parent, TFileDialogConfig &config) = 0;
    virtual QString GetSaveFileName(QWidget *parent, TFileDialogConfig &config) = 0;
    virtual void Beep() = 0;
    virtual void SetCursor(TCursorKind cursor) = 0;
};

// Sets a Qt file dialog up as config says, for saving or for opening.
void ConfigureFileDialog(QFileDialog &dialog, const TFileDialogConfig &config, bool save);

// The seam the program itself uses: Qt's message boxes, dialogs, beep and override cursor.
class TQtUserSeam : public TUserSeam
{
public:
    ~TQtUserSeam() override;
    void ShowMessage(QWidget *parent, TMessageKind kind, const QString &text) override;
    bool AskYesNo(QWidget *parent, const QString &text, const QPoint &topLeft) override;
    QString GetOpenFileName(QWidget *parent, TFileDialogConfig &config) override;
    QString GetSaveFileName(QWidget *parent, TFileDialogConfig &config) override;
    void Beep() override;
    void SetCursor(TCursorKind cursor) override;

private:
    bool fCursorOverridden = false;
};
