#include "widgets/utils/widgetutils.h"

#include "widgets/precondition.h"

#include <QColor>
#include <QEvent>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace {

void setRoleColor(QWidget* w, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = w->palette();
    palette.setBrush(QPalette::All, role, QBrush(colour, Qt::SolidPattern));
    w->setPalette(palette);
}

} // namespace

void setForegroundColor(QWidget* w, const QColor& colour)
{
    if (!TAV_PRECONDITION(w))
        return;
    setRoleColor(w, w->foregroundRole(), colour);
}

void setBackgroundColor(QWidget* w, const QColor& colour)
{
    if (!TAV_PRECONDITION(w))
        return;
    setRoleColor(w, w->backgroundRole(), colour);
}

void setBrightTextColor(QWidget* w, const QColor& colour)
{
    if (!TAV_PRECONDITION(w))
        return;
    setRoleColor(w, QPalette::BrightText, colour);
}

void applyFontAndColors(QWidget* w, const QColor& foreground, const QColor& brightText,
                        const QFont& font)
{
    if (!TAV_PRECONDITION(w))
        return;
    w->setFont(font);
    setForegroundColor(w, foreground);
    setBrightTextColor(w, brightText);
}

QFont makeFont(const QString& family, int pixelSize, bool bold)
{
    QFont font;
    font.setFamily(family);
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QFont fontWithPxSize(const QFont& font)
{
    QFont result(font);
    result.setPixelSize(qRound(font.pointSizeF()));
    result.setStyleStrategy(QFont::PreferMatch);
    return result;
}

QRect leftHalf(const QRect& r)
{
    const int half = r.width() / 2;
    QRect result(r);
    result.setRight(r.left() + half - 1);
    return result;
}

QRect rightHalf(const QRect& r)
{
    const int w = r.width();
    QRect result(r);
    result.setLeft(r.left() + (w - w / 2));
    return result;
}

void drawFocusFrame(QPainter& painter, const QRect& rect)
{
    painter.save();
    painter.setPen(QPen(QColor(0x74c8ff), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

void trackHover(QWidget* w, const QEvent* event, bool& hover)
{
    if (event->type() != QEvent::Enter && event->type() != QEvent::Leave)
        return;
    hover = event->type() == QEvent::Enter;
    w->update();
}
