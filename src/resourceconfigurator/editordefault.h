#pragma once

#include "model/nodeid.h"
#include "resourceconfigurator/editor.h"
#include "widgets/informationbuilder.h"

#include <QSharedPointer>

class DeviceParamsAdaptor;
class InfoPanel;
class PortsStatisticsAdaptor;
class QLabel;
class QStackedWidget;

// The placeholder page of the editor viewer: a hint when nothing useful is selected, and for one
// selected device its resource summary and, while monitoring, its supply and temperature.
class EditorDefault : public Editor
{
    Q_OBJECT

public:
    enum Page : int { InformationPage = 0, HintPage = 1 };

    explicit EditorDefault(QWidget* parent = nullptr);
    ~EditorDefault() override;

    void setResources(QList<IoResource::Ptr_t> resources) override;
    void setDevices(QList<Device::Ptr_t> devices) override;
    void updateValues(QList<Device::Ptr_t> devices) override;
    void updateSystem(QList<DeviceHandle> devices) override;
    void setControlling(bool controlling) override;

    int currentPage() const;
    InfoPanel* devicePanel() const { return m_devicePanel; }
    InfoPanel* paramsPanel() const { return m_paramsPanel; }

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* makeInformationPage();
    QWidget* makeHintPage();
    void retranslate();

    InformationBuilder m_builder;
    NodeId_t m_shown;
    QStackedWidget* m_stack;
    InfoPanel* m_devicePanel;
    InfoPanel* m_paramsPanel;
    QSharedPointer<PortsStatisticsAdaptor> m_statistics;
    QSharedPointer<DeviceParamsAdaptor> m_params;
    QLabel* m_hint1;
    QLabel* m_hint2;
};
