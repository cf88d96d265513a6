#include "model/aout.h"

#include "model/registerarea.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "model/wireformat.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QJsonValue>

namespace {

const QString kSave = QStringLiteral("save");

// A register of the output travels as one signed 16-bit word.
constexpr int kValueBytes = 2;

} // namespace

Aout::Aout(const NodeId_t& id)
    : IoResource(id)
{
}

int Aout::kind() const
{
    return ResourceKind::Aout;
}

bool Aout::decode(const QByteArray& data)
{
    // A short block would leave the block word half read; the device always sends all of it.
    if (data.size() < BlockSize)
        return false;
    WireReader in(data);
    qint16 spare1 = 0;
    qint16 spare2 = 0;
    quint16 save = 0;
    quint32 blockWord = 0;
    in >> spare1 >> spare2 >> save >> blockWord;
    if (!in.ok())
        return false;
    m_config.save = save;
    m_config.blockWord = blockWord;
    return true;
}

void Aout::encode(QByteArray* data) const
{
    if (!data)
        return;
    // The spare words are the device's own; it expects zeros from us.
    WireWriter::replacing(*data, BlockSize)
        << qint16(0) << qint16(0) << m_config.save << m_config.blockWord;
}

bool Aout::decodeValue(int valueRole, const QByteArray& data)
{
    if (valueRole != ValueRole::AoutValue && valueRole != ValueRole::AoutOverride)
        return false;
    if (data.size() < qMax<qint64>(RegisterArea::byteCount(role(valueRole)), kValueBytes))
        return false;
    WireReader in(data);
    qint16 word = 0;
    in >> word;
    if (!in.ok())
        return false;
    if (valueRole == ValueRole::AoutValue)
        m_value.value = static_cast<quint16>(word);
    else
        m_value.overrideValue = word;
    return true;
}

void Aout::encodeValue(int valueRole, QByteArray* data) const
{
    if (!data)
        return;
    qint16 word = 0;
    if (valueRole == ValueRole::AoutValue)
        word = static_cast<qint16>(m_value.value);
    else if (valueRole == ValueRole::AoutOverride)
        word = m_value.overrideValue;
    else
        return;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    wireFormat(out);
    out << word;
    *data = bytes;
}

QList<int> Aout::rolesA() const
{
    return {ValueRole::AoutOverride};
}

QList<int> Aout::rolesB() const
{
    return {ValueRole::AoutValue, ValueRole::AoutOverride};
}

QList<int> Aout::rolesC() const
{
    return {ValueRole::AoutValue};
}

QString Aout::typeName() const
{
    return QCoreApplication::translate("Aout", "AOUT");
}

void Aout::exportConfig(AbstractConfig& config) const
{
    config.kind = ResourceKind::Aout;
    config.aout = m_config;
}

void Aout::importConfig(const AbstractConfig& config)
{
    if (config.kind == ResourceKind::Aout)
        m_config = config.aout;
}

void Aout::exportValue(AbstractValue& value) const
{
    value.kind = ResourceKind::Aout;
    value.aout = m_value;
}

void Aout::importValue(const AbstractValue& value)
{
    if (value.kind == ResourceKind::Aout)
        m_value = value.aout;
}

QMap<int, QString> Aout::valueText() const
{
    QMap<int, QString> texts = IoResource::valueText();
    texts.insert(1, m_value.overload != 0 ? QCoreApplication::translate("Aout", "overload")
                                          : QString());
    const float volts = static_cast<float>(m_value.value) / 1000.0f;
    texts.insert(2, QString::number(volts, 'g', 6) + QStringLiteral(" V"));
    return texts;
}

bool Aout::statusFlag() const
{
    return m_value.overload != 0;
}

void Aout::setStatusFlag(quint8 status)
{
    m_value.overload = status;
}

void Aout::accept(ResourceVisitor& visitor)
{
    visitor.visit(this);
}

bool Aout::readJson(const QJsonObject& json)
{
    return readJsonFrame(json, [this](const QJsonObject& settings) {
        return readSettings(settings);
    });
}

QJsonObject Aout::settingsJson() const
{
    const JsonValues settings{{kSave, int(m_config.save)}};
    static const JsonShape shape(settings);
    return filledJson(shape, settings);
}

const std::vector<JsonField>& Aout::jsonFields() const
{
    static const std::vector<JsonField> fields{JsonField::of<decltype(AoutConfig::save)>(kSave)};
    return fields;
}

bool Aout::readSettings(const QJsonObject& settings)
{
    if (settings.isEmpty())
        return false;
    m_config.save = quint16(settings.value(kSave).toInt());
    return true;
}
