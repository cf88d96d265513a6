#include "widgets/monitoraction.h"

#include "widgets/monitorbutton.h"

MonitorAction::MonitorAction(const QIcon& buttonIcon, QObject* parent)
    : QWidgetAction(parent)
    , icon(buttonIcon)
{
}

QWidget* MonitorAction::createWidget(QWidget* parent)
{
    auto* button = new MonitorButton(icon, parent);
    lastButton = button;
    button->show();
    connect(button, &MonitorButton::clicked, this, &MonitorAction::clicked);
    connect(button, &MonitorButton::monitoringOn, this, &MonitorAction::on);
    connect(button, &MonitorButton::monitoringOff, this, &MonitorAction::off);
    return button;
}

void MonitorAction::deleteWidget(QWidget*)
{
    if (!lastButton)
        return;
    lastButton->hide();
    lastButton->deleteLater();
    lastButton = nullptr;
}

void MonitorAction::setMonitorStatus(bool on)
{
    if (lastButton)
        lastButton->setStatus(on);
}
