// SPDX-License-Identifier: MIT
#include "ui/TrackBar.h"

#include <QSignalBlocker>

TTrackBar::TTrackBar(Qt::Orientation orientation, QWidget *parent) : QSlider(orientation, parent)
{
}

void TTrackBar::SetPosition(int position)
{
    const QSignalBlocker blocker(this);
    setValue(position);
}
