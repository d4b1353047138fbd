// SPDX-License-Identifier: MIT
#include "ui/TrackBar.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

TTrackBar::TTrackBar(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent), fTrackTimer(new QTimer(this))
{
    // The handlers rely on hearing about every position of a drag, not only the last one.
    setTracking(true);
    if (orientation == Qt::Vertical) {
        // Position 0 sits at the top; Up and the wheel turned away from the user then move the
        // thumb up, toward the smaller positions.
        setInvertedAppearance(true);
        setInvertedControls(true);
    }
    fTrackTimer->setObjectName(QStringLiteral("trackRepeat"));
    connect(fTrackTimer, &QTimer::timeout, this, [this] {
        fTrackTimer->setInterval(kTrackRepeat);
        TrackStep();
    });
    // actionTriggered comes after the slider position moved but before the value follows it,
    // which is exactly the moment OnChanging belongs to.
    connect(this, &QAbstractSlider::actionTriggered, this, &TTrackBar::ActionTriggered);
    connect(this, &QAbstractSlider::sliderReleased, this, &TTrackBar::RaiseChange);
}

void TTrackBar::SetPosition(int position)
{
    // setValue never raises actionTriggered or sliderReleased, so nothing reaches the owner.
    setValue(position);
}

void TTrackBar::ActionTriggered(int)
{
    if (fGesture == TGesture::Wheel)
        return;
    const int newPos = sliderPosition();
    if (newPos == value())
        return;
    bool allowChange = true;
    if (OnChanging)
        OnChanging(this, newPos, allowChange);
    if (!allowChange)
        setSliderPosition(value());
}

void TTrackBar::RaiseChange()
{
    if (OnChange)
        OnChange(this);
}

QRect TTrackBar::ThumbRect() const
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
}

int TTrackBar::DirectionToward(const QPoint &point) const
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    const QRect handle = ThumbRect();
    const bool horizontal = orientation() == Qt::Horizontal;
    const int at = horizontal ? point.x() : point.y();
    const int first = horizontal ? handle.left() : handle.top();
    const int last = horizontal ? handle.right() : handle.bottom();
    int towardEnd = 0; // +1: toward the right or bottom end of the control
    if (at < first)
        towardEnd = -1;
    else if (at > last)
        towardEnd = 1;
    // upsideDown: the larger values lie toward the left or top.
    return opt.upsideDown ? -towardEnd : towardEnd;
}

void TTrackBar::TrackStep()
{
    if (!fTrackPressed)
        return;
    // The thumb stops once it has reached the pointer.
    if (fTrackDirection == 0 || DirectionToward(fTrackPoint) != fTrackDirection) {
        fTrackTimer->stop();
        return;
    }
    const int before = value();
    fGesture = TGesture::Step;
    triggerAction(fTrackDirection > 0 ? SliderSingleStepAdd : SliderSingleStepSub);
    fGesture = TGesture::Drag;
    if (value() != before)
        RaiseChange();
}

void TTrackBar::StopTrackPress()
{
    fTrackPressed = false;
    fTrackDirection = 0;
    fTrackTimer->stop();
}

void TTrackBar::mousePressEvent(QMouseEvent *event)
{
    if (fTrackPressed) {
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
        minimum() < maximum() && !isSliderDown()) {
        QStyleOptionSlider opt;
        initStyleOption(&opt);
        const QPoint point = event->position().toPoint();
        const QStyle::SubControl hit =
            style()->hitTestComplexControl(QStyle::CC_Slider, &opt, point, this);
        if (hit != QStyle::SC_SliderHandle) {
            // A press beside the thumb steps by 1 toward the pointer, and keeps stepping
            // while it is held, whatever the style would do with it (page or jump).
            event->accept();
            fTrackPressed = true;
            fTrackPoint = point;
            fTrackDirection = DirectionToward(point);
            TrackStep();
            if (fTrackPressed && fTrackDirection != 0 &&
                DirectionToward(fTrackPoint) == fTrackDirection)
                fTrackTimer->start(kTrackFirstRepeat);
            return;
        }
    }
    QSlider::mousePressEvent(event);
}

void TTrackBar::mouseMoveEvent(QMouseEvent *event)
{
    if (fTrackPressed) {
        fTrackPoint = event->position().toPoint();
        event->accept();
        return;
    }
    QSlider::mouseMoveEvent(event);
}

void TTrackBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (fTrackPressed) {
        if (event->button() == Qt::LeftButton)
            StopTrackPress();
        event->accept();
        return;
    }
    QSlider::mouseReleaseEvent(event);
}

void TTrackBar::keyPressEvent(QKeyEvent *event)
{
    const int before = value();
    fGesture = TGesture::Step;
    QSlider::keyPressEvent(event);
    fGesture = TGesture::Drag;
    if (value() != before)
        RaiseChange();
}

void TTrackBar::wheelEvent(QWheelEvent *event)
{
    const int before = value();
    fGesture = TGesture::Wheel;
    QSlider::wheelEvent(event);
    fGesture = TGesture::Drag;
    if (value() != before)
        RaiseChange();
}

void TTrackBar::hideEvent(QHideEvent *event)
{
    // A slider hidden under the pointer never sees the button's release (the diagram hides
    // the controls of a radio type that is no longer selected). End the gesture here, so a
    // drag still gets its OnChange and its owner stops treating the slider as held.
    StopTrackPress();
    if (isSliderDown())
        setSliderDown(false);
    QSlider::hideEvent(event);
}
