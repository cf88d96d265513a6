#pragma once

#include "model/systeminfo.h"

#include <QIcon>
#include <QPointer>
#include <QWidgetAction>

class SysInfoWidget;

// The tool-bar action of the system badge; it drives the one badge it created last.
class SysInfoAction : public QWidgetAction
{
    Q_OBJECT

public:
    explicit SysInfoAction(const QIcon& icon, QObject* parent = nullptr);

public slots:
    void systemLost();
    void systemDetected(SystemInfo_t info);
    void systemUpdated(SystemInfo_t info);

protected:
    QWidget* createWidget(QWidget* parent) override;
    void deleteWidget(QWidget* widget) override;

private:
    QIcon icon;
    QPointer<SysInfoWidget> widget;
};
