#pragma once

#include "model/abstractconfig.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "model/nodeid.h"
#include "widgets/informationbuilder.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QSharedPointer>
#include <QWidget>

class EditorSerialPort;
class Header;
class InfoPanel;
class PortsStatisticsAdaptor;
class SystemModel;

// The right-hand column of the system page: a header line, the device panel (what the user points
// at or has selected: its ports, output kinds and power budget), the system panel (the ports of
// the whole system and, under the device-count limit, its estimated cycle time) and the editor of
// the system's serial ports, whose edits it passes on.
class InformationStyled : public QWidget
{
    Q_OBJECT

public:
    using Types_t = QList<QPair<DeviceType_t, HardwareVersion>>;

    InformationStyled(SystemModel* model, QWidget* parent = nullptr);
    ~InformationStyled() override;

    // `changed` is the port whose edit caused the reload, or null.
    void updateSerialPortEditor(const QList<IoResource::Ptr_t>& ports,
                                const IoResource::Ptr_t& changed);

    InfoPanel* deviceInfoPanel() const { return devicePanel; }
    InfoPanel* systemInfoPanel() const { return systemPanel; }
    Header* headerLine() const { return header; }
    EditorSerialPort* portEditor() const { return serialPortEditor; }

signals:
    void serialPortSettingsChanging(const QMap<IoResource::Ptr_t, AbstractConfig>& changes);

public slots:
    // A tree row under the pointer: a device (empty name) or a group.
    void showCurrent(const InformationStyled::Types_t& types, const QString& name,
                     const NodeId_t& id);
    // A device-selector entry under the pointer, with its power preview in milliwatts.
    void showCurrent(DeviceType_t type, HardwareVersion revision, int supply, int system,
                     int modules);
    void setSystem(const QList<DeviceHandle>& handles);
    void clearCurrent();
    void showSelected();
    // The power budget of `id` is shown only `withPower`: a selection of one controller or one
    // module.
    void showSelected(const InformationStyled::Types_t& types, const QString& name = QString(),
                      const NodeId_t& id = NodeId_t(), bool withPower = false);
    void onSerialPortEditorChange(const QMap<IoResource::Ptr_t, AbstractConfig>& changes);

protected:
    void changeEvent(QEvent* event) override;

private:
    struct Budget
    {
        int supply = 0;
        int load = 0;
    };

    QString headerKindText(const QString& modelName, const QString& groupName) const;
    QList<IoChannel> collectTemplates(const Types_t& types, QString* modelName) const;
    Budget powerBudget(const NodeId_t& id) const;
    void showStatistics(const QString& title, const QList<IoChannel>& resources, int supply,
                        int system, int modules);
    void setHeaderNames(const QString& title);
    void retranslateHeadings();
    void buildLayout();

    Header* header;
    InfoPanel* systemPanel;
    InfoPanel* devicePanel;
    EditorSerialPort* serialPortEditor;
    InformationBuilder stats;
    SystemModel* model;
    QSharedPointer<PortsStatisticsAdaptor> systemStats;
    QSharedPointer<PortsStatisticsAdaptor> deviceStats;
    QList<IoChannel> selectionResources;
    QString selectionTitle;
    int selectionSupply = 0;
    int selectionLoad = 0;
};
