// SPDX-License-Identifier: MIT
// The client area of the main window (its central widget). The diagram paints all of it.
#pragma once

#include <QWidget>

class TMerrowMainForm;

class TClientArea : public QWidget
{
    Q_OBJECT
public:
    explicit TClientArea(TMerrowMainForm *form);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    TMerrowMainForm *fForm;
};
