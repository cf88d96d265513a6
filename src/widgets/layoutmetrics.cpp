#include "widgets/layoutmetrics.h"

#include <QAction>
#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <map>
#include <tuple>

namespace {

constexpr LayoutMetrics defaultMetrics{210, 36, 390, 220};
constexpr LayoutMetrics alternativeMetrics{310, 34, 380, 230};

LayoutMetrics& currentMetrics()
{
    static LayoutMetrics metrics = defaultMetrics;
    return metrics;
}

// A style caches what it draws under its option's palette, and every palette edited for one arrow
// is a new one to it: drawn straight, each repaint of a tree would leave more arrows in the
// process-wide pixmap cache. The arrows are drawn once per look here instead.
using ArrowKey = std::tuple<const QStyle*, int, int, QRgb, int, int, qreal>;

QPixmap arrowPixmap(QStyle::PrimitiveElement element, const QStyleOption& option,
                    const QColor& colour, qreal ratio)
{
    static std::map<ArrowKey, QPixmap> drawn;
    QStyle* style = QApplication::style();
    const ArrowKey key(style, int(element), int(option.state), colour.rgba(), option.rect.width(),
                       option.rect.height(), ratio);
    const auto known = drawn.find(key);
    if (known != drawn.end())
        return known->second;
    QPixmap pixmap(option.rect.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QStyleOption copy(option);
    copy.rect = QRect(QPoint(0, 0), option.rect.size());
    copy.palette.setBrush(QPalette::All, QPalette::ButtonText, colour);
    // Some styles (Fusion, the default here) draw the arrow in the window-text colour instead.
    copy.palette.setBrush(QPalette::All, QPalette::WindowText, colour);
    QPainter painter(&pixmap);
    style->drawPrimitive(element, &copy, &painter, nullptr);
    painter.end();
    drawn.emplace(key, pixmap);
    return pixmap;
}

} // namespace

const LayoutMetrics& layoutMetrics() { return currentMetrics(); }

void selectLayoutMetrics(bool alternative)
{
    currentMetrics() = alternative ? alternativeMetrics : defaultMetrics;
}

int panelWidthLarge() { return currentMetrics().panelWidthLarge; }
int panelWidthSmall() { return currentMetrics().panelWidthSmall; }

void setToolButtonSizeWide(QAction* action)
{
    static const int width = currentMetrics().toolButtonWidth;
    static const int height = 36;
    if (!action)
        return;
    action->setData(QSize(width + 8, height + 4));
}

void setToolButtonSizeNormal(QAction* action)
{
    if (!action)
        return;
    action->setData(QSize(43, 40));
}

void calcItemRects(const QRect& item, QRect& text, QRect& arrow, QRect& icon, bool deepIndent,
                   bool noIcon, bool indent)
{
    int textOffset = 19;
    int iconOffset = 16;
    if (deepIndent) {
        textOffset = 37;
        iconOffset = 34;
    } else if (indent) {
        textOffset = 27;
        iconOffset = 24;
    }
    const int x1 = item.left();
    arrow = QRect(QPoint(x1, item.top()), QPoint(x1 + 19, item.bottom()));
    icon = QRect(QPoint(x1 + iconOffset, item.top()), QPoint(x1 + iconOffset + 23, item.bottom()));
    text = QRect(QPoint(x1 + textOffset + (noIcon ? 0 : 24), item.top()), item.bottomRight());
}

void calcItemFrameRects(const QRect& item, QRect& content, QRect& frame, bool groupRow, bool framed,
                        bool frameEnd, bool groupOpen)
{
    if (groupRow) {
        content = item.adjusted(2, 2, -2, 0);
        if (groupOpen) {
            frame = content;
            content.adjust(3, 28, -3, 0);
        }
    } else if (frameEnd) {
        content = item.adjusted(2, 0, -2, -5);
        frame = content;
        content.adjust(3, 3, -3, 0);
    } else if (framed) {
        content = item.adjusted(2, 0, -2, 0);
        frame = content;
        content.adjust(3, 0, -3, 0);
    } else {
        content = item;
    }
}

void drawItemBackground(QPainter* painter, const QStyleOptionViewItem& option, const QRect& content,
                        const QRect& frame, const QColor& fill, bool darkFrame, bool separator,
                        int separatorX)
{
    if (!painter)
        return;
    if (!frame.isNull())
        painter->fillRect(frame, darkFrame ? QColor(0x383b3f) : QColor(0x2b78e4));
    painter->fillRect(content, fill);
    if (separator && !(option.state & QStyle::State_Selected)) {
        painter->setPen(QColor(0x45a1fe));
        const int x = content.left() + separatorX;
        painter->drawLine(x, content.top(), x, content.bottom());
    }
}

void drawItemIndicator(QPainter* painter, const QStyleOptionViewItem& option, const QRect& arrow,
                       bool dark)
{
    if (!painter)
        return;
    QColor colour = dark ? QColor(Qt::black) : QColor(0x44484e);
    if (option.state & QStyle::State_Selected)
        colour = QColor(0x9da4ae);
    QStyleOption copy(option);
    copy.rect = arrow.adjusted(5, 6, 0, 0);
    if (copy.rect.isEmpty())
        return;
    const auto element = (option.state & QStyle::State_Open) ? QStyle::PE_IndicatorArrowDown
                                                               : QStyle::PE_IndicatorArrowRight;
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    painter->drawPixmap(copy.rect.topLeft(), arrowPixmap(element, copy, colour, ratio));
}
