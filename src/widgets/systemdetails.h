#pragma once

#include "model/systeminfo.h"
#include "widgets/infowidget.h"

// The pop-up under the tool-bar system badge: the connected controller and the slots of its
// system bus, from the detected system and the hardware catalogue. It never refreshes its data.
class SystemDetails : public InfoWidget
{
    Q_OBJECT

public:
    explicit SystemDetails(const SystemInfo_t& info, QWidget* parent = nullptr);

    // The controller's model, serial number, firmware and loader versions and Modbus address as
    // name:value rows; the upgrade dialog shows the same.
    static QStringList deviceRows(const SystemInfo_t& info);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setTitles();
    QStringList fillDevice() const;
    QStringList fillBus() const;

    SystemInfo_t info;
};
