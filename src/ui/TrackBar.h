// SPDX-License-Identifier: MIT
// A slider that tells its owner about the user's gestures the way the parameter handlers need
// them:
//  - thumb drag: OnChanging(NewPos) for every new position, raised before the slider takes it
//    (Position() still reports the previous position while the handler runs), then OnChange
//    once when the button is released, also after a press and release without moving;
//  - keyboard steps (arrows, Page Up/Down, Home/End) and a press on the track (held: repeated
//    steps of 1 toward the pointer): OnChanging, then OnChange, for each step;
//  - a mouse-wheel step: OnChange only;
//  - SetPosition() from code: clamps to the range and raises neither.
// A step that cannot move (already at the end) raises nothing. OnChanging may refuse the move
// by clearing AllowChange; the slider then stays where it was.
// Vertical sliders have their minimum at the top, and the arrow keys and the wheel move the
// thumb the way they point.
#pragma once

#include <QSlider>

#include <chrono>
#include <functional>

class QTimer;

class TTrackBar : public QSlider
{
    Q_OBJECT
public:
    explicit TTrackBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    std::function<void(TTrackBar *Sender, int NewPos, bool &AllowChange)> OnChanging;
    std::function<void(TTrackBar *Sender)> OnChange;

    int Position() const { return value(); }
    void SetPosition(int position);
    // Where the thumb is drawn, in the slider's own coordinates.
    QRect ThumbRect() const;

    // A press held on the track steps once at once, again after the first delay, and then
    // at every repeat interval until the thumb reaches the pointer or the button is released.
    static constexpr std::chrono::milliseconds kTrackFirstRepeat{500};
    static constexpr std::chrono::milliseconds kTrackRepeat{50};

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    enum class TGesture
    {
        Drag,
        Step,
        Wheel
    };

    void ActionTriggered(int action);
    void RaiseChange();
    // -1, 0 or +1: which way a press at point lies from the thumb, in values.
    int DirectionToward(const QPoint &point) const;
    void TrackStep();
    void StopTrackPress();

    TGesture fGesture = TGesture::Drag;
    bool fTrackPressed = false;
    int fTrackDirection = 0;
    QPoint fTrackPoint;
    QTimer *fTrackTimer = nullptr;
};
