#pragma once

#include "model/abstractconfig.h"
#include "catalogue/cataloguerecords.h"
#include "model/configuration.h"
#include "model/devicehandle.h"
#include "model/devicerecord.h"
#include "model/jsonfield.h"
#include "model/nodeid.h"
#include "model/systeminfo.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QSharedPointer>
#include <QString>
#include <QVector>

#include <array>

// One device node of the edited system: a controller, an expansion module or a programmable
// controller. It holds its identity, what its catalogue template gave it, the ids of its resources
// and modules, its device-wide settings and, for a controller, what the detected system reported.
class Device : public Configuration
{
public:
    using Ptr_t = QSharedPointer<Device>;
    // Order of the detected readings: two measurements, the 12 V and 3.3 V rails, a fifth value.
    using Readings_t = std::array<double, 5>;

    enum Class : int { NoClass = 0, PlcClass = 1, TavClass = 2, PexClass = 3 };

    explicit Device(const DeviceHandle& handle);
    virtual ~Device();

    // Null for a class code that names no device class.
    static Ptr_t create(int deviceClass, const DeviceHandle& handle);
    // Reads what the system reader needs of one "Devices" element; false, and `record` untouched,
    // for an unusable one, among them one with an unfit value.
    static bool fromJson(DeviceRecord& record, const QJsonObject& json);
    // Whether a value of a "Devices" element is not of its key's form, or a number lies beyond
    // the ends of its field; the first one found goes to `unfit`. Such an element is refused
    // rather than read as device 0, an unnamed device, or a device with a new id.
    static bool unfitValue(const QJsonObject& json, UnfitValue* unfit = nullptr);

    bool readJson(const QJsonObject& json) override;
    bool writeJson(QJsonObject& json) const override;
    // The element as the system file stores it: what writeJson writes, with the device's key and,
    // unless `owner` is null, its owner's name.
    QJsonObject fileJson(const QString& key, const QString* owner) const;

    virtual int deviceClass() const = 0;
    virtual void setSystemInfo(const SystemInfo_t& info);
    virtual void applyTemplate(const DeviceTemplate& tpl);
    // Names the detected system this device leads; empty for devices that carry no serial number.
    virtual QString identityKey() const;
    // -1 for devices that report no supply flags.
    virtual int supplyFlags() const;
    virtual void importConfig(const AbstractConfig& config);
    virtual void exportConfig(AbstractConfig& config) const;
    virtual void setSupplyFlags(int flags);

    // The device number, "." and the name; the name alone for device 0. A module given its
    // controller's number gets that number and "." in front.
    QString displayName(int parentNumber = -1) const;

    DeviceHandle handle() const;
    DeviceType_t type() const { return m_type; }
    HardwareVersion revision() const { return m_revision; }
    const NodeId_t& id() const { return m_id; }
    const NodeId_t& owner() const { return m_owner; }
    void setOwner(const NodeId_t& owner) { m_owner = owner; }
    int number() const { return m_number; }
    void setNumber(int number) { m_number = number; }
    const QString& group() const { return m_group; }
    void setGroup(const QString& group) { m_group = group; }

    const QString& name() const { return m_name; }
    const QString& description() const { return m_description; }
    const QMap<int, int>& loadClasses() const { return m_loadClasses; }
    const QList<IoChannel>& channels() const { return m_channels; }

    const QVector<NodeId_t>& resourceIds() const { return m_resourceIds; }
    void addResource(const NodeId_t& id);
    void reserveResources(int count) { m_resourceIds.reserve(count); }
    void removeResource(const NodeId_t& id);
    const QList<NodeId_t>& childIds() const { return m_childIds; }
    void addChild(const NodeId_t& id);
    void setChildIds(const QList<NodeId_t>& ids) { m_childIds = ids; }

    const QString& label() const { return m_config.label; }
    void setLabel(const QString& label) { m_config.label = label; }

    const Readings_t& readings() const { return m_readings; }
    void setReadings(const Readings_t& readings) { m_readings = readings; }

    quint32 imageOffset() const { return m_imageOffset; }
    quint32 imageSize() const { return m_imageSize; }
    void setImagePlace(quint32 offset, quint32 size);

    quint32 systemWord() const { return m_systemWord; }

    // The "class" word of the device JSON.
    static QString classWord(int deviceClass);

protected:
    void setSystemWord(quint32 word) { m_systemWord = word; }
    // Name, "_" and the serial number padded to five digits.
    QString serialKey(quint32 serialNumber) const;

private:
    // Every key the system reader takes from a "Devices" element, with its form.
    static const std::vector<JsonField>& jsonFields();
    // writeJson's members, then "key" and "owner".
    std::array<JsonMember, 9> jsonMembers(const QString& key, const QString& owner) const;

    Q_DISABLE_COPY(Device)

    quint32 m_imageOffset = 0;
    quint32 m_imageSize = 0;
    DeviceType_t m_type = 0;
    HardwareVersion m_revision = -1;
    NodeId_t m_id;
    NodeId_t m_owner;
    qint32 m_number = -1;
    QString m_group;
    QString m_name;
    QString m_description;
    QMap<int, int> m_loadClasses;
    QList<IoChannel> m_channels;
    // A device holds dozens; a QList would allocate each id on its own.
    QVector<NodeId_t> m_resourceIds;
    QList<NodeId_t> m_childIds;
    Readings_t m_readings{};
    DeviceConfig m_config;
    quint32 m_systemWord = 0;
};
