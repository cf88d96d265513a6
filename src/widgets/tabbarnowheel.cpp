#include "widgets/tabbarnowheel.h"

#include "widgets/utils/widgetutils.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QWheelEvent>

TabBarNoWheel::TabBarNoWheel(QWidget* parent)
    : QTabBar(parent)
{
    setDocumentMode(true);
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::Window, QBrush(QColor(0x54, 0x56, 0x59)));
    p.setBrush(QPalette::All, QPalette::Highlight, QBrush(Qt::white));
    p.setBrush(QPalette::All, QPalette::Text, QBrush(Qt::white));
    p.setBrush(QPalette::All, QPalette::HighlightedText, QBrush(Qt::black));
    setPalette(p);
}

void TabBarNoWheel::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

QSize TabBarNoWheel::tabSizeHint(int) const
{
    return minimumSize();
}

void TabBarNoWheel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < count(); ++i) {
        QStyleOptionTab option;
        initStyleOption(&option, i);
        const bool current = i == currentIndex();
        QColor background = palette().color(current ? QPalette::Highlight : QPalette::Window);
        QColor text = palette().color(current ? QPalette::HighlightedText : QPalette::Text);
        if (!isTabEnabled(i))
            text = QColor(Qt::darkGray);
        painter.fillRect(option.rect, background);
        painter.setPen(text);
        painter.drawText(option.rect, Qt::AlignCenter, option.text);
        if (hasFocus() && current)
            drawFocusFrame(painter, option.rect);
    }
}
