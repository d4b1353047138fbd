// SPDX-License-Identifier: MIT
// The client area of the main window (its central widget) and the labels laid on it. The
// diagram paints all of the client area; the controls sit on top of the painting.
#pragma once

#include "ui/diagram/DiagramPainter.h"

#include <QLabel>
#include <QList>
#include <QPointer>
#include <QWidget>

class TMerrowMainForm;

// A label as the window's design uses them:
//  - plain text only: what the interface sends (a serial number, a version) is shown as it
//    is and never interpreted as markup;
//  - a carriage return in the text starts a new line, as a line feed does (the delay labels
//    are written "PTT On filter\rdelay= 250ms");
//  - with AutoSize the label takes the size of its text whenever the text or the font changes
//    (the client area applies it), keeping its right edge when it is right-aligned and its
//    centre when it is centred. Without AutoSize it keeps its designed size and clips or
//    wraps within it.
class TLabel : public QLabel
{
    Q_OBJECT
public:
    explicit TLabel(const QString &text, QWidget *parent = nullptr);

    bool AutoSize() const { return fAutoSize; }
    void SetAutoSize(bool autoSize);
    // Resizes an AutoSize label to its text; does nothing for the others.
    void AdjustBounds();

    // The text as drawn: carriage returns (alone or before a line feed) become line breaks.
    static QString DisplayText(const QString &text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int TextFlags() const;
    bool fAutoSize = false;
};

class TClientArea : public QWidget
{
    Q_OBJECT
public:
    explicit TClientArea(TMerrowMainForm *form);

    // Keeps the widget's distance to the bottom edge when the client height changes.
    void AnchorToBottom(QWidget *widget);
    // Sets the client size; the bottom-anchored widgets follow at once, also while hidden.
    void SetClientSize(int w, int h);
    // True while the diagram is painting the client area.
    bool IsPainting() const { return fPainting; }
    // The part of the client area the paint under way covers.
    const QRegion &PaintingRegion() const { return fPaintingRegion; }
    // The diagram's picture, kept from paint to paint.
    TDiagramFrame &Frame() { return fFrame; }
    // Where the picture changed in a paint that did not reach that far: the next repaint of
    // the live indicators covers it.
    QRegion &Unshown() { return fUnshown; }

    // The last layout of the controls over the diagram, with what it was made from: the same
    // scale, radio types and control rectangles give the same layout, which need not be made
    // again on every status report.
    struct TLaidOut
    {
        bool valid = false;
        double s = 0;
        int typeA = 0;
        int typeB = 0;
        TControlRects from;
        TDiagramLayout layout;
    };
    TLaidOut &LaidOut() { return fLaidOut; }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void ApplyAnchors();
    void AdjustLabels();

    struct TBottomAnchor
    {
        QPointer<QWidget> widget;
        int placedForHeight; // the client height the widget was last placed for
    };

    TMerrowMainForm *fForm;
    QList<TBottomAnchor> fBottomAnchors;
    bool fPainting = false;
    QRegion fPaintingRegion;
    TDiagramFrame fFrame;
    QRegion fUnshown;
    TLaidOut fLaidOut;
};
