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
    connect(button, SIGNAL(clicked()), this, SIGNAL(clicked()));
    connect(button, SIGNAL(monitoringOn()), this, SIGNAL(on()));
    connect(button, SIGNAL(monitoringOff()), this, SIGNAL(off()));
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
