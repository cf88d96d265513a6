// The system as the "data" object of a configuration file. Resource node ids are not stored:
// modules find their controllers and resources their devices through key texts made of device
// numbers and names, and every read gives the resources fresh ids.
#include "model/systemmodel.h"

#include "catalogue/settingsprovider.h"
#include "model/devicerecord.h"
#include "model/resourcekind.h"

#include <QDebug>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QSet>

#include <vector>

namespace {
const QString kDevices = QStringLiteral("Devices");
const QString kResources = QStringLiteral("Resources");
const QString kDataSize = QStringLiteral("dataSize");
const QString kOwner = QStringLiteral("owner");
const QString kNid = QStringLiteral("nid");
const QString kInfo = QStringLiteral("info");
const QString kType = QStringLiteral("type");
const QString kId = QStringLiteral("id");

// One device's resources in the order the program files them, with the place of the next one:
// an element is found there, and only one filed elsewhere makes the device index its resources by
// text id.
class FiledResources
{
public:
    IoResource::Ptr_t take(const QString& id);

    std::vector<IoResource::Ptr_t> resources;

private:
    std::size_t m_next = 0;
    QHash<QString, std::size_t> m_byId;
};

IoResource::Ptr_t FiledResources::take(const QString& id)
{
    if (m_next < resources.size() && resources[m_next]->textId() == id)
        return resources[m_next++];
    if (m_byId.isEmpty()) {
        m_byId.reserve(int(resources.size()));
        for (std::size_t i = 0; i < resources.size(); ++i)
            m_byId.insert(resources[i]->textId(), i);
    }
    const auto found = m_byId.constFind(id);
    if (found == m_byId.cend())
        return {};
    m_next = found.value() + 1;
    return resources[found.value()];
}

// A value as the file writes it, for a message that quotes it.
QString jsonText(const QJsonValue& value)
{
    const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(text.mid(1, text.size() - 2));
}

QString boundText(double bound)
{
    return QString::number(bound, 'g', 10);
}

// Why a value refuses the element named by `place`, said for the user.
QString unfitText(const QString& place, const UnfitValue& unfit)
{
    const JsonField& field = unfit.field;
    const QString least = boundText(field.least);
    const QString most = boundText(field.most);
    QString allowed;
    switch (field.form) {
    case JsonField::Form::Number:
        allowed = SystemModel::tr("допустимы целые числа от %1 до %2").arg(least, most);
        break;
    case JsonField::Form::Single:
        allowed = SystemModel::tr("допустимы числа от %1 до %2, «Infinity», «-Infinity», «-0» и "
                                  "«NaN»")
                      .arg(least, most);
        break;
    case JsonField::Form::Flag: allowed = SystemModel::tr("допустимы true и false"); break;
    case JsonField::Form::Text: allowed = SystemModel::tr("допустим только текст в кавычках"); break;
    case JsonField::Form::Object:
        allowed = SystemModel::tr("допустим только объект в фигурных скобках");
        break;
    }
    return SystemModel::tr("%1: значение %2 ключа «%3» не помещается в поле: %4")
        .arg(place, jsonText(unfit.value), field.key, allowed);
}

// Why the element of the resource `r` of the device `owner` was not read, said for the user.
QString refusedResource(const QString& owner, const IoResource& r, const QJsonObject& json)
{
    UnfitValue unfit;
    if (r.unfitValue(json, &unfit)) {
        return unfitText(SystemModel::tr("устройство «%1», канал «%2»").arg(owner, r.textId()),
                         unfit);
    }
    return SystemModel::tr("устройство «%1», канал «%2»: нет настроек").arg(owner, r.textId());
}

// Why an element filed under the kind `type` is not read into the resource `r`; empty when the
// kind is the resource's own.
QString wrongKind(const QString& owner, const IoResource& r, const QJsonValue& type)
{
    // An element that names no kind is taken for the resource's own.
    if (type.isUndefined())
        return QString();
    const int kind = type.toInt(-1);
    if (kind == r.kind())
        return QString();
    if (kind < ResourceKind::Ain || kind > ResourceKind::SerialPort)
        return SystemModel::tr("устройство «%1», канал «%2»: неизвестный вид записи %3")
            .arg(owner, r.textId(), jsonText(type));
    return SystemModel::tr("устройство «%1», канал «%2»: запись вида %3 у канала вида %4")
        .arg(owner, r.textId(), SettingsProvider::kindKey(kind),
             SettingsProvider::kindKey(r.kind()));
}

} // namespace

QString SystemModel::deviceKey(const Device::Ptr_t& d) const
{
    const Device::Ptr_t owner = device(d->owner());
    return d->displayName(owner ? owner->number() : -1);
}

