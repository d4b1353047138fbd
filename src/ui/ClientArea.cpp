// SPDX-License-Identifier: MIT
#include "ui/ClientArea.h"

#include "ui/TandorMain.h"

TClientArea::TClientArea(TMerrowMainForm *form) : QWidget(form), fForm(form) {}

void TClientArea::paintEvent(QPaintEvent *)
{
    fForm->FormPaint();
}

void TClientArea::resizeEvent(QResizeEvent *)
{
    fForm->FormResize();
}
