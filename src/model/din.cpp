#include "model/din.h"

#include "model/registerarea.h"

#include "catalogue/settingsprovider.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "model/wireformat.h"

#include <QJsonValue>

namespace {

const QString kFilterOn = QStringLiteral("filterOn");
const QString kFilter = QStringLiteral("filter");
const QString kAc = QStringLiteral("ac");
const QString kPollCntr = QStringLiteral("pollCntr");
const QString kPollFreq = QStringLiteral("pollFreq");

enum Flag : quint16 {
    FilterOnBit = 0x01,
    AcBit = 0x02,
    PollCntrBit = 0x04,
    PollFreqBit = 0x08,
};

// How many bytes a role's value takes from the read data.
int valueBytes(int role)
{
    switch (role) {
    case ValueRole::DinState:
    case ValueRole::CounterReset: return 1;
    case ValueRole::DinCounter: return 4;
    default: return 0;
    }
}

} // namespace

Din::Din(const NodeId_t& id)
    : IoResource(id)
{
    // Never loads the catalogue itself: a resource made before one is loaded keeps the record's
    // own defaults.
    if (const SettingsProvider* provider = SettingsProvider::loaded()) {
        m_config.filterOn = provider->filterState != 0;
        m_config.filter = quint16(provider->filterValue);
    }
}

int Din::kind() const
{
    return ResourceKind::Din;
}

bool Din::decode(const QByteArray& data)
{
    // A short block would otherwise turn the missing fields into zeros, switching the filter off
    // on a device that never said so.
    if (data.size() < BlockSize)
        return false;
    WireReader in(data);
    quint16 flags = 0;
    quint16 filter = 0;
    in >> flags >> filter;
    m_config.filterOn = (flags & FilterOnBit) != 0;
    m_config.ac = (flags & AcBit) != 0;
    m_config.pollCntr = (flags & PollCntrBit) != 0;
    m_config.pollFreq = (flags & PollFreqBit) != 0;
    m_config.filter = filter;
    return true;
}

void Din::encode(QByteArray* data) const
{
    // The polling switches are device-wide settings the device keeps elsewhere; they stay out of
    // the channel's block.
    quint16 flags = 0;
    if (m_config.filterOn)
        flags |= FilterOnBit;
    if (m_config.ac)
        flags |= AcBit;
    if (!data)
        return;
    WireWriter::replacing(*data, BlockSize) << flags << m_config.filter;
}

bool Din::decodeValue(int role, const QByteArray& data)
{
    const int needed = valueBytes(role);
    if (needed == 0)
        return false;
    if (data.size() < qMax<qint64>(RegisterArea::byteCount(this->role(role)), needed))
        return false;
    WireReader in(data);
    switch (role) {
    case ValueRole::DinState: {
        quint8 state = 0;
        in >> state;
        m_value = state;
        break;
    }
    case ValueRole::DinCounter:
        in >> m_counter;
        break;
    case ValueRole::CounterReset: {
        quint8 reset = 0;
        in >> reset;
        m_reset = reset != 0;
        break;
    }
    }
    return true;
}

void Din::encodeValue(int role, QByteArray* data) const
{
    if (role != ValueRole::CounterReset)
        return;
    *data = QByteArray(1, char(m_reset ? 1 : 0));
}

QList<int> Din::rolesA() const
{
    return {ValueRole::CounterReset};
}

QList<int> Din::rolesB() const
{
    return {ValueRole::DinState, ValueRole::DinCounter};
}

QList<int> Din::rolesC() const
{
    return {ValueRole::DinState, ValueRole::DinCounter, ValueRole::CounterAck,
            ValueRole::CounterReset};
}

QString Din::typeName() const
{
    return QStringLiteral("DIN");
}

void Din::exportConfig(AbstractConfig& config) const
{
    config.kind = ResourceKind::Din;
    config.din = m_config;
}

void Din::importConfig(const AbstractConfig& config)
{
    if (config.kind != ResourceKind::Din)
        return;
    m_config = config.din;
    // A slow input cannot work without its filter.
    if (isSlow())
        m_config.filterOn = true;
}

void Din::restoreConfig(const AbstractConfig& config)
{
    if (config.kind == ResourceKind::Din)
        m_config = config.din;
}

bool Din::changesPolling(const AbstractConfig& config) const
{
    return config.kind == ResourceKind::Din
           && (config.din.pollCntr != m_config.pollCntr || config.din.pollFreq != m_config.pollFreq);
}

void Din::exportValue(AbstractValue& value) const
{
    value.kind = ResourceKind::Din;
    value.din.value = m_value;
    value.din.counter = m_counter;
    value.din.frequency = m_frequency;
    value.din.reset = m_reset ? 1 : 0;
}

void Din::importValue(const AbstractValue& value)
{
    if (value.kind != ResourceKind::Din)
        return;
    m_value = quint16(value.din.value);
    m_counter = value.din.counter;
    m_frequency = value.din.frequency;
    // Only the low byte carries the request.
    m_reset = (value.din.reset & 0xFF) != 0;
}

QMap<int, QString> Din::valueText() const
{
    QString label = textId();
    if (isSlow())
        label += QStringLiteral(" (Slow)");
    return {{0, label}, {1, QString::number(m_value)}, {2, QString::number(m_counter)}};
}

void Din::accept(ResourceVisitor& visitor)
{
    visitor.visit(this);
}

bool Din::readJson(const QJsonObject& json)
{
    return readJsonFrame(json, [this](const QJsonObject& settings) {
        return readSettings(settings);
    });
}

const std::vector<JsonField>& Din::jsonFields() const
{
    static const std::vector<JsonField> fields{
        JsonField::of<decltype(DinConfig::filterOn)>(kFilterOn),
        JsonField::of<decltype(DinConfig::filter)>(kFilter),
        JsonField::of<decltype(DinConfig::ac)>(kAc),
        JsonField::of<decltype(DinConfig::pollCntr)>(kPollCntr),
        JsonField::of<decltype(DinConfig::pollFreq)>(kPollFreq),
    };
    return fields;
}

bool Din::readSettings(const QJsonObject& settings)
{
    if (settings.isEmpty())
        return false;
    m_config.filterOn = settings.value(kFilterOn).toBool(false);
    m_config.ac = settings.value(kAc).toBool(false);
    m_config.pollCntr = settings.value(kPollCntr).toBool(false);
    m_config.pollFreq = settings.value(kPollFreq).toBool(false);
    m_config.filter = quint16(settings.value(kFilter).toInt(0));
    return true;
}

QJsonObject Din::settingsJson() const
{
    const JsonValues settings{
        {kFilterOn, m_config.filterOn},
        {kFilter, int(m_config.filter)},
        {kAc, m_config.ac},
        {kPollCntr, m_config.pollCntr},
        {kPollFreq, m_config.pollFreq},
    };
    static const JsonShape shape(settings);
    return filledJson(shape, settings);
}
