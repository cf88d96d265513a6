#pragma once

#include "model/configuration.h"
#include "model/device.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "model/nodeid.h"
#include "model/resourcekind.h"
#include "model/resourceorder.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <array>
#include <vector>

// The system being edited: owns every device and I/O resource and files them by node id. Screens,
// undo commands and the device communication look things up here; the structural edits emit
// nothing, so an undo command can make several of them and announce the result once through
// systemUpdated() (or resourceUpdated, userControl, realtimeUpdated). Failures come back as
// results (false, null, empty); nothing here throws.
class SystemModel : public QObject, public Configuration
{
    Q_OBJECT

public:
    using Resources_t = QList<IoResource::Ptr_t>;

    explicit SystemModel(QObject* parent = nullptr);
    ~SystemModel() override;

    // A run of structural edits that touch the whole system (an image read device by device, a
    // parsed system taken over): while one is open, addDevice and insertDevice leave pairing the
    // inputs and settling the serial ports to its end, which does both once. Batches nest.
    class Batch
    {
    public:
        explicit Batch(SystemModel* model);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        SystemModel* m_model;
    };

    // Change signals carry QList<NodeId_t> across queued connections.
    static void registerMetaTypes();
    static NodeId_t newNodeId();

    // The "data" object of a configuration file: "Devices", "Resources" and "dataSize".
    // readJson expects an empty model and leaves whatever it built when it fails.
    bool readJson(const QJsonObject& data) override;
    bool writeJson(QJsonObject& data) const override;
    // Why the last readJson refused its data, said for the user: a rule of brokenRule() that the
    // system breaks, a device type the catalogue lacks, one id on two devices, an element of the
    // wrong kind or one whose number its field cannot hold; empty after any other outcome.
    const QString& refusedRule() const { return m_refusedRule; }

    // The first rule of every system that this one breaks, said for the user (a module without
    // its controller, a gap or a repeat in the numbering, two devices under one key, serial ports
    // away from controller 0); empty when it keeps them all. The file reader refuses what breaks
    // one and nothing is written that does, so every file opens again.
    QString brokenRule() const;
    // The most devices the editor lets a system hold under the active catalogue.
    static int mostDevices();

    Device::Ptr_t device(const NodeId_t& id) const;
    IoResource::Ptr_t resource(const NodeId_t& id) const;
    const QMap<NodeId_t, Device::Ptr_t>& devices() const { return m_devices; }
    // Built on the first call after a change: take it again after changing the model.
    const QMap<NodeId_t, IoResource::Ptr_t>& resources() const;

    // Controllers and the modules in their child lists, in bus order.
    QList<DeviceHandle> deviceHandles() const;
    // The identity of the detected system the first device in bus order leads.
    QString systemKey() const;
    // "/c" for a controller, "/c/m" for a module, counted along the list.
    static QMap<QString, DeviceHandle> nodePath(const QList<DeviceHandle>& handles);
    // The device's resources in its own order; a device other than number 0 borrows the system's
    // serial ports when asked, because only device 0 owns them.
    Resources_t deviceResources(const NodeId_t& deviceId, bool withPorts) const;
    Resources_t serialPorts() const;
    // All resources of one kind, in resource order.
    Resources_t resourcesOfKind(int kind) const;
    // Grouped by kind 0 to 3 (and 4 for device 0); a null device gives the whole system's 0 to 3.
    QMap<int, Resources_t> ioResources(const Device::Ptr_t& device) const;
    // One device's resources of kinds 0 to lastKind, each kind in resource order: what
    // deviceResources gives, grouped as ioResources groups it, without a list built per kind.
    // Those who walk every device (the image, the file) take them here.
    using KindGroups = std::array<std::vector<IoResource::Ptr_t>, ResourceKind::SerialPort + 1>;
    void groupByKind(const NodeId_t& deviceId, bool withPorts, int lastKind,
                     KindGroups& groups) const;
    // Each owner once, in bus order.
    QList<Device::Ptr_t> ownersOf(const Resources_t& resources) const;

    // Controllers sort by number, modules right after their controller by their own number.
    qint64 busKey(const Device::Ptr_t& device) const;
    // Same device: by index; otherwise by the owners' bus keys. A resource or owner that is not
    // in the model compares as not less.
    bool resourceLess(const IoResource::Ptr_t& a, const IoResource::Ptr_t& b) const;
    void sortResources(Resources_t& resources) const;

    // Three-wire inputs take two neighbouring inputs in resource order, so pairs are rebuilt
    // whenever inputs come or go.
    void pairAnalogInputs();
    // Each kind's resources share one register table per value role, laid out in resource order.
    void assignRegisters();

