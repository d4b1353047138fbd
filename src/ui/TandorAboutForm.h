// SPDX-License-Identifier: MIT
// The about box: product name, the program's four-part version, copyright and web address.
// It does not block the main window.
#pragma once

#include <QDialog>

class QLabel;

class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget *parent = nullptr);
};
