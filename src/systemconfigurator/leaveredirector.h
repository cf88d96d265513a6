#pragma once

#include <QObject>

class DeviceSelector;

// Watches the selector's list: when the pointer leaves it, the list's current entry is announced
// again, so the information panel goes back from the last hovered type to the selected one.
class LeaveRedirector : public QObject
{
    Q_OBJECT

public:
    explicit LeaveRedirector(DeviceSelector* selector);
    ~LeaveRedirector() override = default;

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    DeviceSelector* selector;
};
