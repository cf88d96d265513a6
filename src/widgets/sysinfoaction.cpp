#include "widgets/sysinfoaction.h"

#include "widgets/sysinfowidget.h"

SysInfoAction::SysInfoAction(const QIcon& buttonIcon, QObject* parent)
    : QWidgetAction(parent)
    , icon(buttonIcon)
{
}

QWidget* SysInfoAction::createWidget(QWidget* parent)
{
    widget = new SysInfoWidget(icon, parent);
    widget->show();
    return widget;
}

void SysInfoAction::deleteWidget(QWidget*)
{
    if (!widget)
        return;
    widget->hide();
    widget->deleteLater();
    widget = nullptr;
}

void SysInfoAction::systemLost()
{
    if (widget)
        widget->reset();
}

void SysInfoAction::systemDetected(SystemInfo_t info)
{
    if (widget)
        widget->setSystemInfo(info);
}

void SysInfoAction::systemUpdated(SystemInfo_t info)
{
    if (widget)
        widget->updateSystemInfo(info);
}
