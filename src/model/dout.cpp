#include "model/dout.h"

#include "model/registerarea.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "model/wireformat.h"

#include <QJsonValue>

namespace {

const QString kSave = QStringLiteral("save");

// A coil travels as one byte, 0 or 1.
constexpr int kValueBytes = 1;

} // namespace

Dout::Dout(const NodeId_t& id)
    : IoResource(id)
{
}

int Dout::kind() const
{
    return ResourceKind::Dout;
}

bool Dout::decode(const QByteArray& data)
{
    // Reading a short block would put a made-up zero into the safe state.
    if (data.size() < BlockSize)
        return false;
    WireReader in(data);
    qint16 spare = 0;
    qint16 save = 0;
    in >> spare >> save;
    if (!in.ok())
        return false;
    m_config.save = save;
    return true;
}

void Dout::encode(QByteArray* data) const
{
    if (!data)
        return;
    // The spare word is the device's own; it expects zero from us.
    WireWriter::replacing(*data, BlockSize) << qint16(0) << m_config.save;
}

bool Dout::decodeValue(int valueRole, const QByteArray& data)
{
    if (valueRole != ValueRole::DoutState && valueRole != ValueRole::DoutOverride)
        return false;
    if (data.size() < qMax<qint64>(RegisterArea::byteCount(role(valueRole)), kValueBytes))
        return false;
    const quint16 state = static_cast<quint8>(data.at(0));
    if (valueRole == ValueRole::DoutState)
        m_value.value = state;
    else
        m_value.overrideValue = state;
    return true;
}

void Dout::encodeValue(int valueRole, QByteArray* data) const
{
    // The output state is the device's to report; only the override is ever sent.
    if (!data || valueRole != ValueRole::DoutOverride)
        return;
    *data = QByteArray(1, static_cast<char>(m_value.overrideValue & 0xFF));
}

QList<int> Dout::rolesA() const
{
    return {ValueRole::DoutOverride};
}

QList<int> Dout::rolesB() const
{
    return {ValueRole::DoutState, ValueRole::DoutOverride};
}

QList<int> Dout::rolesC() const
{
    return {ValueRole::DoutState};
}

QString Dout::typeName() const
{
    return QStringLiteral("DOUT");
}

void Dout::exportConfig(AbstractConfig& config) const
{
    config.kind = ResourceKind::Dout;
    config.dout = m_config;
}

void Dout::importConfig(const AbstractConfig& config)
{
    if (config.kind == ResourceKind::Dout)
        m_config = config.dout;
}

void Dout::exportValue(AbstractValue& value) const
{
    value.kind = ResourceKind::Dout;
    value.dout = m_value;
}

void Dout::importValue(const AbstractValue& value)
{
    if (value.kind == ResourceKind::Dout)
        m_value = value.dout;
}

QMap<int, QString> Dout::valueText() const
{
    QMap<int, QString> texts = IoResource::valueText();
    texts.insert(1, QString::number(m_value.value));
    return texts;
}

void Dout::accept(ResourceVisitor& visitor)
{
    visitor.visit(this);
}

bool Dout::readJson(const QJsonObject& json)
{
    return readJsonFrame(json, [this](const QJsonObject& settings) {
        return readSettings(settings);
    });
}

QJsonObject Dout::settingsJson() const
{
    const JsonValues settings{{kSave, int(m_config.save)}};
    static const JsonShape shape(settings);
    return filledJson(shape, settings);
}

const std::vector<JsonField>& Dout::jsonFields() const
{
    static const std::vector<JsonField> fields{JsonField::of<decltype(DoutConfig::save)>(kSave)};
    return fields;
}

bool Dout::readSettings(const QJsonObject& settings)
{
    if (settings.isEmpty())
        return false;
    m_config.save = qint16(settings.value(kSave).toInt());
    return true;
}