    // The system's two serial ports belong to the system, not to one device: they are listed by
    // whichever controller is number 0 now, are handed on when a move, a renumbering or a removal
    // puts another controller first, and leave the model only with its last device. So the file,
    // the image and the editors always find them once, under the first controller.
    Device::Ptr_t addDevice(const DeviceHandle& handle);
    bool createDevice(const DeviceHandle& handle);
    // True when the device was filed and every resource is filed as given; a serial port that is
    // still filed (another controller held it meanwhile) counts as filed.
    bool insertDevice(const Device::Ptr_t& device, const Resources_t& resources);
    void removeDevice(const NodeId_t& id);
    void renumber();
    void moveBus(const QList<DeviceHandle>& handles);
    void changeGroup(const QList<DeviceHandle>& handles);
    // A device of the system the model holds, its resources looked up once for an image read
    // into them in place, in its own order.
    struct HeldDevice
    {
        Device* device = nullptr;
        std::vector<IoResource*> own;
    };
    // The devices of `handles` as held, when each lists the resources addDevice makes for it from
    // its template, in that order (the port holder the system's two serial ports after them), and
    // the model files those and no other; false otherwise.
    bool heldAsMade(const QList<DeviceHandle>& handles, std::vector<HeldDevice>& held) const;
    // Puts the settings and values of the held devices and their resources back to what addDevice
    // gives them, the structure left as it is (ids, numbers, owners, resource lists).
    void restartSettings(const std::vector<HeldDevice>& held);
    // Each device part takes the device-wide settings of its first resources, once an image is
    // read into them.
    void takeDeviceSettings(const std::vector<HeldDevice>& held);
    // Replaces the whole configuration by the devices and resources of `parsed` (the objects
    // themselves), as a configuration read from a controller replaces the one edited: the device
    // parts take the settings of their resources as read. Announces the clear, as clear() does.
    void takeOver(const SystemModel& parsed);
    void copyResourceSettings(const Resources_t& from, const Device::Ptr_t& to);
    // The device-wide settings (Ain poll mode, Din counter and frequency polling) live in the
    // device and in every resource of the kind; these keep both sides equal.
    void applyDeviceSettings(const Device::Ptr_t& device);
    void resourceSettingsChanged(const QList<NodeId_t>& devices, const NodeId_t& resource);

public slots:
    void clear();
    void realtimeUpdated(const QList<NodeId_t>& ids, bool deviceValues);
    void realtimeUpdated(const QList<NodeId_t>& ids);
    void userControl(const QList<NodeId_t>& ids);
    void resourceUpdated(const QList<NodeId_t>& ids);
    void systemUpdated();

signals:
    void changedResources(const QList<NodeId_t>& ids);
    void changedDeviceValues(const QList<NodeId_t>& ids);
    void changedValues(const QList<NodeId_t>& ids);
    void controlValues(const QList<NodeId_t>& ids);
    void changed(const QList<NodeId_t>& ids = QList<NodeId_t>());

private:
    // The catalogue's template of the handle's type and revision, in `scratch` or kept for the
    // batch: a batch builds many devices of a few types, which then share one template's lists.
    // Null when the catalogue has none.
    const DeviceTemplate* deviceTemplate(const DeviceHandle& handle, DeviceTemplate& scratch);
    // Template channels, then serial ports 1 and 2 on device 0; no pairing.
    void createResources(const Device::Ptr_t& device);
    void fileResource(const Device::Ptr_t& device, const IoResource::Ptr_t& resource);
    // Every change of m_resourceById goes through these two, which keep the order's views with it.
    void fileInModel(const IoResource::Ptr_t& resource);
    void dropFromModel(const NodeId_t& id);
    void pairWhenDue();
    void settleWhenDue();
    void endBatch();
    void createSerialPorts(const Device::Ptr_t& device);
    // Lists the serial ports under the controller that is number 0 now, and under no other device.
    void settlePorts();
    Device::Ptr_t portHolder() const;
    Device::Ptr_t portHolder(const QList<DeviceHandle>& handles) const;
    // The device part takes the poll mode of the first Ain and the polling of the first Din.
    void takeFirstResourceSettings(const Device::Ptr_t& device);
    static bool takesDeviceSettings(const Device::Ptr_t& device);
    static bool takesDeviceClass(int deviceClass);
    // The text that names a device in the file: its display name under its owner's number.
    QString deviceKey(const Device::Ptr_t& device) const;
    // The key text of the file read that names two devices; empty when none does.
    QString repeatedKey(const QHash<NodeId_t, QString>& keyOfDevice) const;
    static QString sameKeyRule(const QString& key);
    // The rules of brokenRule(), one function each (systemrules.cpp).
    friend class SystemRules;
    bool readDevices(const QJsonObject& data, QHash<NodeId_t, QString>& keyOfDevice,
                     QMap<NodeId_t, QString>& ownerOfDevice, QMap<QString, NodeId_t>& deviceOfKey);
    void linkOwners(const QMap<NodeId_t, QString>& ownerOfDevice,
                    const QMap<QString, NodeId_t>& deviceOfKey);
    bool readResources(const QJsonObject& data, const QHash<NodeId_t, QString>& keyOfDevice);

    QMap<NodeId_t, Device::Ptr_t> m_devices;
    QString m_refusedRule;
    // The same devices for lookups by id, a QUuid being slow to order and quick to hash; the map
    // keeps the id order that its walkers see.
    QHash<NodeId_t, Device::Ptr_t> m_deviceById;
    // The resources are filed here alone, a QUuid being slow to order: the ordered views are
    // m_order's, built from this when asked for.
    QHash<NodeId_t, IoResource::Ptr_t> m_resourceById;
    // Its views are caches, made for the lookups, which are const.
    mutable ResourceOrder m_order{m_resourceById, m_deviceById};
    int m_batchDepth = 0;
    // By type (high word) and revision (low word), for the open batch.
    QHash<quint64, DeviceTemplate> m_batchTemplates;
    bool m_pairingDue = false;
    bool m_portsDue = false;
};
