#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidgetAction>

class MonitorButton;

// The tool-bar action of the monitoring toggle. It keeps no status of its own: it passes the status
// to the button it created last.
class MonitorAction : public QWidgetAction
{
    Q_OBJECT

public:
    explicit MonitorAction(const QIcon& icon, QObject* parent = nullptr);

signals:
    void on();
    void off();
    void clicked();

public slots:
    void setMonitorStatus(bool on);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void deleteWidget(QWidget* widget) override;

private:
    QIcon icon;
    QPointer<MonitorButton> lastButton;
};
