#include "model/ioresource.h"

#include "model/ain.h"
#include "model/aout.h"
#include "model/din.h"
#include "model/dout.h"
#include "model/serialport.h"

#include <QJsonValue>

namespace {
const QString kSettings = QStringLiteral("settings");
const QString kInfo = QStringLiteral("info");
const QString kType = QStringLiteral("type");
const QString kId = QStringLiteral("id");
const QString kOwner = QStringLiteral("owner");
} // namespace

IoResource::IoResource(const NodeId_t& id)
    : Resource(id)
{
}

IoResource::Ptr_t IoResource::create(int kind, const NodeId_t& id)
{
    // One allocation for the object and its reference count: a system read makes thousands.
    switch (kind) {
    case ResourceKind::Ain: return QSharedPointer<Ain>::create(id);
    case ResourceKind::Aout: return QSharedPointer<Aout>::create(id);
    case ResourceKind::Din: return QSharedPointer<Din>::create(id);
    case ResourceKind::Dout: return QSharedPointer<Dout>::create(id);
    case ResourceKind::SerialPort: return QSharedPointer<SerialPort>::create(id);
    default: return {};
    }
}

bool IoResource::changesPolling(const AbstractConfig&) const
{
    return false;
}

QMap<int, QString> IoResource::valueText() const
{
    return {{0, m_textId}};
}

bool IoResource::statusFlag() const
{
    return false;
}

void IoResource::setStatusFlag(quint8) {}

namespace {

template <typename Iterator>
void pairInputs(Iterator from, Iterator to)
{
    IoResource::Ptr_t first;
    for (; from != to; ++from) {
        const IoResource::Ptr_t& resource = *from;
        if (!resource || resource->kind() != ResourceKind::Ain)
            continue;
        if (!first) {
            first = resource;
            continue;
        }
        first->setPartner(resource, true);
        resource->setPartner(first, false);
        first.reset();
    }
    // A pairing left over from an earlier run would make the odd input coupled to a neighbour
    // that now belongs to another pair.
    if (first)
        first->setPartner(IoResource::Ptr_t(), true);
}

} // namespace

void IoResource::pairAnalogInputs(const QList<Ptr_t>& resources)
{
    pairInputs(resources.cbegin(), resources.cend());
}

void IoResource::pairAnalogInputs(const Ptr_t* first, const Ptr_t* last)
{
    pairInputs(first, last);
}

void IoResource::setPartner(const Ptr_t& partner, bool primary)
{
    m_partner = partner;
    m_primary = primary;
}

bool IoResource::isPrimary() const
{
    return m_partner.isNull() ? true : m_primary;
}

bool IoResource::isSecondary() const
{
    return m_partner.isNull() ? false : !m_primary;
}

void IoResource::setCoupled(bool coupled)
{
    const Ptr_t other = partner();
    if (!other)
        return;
    m_coupled = coupled;
    other->m_coupled = coupled;
}

bool IoResource::isCoupled() const
{
    return m_partner.isNull() ? false : m_coupled;
}

QJsonObject IoResource::infoJson() const
{
    const JsonValues info{{kType, kind()}, {kId, m_textId}};
    static const JsonShape shape(info);
    return filledJson(shape, info);
}

bool IoResource::writeJson(QJsonObject& json) const
{
    writeJsonFrame(json, infoJson());
    return true;
}

bool IoResource::writeJson(QJsonObject& json, const QJsonObject& owner) const
{
    return writeJson(json, owner, QJsonValue(m_textId));
}

bool IoResource::writeJson(QJsonObject& json, const QJsonObject& owner,
                           const QJsonValue& textId) const
{
    writeJsonFrame(json, filledJson(owner, {{kId, textId}}));
    return true;
}

// The resource's members are in place, so that each resource only replaces the value of its id.
QJsonObject IoResource::ownerInfo(const QString& ownerKey, int kind)
{
    return {{kType, kind}, {kId, QString()}, {kOwner, ownerKey}};
}

void IoResource::setJsonOwner(QJsonObject& resourceJson, const QString& ownerKey)
{
    QJsonObject info = resourceJson.value(kInfo).toObject();
    info.insert(kOwner, ownerKey);
    resourceJson.insert(kInfo, info);
}

void IoResource::writeJsonFrame(QJsonObject& json, const QJsonObject& info) const
{
    const JsonValues frame{{kSettings, settingsJson()}, {kInfo, info}};
    static const JsonShape shape(frame);
    json = json.isEmpty() ? filledJson(shape, frame) : filledJson(json, frame);
}

const std::vector<JsonField>& IoResource::jsonFields() const
{
    static const std::vector<JsonField> none;
    return none;
}

bool IoResource::unfitValue(const QJsonObject& json, UnfitValue* unfit) const
{
    // Settings of another form would read as none at all.
    static const std::vector<JsonField> frame{JsonField::object(kSettings)};
    return findUnfitValue(json, frame, unfit)
           || findUnfitValue(json.value(kSettings).toObject(), jsonFields(), unfit);
}

bool IoResource::readJsonFrame(const QJsonObject& json,
                               const std::function<bool(const QJsonObject&)>& readSettings)
{
    setFlag(false);
    if (unfitValue(json))
        return false;
    const bool ok = readSettings(json.value(kSettings).toObject());
    if (ok)
        setFlag(true);
    return ok;
}
