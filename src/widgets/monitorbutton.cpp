#include "widgets/monitorbutton.h"

#include "widgets/flatbutton.h"

#include <QPainter>

MonitorButton::MonitorButton(const QIcon& icon, QWidget* parent)
    : QWidget(parent)
{
    const QColor accent(0x0d, 0x79, 0xcd);
    QPalette p = palette();
    for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::WindowText,
                                           QPalette::Text, QPalette::Highlight})
        p.setBrush(QPalette::All, role, QBrush(accent));
    p.setBrush(QPalette::All, QPalette::BrightText, QBrush(Qt::white));
    setPalette(p);
    setMinimumSize(171, 46);

    button = new FlatButton(icon, this);
    button->setPalette(p);
    button->resize(170, 46);
    button->move(1, 0);
    connect(button, &QAbstractButton::clicked, this, &MonitorButton::onButtonClicked);
}

void MonitorButton::onButtonClicked()
{
    if (monitoring)
        emit monitoringOff();
    else
        emit monitoringOn();
    emit clicked();
}

void MonitorButton::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setBrush(palette().brush(QPalette::Button));
    painter.drawRect(QRect(QPoint(2, 0), QPoint(width() - 1, height() - 1)));
    painter.end();
    QWidget::paintEvent(event);
}
