#include "alarms/alarmsaction.h"

#include "alarms/alarmswidget.h"

AlarmsAction::AlarmsAction(const QIcon& alarmIcon, QObject* parent)
    : QWidgetAction(parent)
    , icon(alarmIcon)
{
}

QWidget* AlarmsAction::createWidget(QWidget* parent)
{
    widget = new AlarmsWidget(icon, parent);
    widget->setCounts(counts[0], counts[1], counts[2]);
    connect(widget.data(), &AlarmsWidget::clicked, this, &AlarmsAction::showAlarms);
    return widget;
}

void AlarmsAction::deleteWidget(QWidget*)
{
    if (!widget)
        return;
    widget->hide();
    widget->deleteLater();
    widget = nullptr;
}

void AlarmsAction::onAlarms(int active, int latched, int masked)
{
    counts[0] = active;
    counts[1] = latched;
    counts[2] = masked;
    if (widget)
        widget->setCounts(active, latched, masked);
}

void AlarmsAction::systemFound()
{
    setEnabled(true);
    setVisible(true);
}

void AlarmsAction::systemLost()
{
    onAlarms(0, 0, 0);
    setVisible(false);
}
