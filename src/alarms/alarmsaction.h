#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidgetAction>

class AlarmsWidget;

// The tool-bar action of the alarm indicator: shown only while a system is selected, it passes
// the alarm counts to the indicator it created last.
class AlarmsAction : public QWidgetAction
{
    Q_OBJECT

public:
    explicit AlarmsAction(const QIcon& icon, QObject* parent = nullptr);

signals:
    void showAlarms();

public slots:
    void onAlarms(int active, int latched, int masked);
    void systemFound();
    void systemLost();

protected:
    QWidget* createWidget(QWidget* parent) override;
    void deleteWidget(QWidget* widget) override;

private:
    QIcon icon;
    QPointer<AlarmsWidget> widget;
    int counts[3] = {0, 0, 0};
};