bool SystemModel::writeJson(QJsonObject& data) const
{
    // A device's key names its element and, in every resource element, its owner: made once.
    std::vector<QString> keys;
    keys.reserve(std::size_t(m_devices.size()));
    QJsonArray devices;
    for (const Device::Ptr_t& d : m_devices) {
        keys.push_back(deviceKey(d));
        const Device::Ptr_t owner = device(d->owner());
        const QString ownerName = owner ? owner->displayName() : QString();
        devices.append(d->fileJson(keys.back(), owner ? &ownerName : nullptr));
    }

    QJsonArray resources;
    int expected = 0;
    static const QJsonObject ownerShape = IoResource::ownerInfo(QString(), ResourceKind::None);
    // Devices of one type name their resources alike: each text id is made a JSON value once.
    QHash<QString, QJsonValue> textIds;
    KindGroups groups;
    auto key = keys.cbegin();
    for (const Device::Ptr_t& d : m_devices) {
        const QString& ownerKey = *key++;
        // Kind by kind, as ioResources groups them: only device 0 lists the ports, and it holds
        // them itself.
        groupByKind(d->id(), false,
                    d->number() == 0 ? ResourceKind::SerialPort : ResourceKind::Dout, groups);
        for (std::size_t kind = 0; kind < groups.size(); ++kind) {
            if (groups[kind].empty())
                continue;
            const QJsonObject owner =
                filledJson(ownerShape, {{kType, int(kind)}, {kOwner, ownerKey}});
            for (const IoResource::Ptr_t& r : groups[kind]) {
                ++expected;
                auto textId = textIds.constFind(r->textId());
                if (textId == textIds.cend())
                    textId = textIds.insert(r->textId(), QJsonValue(r->textId()));
                QJsonObject json;
                if (!r->writeJson(json, owner, textId.value()))
                    continue;
                resources.append(json);
            }
        }
    }
    if (resources.size() != expected)
        return false;

    data.insert(kDevices, devices);
    data.insert(kResources, resources);
    data.insert(kDataSize, SettingsProvider::instance().defaultTypes);
    return true;
}

// Resources are matched to their device by the key texts of the file read. Two devices under one
// key there would hand one device's settings to the other, silently; such a file is refused like
// any other inconsistent one. (The keys the model writes are kept apart by brokenRule.)
QString SystemModel::repeatedKey(const QHash<NodeId_t, QString>& keyOfDevice) const
{
    QSet<QString> read;
    for (const Device::Ptr_t& d : m_devices) {
        const QString key = keyOfDevice.value(d->id());
        if (read.contains(key)) {
            qDebug() << "devicesFromJson: two devices under one key" << key;
            return key;
        }
        read.insert(key);
    }
    return QString();
}

bool SystemModel::readJson(const QJsonObject& data)
{
    // Devices of one type then share the catalogue's template. The read pairs the inputs and
    // settles the ports itself, so the batch leaves nothing to its end, whatever the outcome.
    const Batch batch(this);
    setFlag(false);
    m_refusedRule.clear();
    QHash<NodeId_t, QString> keyOfDevice;
    QMap<NodeId_t, QString> ownerOfDevice;
    QMap<QString, NodeId_t> deviceOfKey;
    if (!readDevices(data, keyOfDevice, ownerOfDevice, deviceOfKey))
        return false;
    linkOwners(ownerOfDevice, deviceOfKey);

    // The resources are filed in one go: the id index is sized for them once rather than grown
    // through every doubling on the way.
    int made = m_resourceById.size() + 2;
    for (const Device::Ptr_t& d : m_devices) {
        if (d->resourceIds().isEmpty())
            made += d->channels().size();
    }
    m_resourceById.reserve(made);
    for (const Device::Ptr_t& d : m_devices) {
        if (d->resourceIds().isEmpty())
            createResources(d);
    }
    settlePorts();
    // The program never writes a system that breaks a rule; one that does came from elsewhere
    // and would show devices wrongly, or not at all.
    m_refusedRule = brokenRule();
    if (!m_refusedRule.isEmpty()) {
        qDebug() << "devicesFromJson:" << m_refusedRule;
        return false;
    }
    const QString repeated = repeatedKey(keyOfDevice);
    if (!repeated.isEmpty()) {
        m_refusedRule = sameKeyRule(repeated);
        return false;
    }
    pairAnalogInputs();
    assignRegisters();

    if (!readResources(data, keyOfDevice))
        return false;
    for (const Device::Ptr_t& d : m_devices)
        takeFirstResourceSettings(d);
    emit changed(QList<NodeId_t>());
    setFlag(true);
    return true;
}

