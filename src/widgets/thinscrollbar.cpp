#include "widgets/thinscrollbar.h"

#include <QAbstractSlider>
#include <QPainter>
#include <QResizeEvent>

ThinScrollBar::ThinScrollBar(QAbstractSlider* slider, QWidget* parent)
    : QWidget(parent)
    , source(slider)
{
    setHandleColor(QColor(0xd7, 0xdc, 0xe5));
    setAttribute(Qt::WA_TranslucentBackground);
    if (!source)
        return;
    vertical = source->orientation() == Qt::Vertical;
    connect(source, &QAbstractSlider::rangeChanged, this, &ThinScrollBar::setRange);
    connect(source, &QAbstractSlider::valueChanged, this, &ThinScrollBar::setValue);
    setValue(source->value());
    setRange(source->minimum(), source->maximum());
}

void ThinScrollBar::setHandleColor(const QColor& colour)
{
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::Button, QBrush(colour));
    setPalette(p);
}

void ThinScrollBar::setRange(int min, int max)
{
    range = max - min;
    computeHandle();
    setVisible(range != 0);
    update();
}

void ThinScrollBar::setPage(int newPage)
{
    page = newPage;
    computeHandle();
}

void ThinScrollBar::setValue(int newValue)
{
    value = newValue;
    computeHandle();
    update();
}

void ThinScrollBar::putIn(QRect area, int yOffset)
{
    page = area.height();
    computeHandle();
    setGeometry(area.right() - 6, area.top() + yOffset, 4, area.height());
}

void ThinScrollBar::putIn(QRect area)
{
    putIn(area, 0);
}

void ThinScrollBar::resizeEvent(QResizeEvent* event)
{
    computeHandle();
    QWidget::resizeEvent(event);
}

void ThinScrollBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QBrush brush = palette().brush(QPalette::Button);
    painter.setPen(brush.color());
    painter.setBrush(brush);
    painter.drawRoundedRect(handle, 3.0, 3.0, Qt::AbsoluteSize);
}

void ThinScrollBar::computeHandle()
{
    // A page plus range of 0 (an empty source with an empty page) would divide by zero.
    const double whole = double(page) + double(range);
    const double ratio = whole != 0.0 ? double(page) / whole : 1.0;
    // The size rather than a length noted at resize: a hidden bar gets its resize event only when
    // shown, and its handle must be right before that.
    const int barLength = vertical ? height() : width();
    const int length = qMax(int(barLength * ratio), minimumHandleLength);
    const int position = int(value * ratio);
    handle = vertical ? QRect(0, position, width(), length) : QRect(position, 0, length, height());
}
