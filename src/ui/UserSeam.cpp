// SPDX-License-Identifier: MIT
#include "ui/UserSeam.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

TQtUserSeam::~TQtUserSeam()
{
    if (fCursorOverridden)
        QApplication::restoreOverrideCursor();
}

void TQtUserSeam::ShowMessage(QWidget *parent, TMessageKind kind, const QString &text)
{
    QMessageBox box(parent);
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    switch (kind) {
    case TMessageKind::Plain:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case TMessageKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case TMessageKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.exec();
}

bool TQtUserSeam::AskYesNo(QWidget *parent, const QString &text, const QPoint &topLeft)
{
    QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.move(topLeft);
    return box.exec() == QMessageBox::Yes;
}

void ConfigureFileDialog(QFileDialog &dialog, const TFileDialogConfig &config, bool save)
{
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(config.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The filter list shows the description alone, "Tandor config files [*.tconf]"; the
    // pattern in parentheses only selects the files.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilter(config.filter);
    dialog.setDefaultSuffix(config.defaultSuffix);
    dialog.setDirectory(config.initialDir);
    if (!config.lastFile.isEmpty())
        dialog.selectFile(config.lastFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !config.confirmOverwrite);
    dialog.setSizeGripEnabled(config.resizable);
}

static QString RunFileDialog(QWidget *parent, TFileDialogConfig &config, bool save)
{
    QFileDialog dialog(parent);
    ConfigureFileDialog(dialog, config, save);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    config.lastFile = dialog.selectedFiles().constFirst();
    return config.lastFile;
}

QString TQtUserSeam::GetOpenFileName(QWidget *parent, TFileDialogConfig &config)
{
    return RunFileDialog(parent, config, false);
}

QString TQtUserSeam::GetSaveFileName(QWidget *parent, TFileDialogConfig &config)
{
    return RunFileDialog(parent, config, true);
}

void TQtUserSeam::Beep()
{
    QApplication::beep();
}

// One override cursor for the whole application, switched between arrow and wait.
void TQtUserSeam::SetCursor(TCursorKind cursor)
{
    const Qt::CursorShape shape = cursor == TCursorKind::Wait ? Qt::WaitCursor : Qt::ArrowCursor;
    if (fCursorOverridden)
        QApplication::changeOverrideCursor(QCursor(shape));
    else
        QApplication::setOverrideCursor(QCursor(shape));
    fCursorOverridden = true;
}
