// SPDX-License-Identifier: MIT
#include "ui/TandorAboutForm.h"

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent) {}
