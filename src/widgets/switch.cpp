#include "widgets/switch.h"

#include "widgets/finishedentry.h"
#include "widgets/utils/widgetutils.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

Switch::Switch(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking);
}

void Switch::setItems(const QStringList& newItems)
{
    if (items.isSharedWith(newItems))
        return;
    items = newItems;
}

void Switch::setCurrentIndex(int index, bool emitSignal)
{
    if (index < 0 || index >= count())
        index = -1;
    if (index == current)
        return;
    current = index;
    if (emitSignal)
        emit currentChanged(current);
    if (isVisible())
        repaint();
}

int Switch::hitIndex(const QPoint& point) const
{
    if (!rect().contains(point) || width() == 0)
        return -1;
    // The segment whose painted columns hold the point: floor(x * n / W) would give a boundary
    // column to the segment left of the one painted there.
    const int index = ((point.x() + 1) * count() - 1) / width();
    return index >= 0 && index < count() ? index : -1;
}

void Switch::mousePressEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton)
        return;
    // The click takes no focus from the box, which would enter its value only after the choice
    // and perhaps for the records the choice brings into view.
    { const FinishedEntry entry(window()); }
    press = hitIndex(event->localPos().toPoint());
    if (press != current)
        pressed = true;
}

void Switch::mouseReleaseEvent(QMouseEvent* event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton || !pressed)
        return;
    pressed = false;
    if (hitIndex(event->localPos().toPoint()) != press)
        return;
    // The program may have shown the pressed segment meanwhile, from a reading; the click is
    // still the user's choice and is told.
    if (press == current)
        emit currentChanged(current);
    else
        setCurrentIndex(press, true);
}

void Switch::mouseMoveEvent(QMouseEvent* event)
{
    if (!isEnabled())
        return;
    const int index = hitIndex(event->localPos().toPoint());
    if (index == hover)
        return;
    hover = index;
    repaint();
}

void Switch::enterEvent(QEvent*)
{
    if (isEnabled())
        hover = -1;
}

void Switch::leaveEvent(QEvent*)
{
    if (!isEnabled())
        return;
    const bool hadHover = hover >= 0 && hover < count();
    hover = -1;
    pressed = false;
    if (hadHover)
        repaint();
}

bool Switch::isHoverBeforeCurrent() const
{
    return hover >= 0 && hover < count() && hover == current - 1;
}

bool Switch::isHoverAfterCurrent() const
{
    return hover >= 0 && hover < count() && current >= 0 && hover == current + 1;
}

int Switch::segmentLeft(int i) const
{
    return i * width() / count();
}

int Switch::segmentRight(int i) const
{
    return (i + 1) * width() / count() - 1;
}

void Switch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const qreal radius = height() / 2;
    QPainterPath bar;
    bar.addRoundedRect(QRectF(0, 0, width(), height()), radius, radius, Qt::AbsoluteSize);
    painter.fillPath(bar, palette().color(group, QPalette::Button));

    const bool adjacent = isHoverBeforeCurrent() || isHoverAfterCurrent();
    for (int i = 0; i < count(); ++i)
        paintSegment(painter, i, adjacent, group);
}

void Switch::paintSegment(QPainter& painter, int i, bool adjacent, QPalette::ColorGroup group)
{
    const int left = segmentLeft(i);
    const int right = segmentRight(i);
    const int h = height();
    const qreal radius = h / 2;
    const QRect segment(QPoint(left, 0), QPoint(right, h - 1));
    const QColor hoverFill = palette().color(QPalette::Active, QPalette::ToolTipBase);
    QColor text = palette().color(group, QPalette::ButtonText);

    if (i == current) {
        if (adjacent)
            painter.fillRect(isHoverBeforeCurrent() ? leftHalf(segment) : rightHalf(segment),
                             hoverFill);
        QPainterPath pill;
        pill.addRoundedRect(QRectF(left + 1, 1, right - left - 1, h - 2), radius, radius,
                            Qt::AbsoluteSize);
        painter.fillPath(pill, palette().color(group, QPalette::Highlight));
        painter.strokePath(pill, QPen(palette().color(group, QPalette::Base), 2.0,
                                      Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        text = palette().color(group, QPalette::HighlightedText);
    } else if (i == hover) {
        if (adjacent)
            painter.fillRect(isHoverAfterCurrent() ? leftHalf(segment) : rightHalf(segment),
                             hoverFill);
        QPainterPath pill;
        pill.addRoundedRect(QRectF(left, 0, right - left + 1, h), radius, radius,
                            Qt::AbsoluteSize);
        painter.fillPath(pill, hoverFill);
        text = palette().color(QPalette::Active, QPalette::ToolTipText);
    }

    painter.setPen(text);
    painter.setFont(font());
    painter.drawText(QRect(QPoint(left + 1, 1), QPoint(right - 1, h - 4)), Qt::AlignCenter,
                     items.at(i));
}
