#include "widgets/flatbutton.h"

#include "widgets/utils/widgetutils.h"

#include <QEvent>
#include <QPainter>

FlatButton::FlatButton(const QIcon& icon, const QString& text, QWidget* parent)
    : QAbstractButton(parent), icon(icon), text(text)
{
    setCheckable(false);
    setMouseTracking(true);
}

FlatButton::FlatButton(const QString& text, QWidget* parent) : FlatButton(QIcon(), text, parent) {}

FlatButton::FlatButton(const QIcon& icon, QWidget* parent) : FlatButton(icon, QString(), parent) {}

bool FlatButton::event(QEvent* event)
{
    trackHover(this, event, hover);
    return QAbstractButton::event(event);
}

void FlatButton::paintEvent(QPaintEvent*)
{
    const int shrink = (isDown() || isChecked()) ? 8 : 0;
    const QPalette::ColorGroup group = palette().currentColorGroup();
    const QColor background = palette().color(group, hover ? QPalette::Highlight : QPalette::Button);
    const QColor foreground =
        palette().color(group, hover ? QPalette::HighlightedText : QPalette::ButtonText);
    QIcon::Mode mode = hover ? QIcon::Selected : QIcon::Active;
    if (!isEnabled())
        mode = QIcon::Disabled;

    QPainter painter(this);
    const QRect area = rect();
    painter.fillRect(area, background);
    const QPixmap pixmap =
        icon.pixmap(QSize(width() - shrink, height() - shrink), mode, QIcon::Off);
    if (!pixmap.isNull()) {
        // Centres by (first + last pixel) / 2, so odd differences round the same way each time.
        const QSize size = pixmap.size() / pixmap.devicePixelRatio();
        const QPoint centre((area.left() + area.right()) / 2, (area.top() + area.bottom()) / 2);
        const QPoint pixCentre((size.width() - 1) / 2, (size.height() - 1) / 2);
        painter.drawPixmap(centre - pixCentre, pixmap);
    }
    if (!text.isEmpty()) {
        painter.setPen(foreground);
        painter.drawText(area, Qt::AlignCenter, text);
    }
    if (hasFocus())
        drawFocusFrame(painter, area);
}
