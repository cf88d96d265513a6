#pragma once

#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "model/nodeid.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QList>
#include <QModelIndex>
#include <QString>
#include <QVariant>
#include <QVector>

#include <deque>
#include <vector>

class SystemModel;

namespace ResourceConfiguration {

// The resource tree: group rows, device rows and one row per resource of each device. The
// label, kind and pairing of a resource row are read from the resource on every call, so they
// follow configuration changes without a rebuild. The live texts are announced by updateValues and
// made from the resource when a row is shown: a monitoring tick changes every row of a large system,
// of which a screen shows a few dozen.
// The rows are plain nodes rather than standard items: a large system has thousands of them, built
// again on every structural change, and a standard item per cell cost more than everything else the
// tree does.
class Model : public QAbstractItemModel
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
    ~Model() override;

    void setSystemDevices(const QList<DeviceHandle>& handles);
    void reload();
    void setMonitoring(bool on);
    void updateValues(const QList<NodeId_t>& ids);
    void refreshRows(const QList<NodeId_t>& ids);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // Only the expander state is written, by the view while the mouse acts on an expander.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QList<QModelIndex> indexes(const QList<NodeId_t>& ids) const;
    IoResource::Ptr_t resource(const QModelIndex& index) const;
    Device::Ptr_t device(const QModelIndex& index) const;
    Device::Ptr_t ownerDevice(const QModelIndex& index) const;
    QList<IoResource::Ptr_t> resources(const QList<QModelIndex>& indexes) const;
    QList<Device::Ptr_t> devices(const QList<QModelIndex>& indexes) const;

    // What the proxy's filter and order read of a column-0 cell, as the item type, kind, number,
    // coupled and secondary roles give it: the proxy reads these for every row it filters and
    // several times for every row it orders.
    struct RowFacts
    {
        // A group, device, spacer or empty row (item type 0 or 1).
        bool node = true;
        int kind = 0;
        int number = 0;
        bool coupledSecondary = false;
    };
    // All of them, with one look-up of the resource: a coupling changes without a rebuild.
    RowFacts rowFacts(const QModelIndex& index) const;
    // The order alone (node, kind, number), kept in the row: a resource keeps its kind and number
    // for life, and leaves the system only with its device, which rebuilds the tree.
    RowFacts orderFacts(const QModelIndex& index) const;

    static bool isDevice(const QModelIndex& index);
    static bool isExpandable(const QModelIndex& index);
    static QList<QModelIndex> allIndexes(const QAbstractItemModel* model,
                                         const QModelIndex& parent = QModelIndex());

private:
    // The status of the label cell; the status, value and second value of the value cell, which
    // go with the value column when monitoring ends.
    struct LiveTexts
    {
        QString labelStatus;
        QString status;
        QString value;
        QString second;
        // Announced at least once since the build.
        bool shown = false;
        // Announced, not yet read from the resource.
        bool due = false;
        bool labelOnly = false;
    };

    // One row. A device row whose device is missing, and a resource row whose resource is missing,
    // stay as empty rows (Blank, and a resource row with no resource bound).
    struct Node
    {
        enum Type { Root, Group, Device, Resource, Spacer, Blank };
        Type type = Blank;
        Node* parent = nullptr;
        int row = 0;
        // The number of columns under this row: 1 under a group, 2 under a device, none under a
        // resource, a spacer or an empty row; the top level follows monitoring.
        int columns = 0;
        // The resource of a resource row, when the system had it at the build, and its kind and
        // number.
        bool bound = false;
        int kind = 0;
        int number = 0;
        NodeId_t id;
        QString text;
        int deviceClass = 0;
        QVariant expander;
        // Made when a row is shown, which a const data() does.
        mutable LiveTexts live;
        std::vector<Node*> children;
        // This node's entry among the runs of one announcement, valid while spanMark is current.
        quint64 spanMark = 0;
        int spanSlot = 0;
    };

    struct Run
    {
        Node* parent;
        int first;
        int last;
    };

    Node* nodeOf(const QModelIndex& index) const;
    QModelIndex indexOf(const Node* node, int column = 0) const;
    Node* newNode(Node::Type type, Node* parent);
    Node* makeGroupRow(const QString& name);
    Node* makeDeviceRow(const DeviceHandle& handle, const Device::Ptr_t& device);

    // Changed rows as one first-to-last run per parent node, in the order the parents turn up:
    // dataChanged spans rows of one parent only.
    void addToSpan(std::vector<Run>& runs, Node* parent, int row);
    void announce(const std::vector<Run>& runs, int lastColumn, const QVector<int>& roles);

    QVariant resourceData(const Node* node, int column, int role) const;
    QVariant liveText(const Node* node, int column, int role) const;
    void readTexts(const Node* node, LiveTexts& texts) const;

    SystemModel* m_system;
    Node m_root;
    std::deque<Node> m_nodes;
    QHash<NodeId_t, Node*> m_nodeById;
    quint64 m_spanMark = 0;
};

} // namespace ResourceConfiguration
