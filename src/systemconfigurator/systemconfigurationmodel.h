#pragma once

#include "catalogue/cataloguerecords.h"
#include "model/devicehandle.h"
#include "model/nodeid.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QModelIndex>
#include <QMultiMap>
#include <QPersistentModelIndex>
#include <QStandardItemModel>
#include <QString>

class QStandardItem;

namespace SystemConfiguration {

// The rows of the system page's tree, built from the system's handles in bus order: a row per
// group, a row per device (under its group's row, or at top level) and a trailing add row. The
// model never changes the system: every edit that starts in the tree leaves as a signal carrying
// handles, which the system configurator turns into an undo command; after the command the model
// is rebuilt from scratch.
class Model : public QStandardItemModel
{
    Q_OBJECT

public:
    explicit Model(QObject* parent = nullptr);

    void rebuild(const QList<DeviceHandle>& list);

    // Keeps QStandardItemModel's removeRow(int, parent) visible beside the close-button slot.
    using QStandardItemModel::removeRow;
    void renameGroup(const QModelIndex& group, const QString& name);
    void changeType(const QModelIndex& row, DeviceType_t type, HardwareVersion revision);
    void addDevices(const QModelIndex& row, DeviceType_t type, HardwareVersion revision, int count);
    int busPowerReserve(const NodeId_t& id) const;
    void setRowButtons();
    QList<NodeId_t> idsOf(const QModelIndexList& rows) const;

    // What the last rebuild was given and made of it.
    const QList<DeviceHandle>& devices() const { return m_devices; }
    // One entry per device without owner (and per owner named but absent): its module count.
    const QMap<NodeId_t, int>& moduleCount() const { return m_moduleCount; }
    const QMultiMap<NodeId_t, NodeId_t>& modulesOf() const { return m_modulesOf; }
    const QMap<NodeId_t, QModelIndex>& rowOfDevice() const { return m_rowOfDevice; }
    const QMap<QString, QModelIndex>& rowOfPath() const { return m_rowOfPath; }
    const QMap<QModelIndex, QString>& groupRows() const { return m_groupRows; }
    int boardsInUse() const { return m_boardsInUse; }

    // Limits: devices in mode 0, I/O boards in mode 1.
    int freeAddressCount() const;
    bool canAdd() const;
    int addableCount(int n, const DeviceTemplate& type) const;

    // Look-ups; what finds nothing gives the empty handle or a null id.
    DeviceHandle handleById(const NodeId_t& id) const;
    DeviceHandle handleAt(const QModelIndex& row) const;
    static DeviceHandle findHandle(const QList<DeviceHandle>& list, const NodeId_t& id);
    NodeId_t lastControllerId() const;
    NodeId_t previousControllerId(const NodeId_t& id) const;
    QList<DeviceHandle> withModules(const DeviceHandle& handle) const;

    // Numbers and owners from the order: a module belongs to the nearest controller before it.
    static void renumberBus(QList<DeviceHandle>& list);
    void newBusOrder(const QModelIndex& source, const QModelIndex& target);

public slots:
    void removeRow(const QModelIndex& row);
    void addPexToDevice(const QModelIndex& row, DeviceType_t type, HardwareVersion revision);
    void startMove(const QModelIndex& source);
    void moveDest(const QModelIndex& target);
    void finishMove(const QModelIndex& source, const QModelIndex& target);

signals:
    void detectedGroups(bool groups);
    void addDev(const QList<DeviceHandle>& handles);
    void removeDev(const QList<DeviceHandle>& handles);
    // Declared for the page's clone action; the model itself never emits it.
    void dupDev(const QList<DeviceHandle>& sources, const QList<DeviceHandle>& clones);
    void editType(const DeviceHandle& before, const DeviceHandle& after);
    void busMove(const QList<DeviceHandle>& order);
    void systemReset(const QList<DeviceHandle>& handles);
    void renameGroup(const QList<DeviceHandle>& handles);

private:
    void countModules();
    QStandardItem* deviceItem(const DeviceHandle& handle, const DeviceTemplate& tpl);
    QStandardItem* groupItem(const QString& name) const;
    QString rowText(const DeviceHandle& handle, const DeviceTemplate& tpl, bool controller) const;
    // The rows of one rebuild before they join the model.
    struct BuiltRows
    {
        QList<QStandardItem*> top;
        // Group row to its device rows and closing spacer.
        QHash<QStandardItem*, QList<QStandardItem*>> members;
        QList<QPair<QStandardItem*, NodeId_t>> devices;
        // Module rows whose owner's row was built before them, with the owner's id.
        QList<QPair<QStandardItem*, NodeId_t>> owned;
    };
    BuiltRows buildRows();
    void addRows(const BuiltRows& built);
    void mapPathRows();
    void addPlaceholderRow(int reserve, int balance);
    QList<DeviceHandle> reorderedHandles(const DeviceHandle& target, const DeviceHandle& source,
                                         const QString& group, bool onto) const;
    void clearMarker(QPersistentModelIndex& marker, int role);

    QList<DeviceHandle> m_devices;
    QHash<NodeId_t, int> m_positionOfId;
    QMap<NodeId_t, int> m_moduleCount;
    QMultiMap<NodeId_t, NodeId_t> m_modulesOf;
    QMap<NodeId_t, QModelIndex> m_rowOfDevice;
    QMap<QString, QModelIndex> m_rowOfPath;
    QMap<QModelIndex, QString> m_groupRows;
    // Persistent, so a rebuild in the middle of a drag leaves them invalid rather than dangling.
    QPersistentModelIndex m_dragSource;
    QPersistentModelIndex m_dropTarget;
    int m_boardsInUse = 0;
    // The number of the controller row written last: a module row shows it in front of its own.
    // It survives rebuilds.
    int m_lastControllerNumber = 0;
};

} // namespace SystemConfiguration
