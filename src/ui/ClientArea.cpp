// SPDX-License-Identifier: MIT
#include "ui/ClientArea.h"

#include "ui/TandorMain.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QStyle>

TLabel::TLabel(const QString &text, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
}

void TLabel::SetAutoSize(bool autoSize)
{
    fAutoSize = autoSize;
    AdjustBounds();
}

QString TLabel::DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int TLabel::TextFlags() const
{
    return int(QStyle::visualAlignment(layoutDirection(), alignment())) |
           (wordWrap() ? int(Qt::TextWordWrap) : 0);
}

QSize TLabel::sizeHint() const
{
    // QLabel breaks lines at line feeds only; measure the text as it is drawn here.
    if (!text().contains(QLatin1Char('\r')))
        return QLabel::sizeHint();
    const QFontMetrics metrics(font());
    const int flags = (TextFlags() & ~int(Qt::AlignVertical_Mask)) | int(Qt::AlignTop);
    const QRect bounds = metrics.boundingRect(QRect(0, 0, 2000, 2000), flags, DisplayText(text()));
    const QMargins frame = contentsMargins();
    return bounds.size() + QSize(frame.left() + frame.right() + 2 * margin(),
                                 frame.top() + frame.bottom() + 2 * margin());
}

void TLabel::AdjustBounds()
{
    if (!fAutoSize)
        return;
    const QSize wanted = sizeHint();
    const QRect now = geometry();
    if (wanted == now.size())
        return;
    // A right-aligned label keeps its right edge and a centred one its centre, so the text
    // stays where the design put it.
    int left = now.left();
    if (alignment() & Qt::AlignRight)
        left = now.left() + now.width() - wanted.width();
    else if (alignment() & Qt::AlignHCenter)
        left = now.left() + (now.width() - wanted.width()) / 2;
    setGeometry(QRect(QPoint(left, now.top()), wanted));
}

void TLabel::paintEvent(QPaintEvent *event)
{
    if (!text().contains(QLatin1Char('\r'))) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    style()->drawItemText(&painter, area, TextFlags(), palette(), isEnabled(), DisplayText(text()),
                          foregroundRole());
}

TClientArea::TClientArea(TMerrowMainForm *form) : QWidget(form), fForm(form)
{
    setObjectName(QStringLiteral("ClientArea"));
    // The diagram covers everything once it paints; until then the area shows button face.
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

void TClientArea::AnchorToBottom(QWidget *widget)
{
    fBottomAnchors.append({widget, height()});
}

void TClientArea::SetClientSize(int w, int h)
{
    setFixedSize(w, h);
    // A hidden widget gets its resize event only when it is shown; place the anchored
    // widgets now, so that they are right whatever happens first.
    ApplyAnchors();
}

void TClientArea::ApplyAnchors()
{
    for (TBottomAnchor &anchor : fBottomAnchors) {
        const int delta = height() - anchor.placedForHeight;
        anchor.placedForHeight = height();
        if (anchor.widget && delta != 0)
            anchor.widget->move(anchor.widget->x(), anchor.widget->y() + delta);
    }
}

void TClientArea::AdjustLabels()
{
    for (TLabel *label : findChildren<TLabel *>(Qt::FindDirectChildrenOnly))
        label->AdjustBounds();
}

bool TClientArea::event(QEvent *event)
{
    // A child whose size hint changed (a label's new text or font, a label being shown)
    // posts a layout request to its parent; the auto-sized labels follow their text here.
    if (event->type() == QEvent::LayoutRequest)
        AdjustLabels();
    return QWidget::event(event);
}

void TClientArea::paintEvent(QPaintEvent *event)
{
    fPainting = true;
    fPaintingRegion = event->region();
    const auto done = qScopeGuard([this] {
        fPainting = false;
        fPaintingRegion = QRegion();
    });
    fForm->FormPaint();
}

void TClientArea::resizeEvent(QResizeEvent *)
{
    ApplyAnchors();
    fForm->FormResize();
}

void TClientArea::showEvent(QShowEvent *event)
{
    AdjustLabels();
    QWidget::showEvent(event);
}
