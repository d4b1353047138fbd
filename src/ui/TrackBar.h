// SPDX-License-Identifier: MIT
// A slider that tells its owner about the user's gestures the way the parameter handlers need:
//  - OnChanging(NewPos) before each new position of a thumb drag, keyboard step or track step,
//    while Position() still reports the previous position;
//  - OnChange() once after the position is taken: at the end of a drag (also a press and
//    release without moving), after each keyboard or track step, after each wheel step
//    (a wheel step raises no OnChanging);
//  - SetPosition() from code clamps to the range and raises neither.
#pragma once

#include <QSlider>

#include <functional>

class TTrackBar : public QSlider
{
    Q_OBJECT
public:
    explicit TTrackBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    std::function<void(TTrackBar *Sender, int NewPos, bool &AllowChange)> OnChanging;
    std::function<void(TTrackBar *Sender)> OnChange;

    int Position() const { return value(); }
    void SetPosition(int position);
};
