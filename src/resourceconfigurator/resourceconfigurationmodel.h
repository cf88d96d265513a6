#pragma once

#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "model/nodeid.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QPair>
#include <QPersistentModelIndex>
#include <QStandardItemModel>
#include <QVector>

class QStandardItem;
class SystemModel;

namespace ResourceConfiguration {

// The resource tree: group rows, device rows and one row per resource of each device. The
// label, kind and pairing of a resource row are read from the resource on every call, so they
// follow configuration changes without a rebuild. The live texts are announced by updateValues and
// made from the resource when a row is shown: a monitoring tick changes every row of a large system,
// of which a screen shows a few dozen.
class Model : public QStandardItemModel
{
public:
    enum Role : int {
        ItemTypeRole = Qt::UserRole,  // 0 group, 1 device, 2 resource
        ExpanderRole,                 // 0 no expander; 3 pressed, 2 released on it, 1 elsewhere
        IdRole,
        StatusRole,
        ValueRole,
        SecondValueRole,
        KindRole,
        CoupledRole,
        SecondaryRole,
        DeviceClassRole,
        NumberRole,
        SpacerRole,
    };
    enum ItemType : int { GroupItem = 0, DeviceItem = 1, ResourceItem = 2 };
    static constexpr int DeviceKind = 12;

    Model(SystemModel* system, QObject* parent = nullptr);

    void setSystemDevices(const QList<DeviceHandle>& handles);
    void reload();
    void setMonitoring(bool on);
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    void updateValues(const QList<NodeId_t>& ids);
    void refreshRows(const QList<NodeId_t>& ids);

    QList<QModelIndex> indexes(const QList<NodeId_t>& ids) const;
    IoResource::Ptr_t resource(const QModelIndex& index) const;
    Device::Ptr_t device(const QModelIndex& index) const;
    Device::Ptr_t ownerDevice(const QModelIndex& index) const;
    QList<IoResource::Ptr_t> resources(const QList<QModelIndex>& indexes) const;
    QList<Device::Ptr_t> devices(const QList<QModelIndex>& indexes) const;

    static bool isDevice(const QModelIndex& index);
    static bool isExpandable(const QModelIndex& index);
    static QList<QModelIndex> allIndexes(const QAbstractItemModel* model,
                                         const QModelIndex& parent = QModelIndex());

private:
    // A row made while the tree is still detached; its index exists only once it is attached.
    struct Pending
    {
        QStandardItem* item;
        NodeId_t id;
        bool resource;
    };

    // Changed rows as one first-to-last run per parent item (none for the top level), in the
    // order the parents turn up: dataChanged spans rows of one parent only.
    struct Spans
    {
        QHash<QStandardItem*, int> slot;
        QVector<QPair<QStandardItem*, QPair<int, int>>> runs;
    };
    static void addToSpan(Spans& spans, QStandardItem* parent, int row);
    void announce(const Spans& spans, int lastColumn, const QVector<int>& roles);
    QStandardItem* makeGroupRow(const QString& name) const;
    QStandardItem* makeDeviceRow(const DeviceHandle& handle, QVector<Pending>& pending) const;
    void addResourceRows(QStandardItem* deviceItem, const Device::Ptr_t& device,
                         QVector<Pending>& pending) const;

    // The status of the label cell; the status, value and second value of the value cell, which
    // go with the value column when monitoring ends.
    struct LiveTexts
    {
        QString labelStatus;
        QString status;
        QString value;
        QString second;
        // Announced, not yet read from the resource.
        bool due = false;
        bool labelOnly = false;
    };
    QVariant liveText(const QModelIndex& index, int role) const;
    void readTexts(const NodeId_t& id, LiveTexts& texts) const;

    SystemModel* m_system;
    mutable QHash<NodeId_t, LiveTexts> m_liveTexts;
    QHash<NodeId_t, QModelIndex> m_indexById;
    QHash<QModelIndex, NodeId_t> m_idByIndex;
};

} // namespace ResourceConfiguration
