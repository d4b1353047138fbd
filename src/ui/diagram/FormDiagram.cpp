// SPDX-License-Identifier: MIT
#include "ui/TandorMain.h"

void TMerrowMainForm::FormPaint()
{}

void TMerrowMainForm::FormResize()
{}

void TMerrowMainForm::PaintDiagram()
{}

double TMerrowMainForm::ScreenScale() const
{
    return 1.0;
}