bool SystemModel::readDevices(const QJsonObject& data, QHash<NodeId_t, QString>& keyOfDevice,
                              QMap<NodeId_t, QString>& ownerOfDevice,
                              QMap<QString, NodeId_t>& deviceOfKey)
{
    const QJsonArray elements = data.value(kDevices).toArray();
    if (elements.isEmpty()) {
        m_refusedRule = tr("в файле нет ни одного устройства");
        return false;
    }
    m_deviceById.reserve(m_deviceById.size() + elements.size());
    keyOfDevice.reserve(elements.size());
    int entry = 0;
    for (const QJsonValue& element : elements) {
        ++entry;
        // A non-object element reads as an empty object, which the device reader rejects.
        const QJsonObject json = element.toObject();
        DeviceRecord record;
        if (!Device::fromJson(record, json)) {
            UnfitValue unfit;
            m_refusedRule = Device::unfitValue(json, &unfit)
                ? unfitText(tr("запись %1 списка устройств").arg(entry), unfit)
                : tr("запись %1 списка устройств не описывает устройство").arg(entry);
            return false;
        }
        NodeId_t id(json.value(kNid).toString());
        if (id.isNull())
            id = newNodeId();
        // The later device would take the earlier one's place, and its modules or resources.
        if (device(id)) {
            m_refusedRule = tr("устройства «%1» и «%2» записаны с одним идентификатором %3")
                                .arg(keyOfDevice.value(id), record.key, id.toString());
            return false;
        }
        DeviceHandle handle;
        handle.type = DeviceType_t(record.type);
        handle.revision = record.revision;
        handle.id = id;
        handle.number = record.bus;
        handle.group = record.group;
        // A file made for the other brand names types this brand's catalogue does not have.
        if (!createDevice(handle)) {
            m_refusedRule = tr("тип устройства %1 («%2») не входит в каталог этой марки")
                                .arg(QString::number(handle.type), record.key);
            return false;
        }
        keyOfDevice.insert(id, record.key);
        deviceOfKey.insert(record.key, id);
        if (!record.owner.isEmpty())
            ownerOfDevice.insert(id, record.owner);
        device(id)->readJson(json);
    }
    return m_devices.size() == elements.size();
}

void SystemModel::linkOwners(const QMap<NodeId_t, QString>& ownerOfDevice,
                             const QMap<QString, NodeId_t>& deviceOfKey)
{
    for (auto it = ownerOfDevice.cbegin(); it != ownerOfDevice.cend(); ++it) {
        const Device::Ptr_t d = device(it.key());
        const Device::Ptr_t owner = device(deviceOfKey.value(it.value()));
        // A device named as its own owner would sit in its own child list.
        if (!d || !owner || owner == d)
            continue;
        owner->addChild(d->id());
        d->setOwner(owner->id());
    }
}

bool SystemModel::readResources(const QJsonObject& data,
                                const QHash<NodeId_t, QString>& keyOfDevice)
{
    const QJsonArray elements = data.value(kResources).toArray();
    if (elements.isEmpty()) {
        m_refusedRule = tr("в файле нет настроек ни одного канала");
        return false;
    }

    // A device key and a text id name one resource: the device keys were found apart above, and a
    // device numbers its text ids kind by kind. So the walk takes the resources as filed, not in
    // id order (which, the ids being fresh and random, would have settled no tie better anyway).
    std::vector<FiledResources> filed(std::size_t(m_devices.size()));
    QHash<QString, FiledResources*> byOwner;
    byOwner.reserve(m_devices.size());
    KindGroups groups;
    auto place = filed.begin();
    for (const Device::Ptr_t& d : m_devices) {
        const auto key = keyOfDevice.constFind(d->id());
        if (key == keyOfDevice.cend())
            continue;
        groupByKind(d->id(), false, ResourceKind::SerialPort, groups);
        place->resources.reserve(std::size_t(d->resourceIds().size()));
        for (const std::vector<IoResource::Ptr_t>& list : groups)
            place->resources.insert(place->resources.end(), list.cbegin(), list.cend());
        byOwner.insert(key.value(), &*place++);
    }

    int wrong = 0;
    QString refused;
    QString lastOwner;
    FiledResources* owner = nullptr;
    for (const QJsonValue& element : elements) {
        const QJsonObject json = element.toObject();
        const QJsonObject info = json.value(kInfo).toObject();
        // A file lists a device's resources one after the other.
        const QString ownerKey = info.value(kOwner).toString();
        if (!owner || ownerKey != lastOwner) {
            owner = byOwner.value(ownerKey);
            lastOwner = ownerKey;
        }
        const IoResource::Ptr_t r =
            owner ? owner->take(info.value(kId).toString()) : IoResource::Ptr_t();
        if (!r)
            continue;
        // Settings of another kind would be taken field by field into the wrong record.
        const QString kind = wrongKind(ownerKey, *r, info.value(kType));
        if (!kind.isEmpty()) {
            if (refused.isEmpty())
                refused = kind;
            ++wrong;
            continue;
        }
        r->readJson(json);
        if (!r->flag()) {
            if (refused.isEmpty())
                refused = refusedResource(ownerKey, *r, json);
            ++wrong;
        }
    }
    if (wrong != 0) {
        qDebug() << "resourcesFromJson:" << wrong << ", wrong resources";
        m_refusedRule = refused;
        return false;
    }
    return true;
}
