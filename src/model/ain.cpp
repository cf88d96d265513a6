#include "model/ain.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/registerarea.h"
#include "model/singlejson.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "model/wireformat.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QJsonValue>
#include <QSet>

#include <cmath>
#include <limits>

namespace {

const QString kRange = QStringLiteral("range");
const QString kPollAin = QStringLiteral("pollAin");
const QString kOnePole = QStringLiteral("onePole");
const QString kMedian = QStringLiteral("median");
const QString kFreq60 = QStringLiteral("freq60");
const QString kScMin = QStringLiteral("sc-min");
const QString kScMax = QStringLiteral("sc-max");
const QString kScOffset = QStringLiteral("sc-offset");
const QString kTsType = QStringLiteral("ts-type");
const QString kThermo = QStringLiteral("thermo");
const QString kAbFactor = QStringLiteral("ab-factor");
const QString kRref = QStringLiteral("rref");
const QString kTref = QStringLiteral("tref");
const QString kPrecision = QStringLiteral("precision");
const QString kA = QStringLiteral("A");
const QString kB = QStringLiteral("B");
const QString kC = QStringLiteral("C");

enum Flag : quint8 {
    Freq60Bit = 0x01,
    PollAinBit = 0x02,
};

constexpr qint32 kPollPeriodic = 1;
constexpr qint32 kPollFast = 2;

// Sensor ids whose stored coefficients the reload rule may replace by the catalogue's.
constexpr qint32 kFirstCatalogueSensor = 1;
constexpr qint32 kLastCatalogueSensor = 42;

} // namespace

// A double from a file or an editor can lie outside the single-precision range the device stores,
// and converting such a value is undefined; the nearest representable end is what the device can
// hold. Infinities and NaN convert as they are.
float Ain::toSingle(double value)
{
    constexpr double limit = double(std::numeric_limits<float>::max());
    if (value > limit && std::isfinite(value))
        return std::numeric_limits<float>::max();
    if (value < -limit && std::isfinite(value))
        return -std::numeric_limits<float>::max();
    return float(value);
}

namespace {

// A single from the file: a NaN bit for bit, any other number narrowed as above.
float jsonSingle(const QJsonValue& value)
{
    float nan = 0.0f;
    return SingleJson::readNaN(value, nan) ? nan : Ain::toSingle(SingleJson::read(value));
}

// Never loads the catalogue: blocks may be decoded on a channel's worker thread.
const SettingsProvider* catalogue()
{
    return SettingsProvider::loaded();
}

bool catalogueSensor(qint32 id, SensorInfo* out)
{
    const SettingsProvider* provider = catalogue();
    return provider && provider->sensor(id, out);
}

bool normalMode()
{
    return BrandRules::fillsSensorCoefficients(catalogue());
}

void copyCoefficients(const SensorInfo& sensor, SensorBlock& block)
{
    block.a = sensor.a;
    block.b = sensor.b;
    block.c = sensor.c;
}

bool sendsCoefficients(const AinConfig& config)
{
    return (config.range == Ain::Rtd || config.range == Ain::Rtd3Wire)
           && Ain::isUserSensor(config.tsType);
}

bool hasThermo(qint32 range)
{
    return range == Ain::Rtd || range == Ain::Rtd3Wire || range == Ain::Ntc;
}

QString rangeSuffix(qint32 range)
{
    switch (range) {
    case Ain::Voltage: return QStringLiteral("(0-10)");
    case Ain::Current: return QStringLiteral("(4-20)");
    case Ain::Rtd: return QStringLiteral("(RTD)");
    case Ain::Rtd3Wire: return QStringLiteral("(RTD3W)");
    case Ain::Ntc: return QStringLiteral("(NTC)");
    case Ain::Discrete: return QStringLiteral("(DIN)");
    default: return QString();
    }
}

QString rawUnit(qint32 range)
{
    switch (range) {
    case Ain::Voltage: return QStringLiteral("mV");
    case Ain::Current: return QStringLiteral("mA");
    case Ain::Rtd:
    case Ain::Rtd3Wire:
    case Ain::Ntc: return QStringLiteral("\u03A9");
    default: return QString();
    }
}

QString scaledUnit(qint32 range)
{
    return hasThermo(range) ? QStringLiteral("\u00B0C") : QString();
}

QString statusWord(quint32 status)
{
    switch (status) {
    case 1: return QCoreApplication::translate("Ain", "overload");
    case 2: return QCoreApplication::translate("Ain", "under");
    case 3: return QCoreApplication::translate("Ain", "outrange");
    default: return QString();
    }
}

// How many bytes of read data a role's decoder consumes, beyond what its register entry asks.
int valueBytes(int role)
{
    switch (role) {
    case ValueRole::AinValue:
    case ValueRole::AinRaw: return 4;
    case ValueRole::AinExtra: return 2;
    default: return 0;
    }
}

} // namespace

Ain::Ain(const NodeId_t& id)
    : IoResource(id)
{
    if (const SettingsProvider* provider = catalogue())
        m_config.onePole = qint16(provider->filterDefaultValue);
}

int Ain::kind() const
{
    return ResourceKind::Ain;
}

bool Ain::decode(const QByteArray& data)
{
    // A short block would turn the scale and the sensor values into zeros that the device never
    // sent, and the next write would store them.
    if (data.size() < BlockSize)
        return false;

    WireReader in(data);

    AinConfig config = m_config;
    SensorBlock& sensor = config.sensors[0];

    quint8 range = 0;
    quint8 tsType = 0;
    qint16 onePole = 0;
    quint8 median = 0;
    quint8 flags = 0;
    in >> range >> tsType >> onePole >> median >> flags;
    config.range = range;
    config.tsType = tsType;
    config.onePole = onePole;
    config.median = qint8(median);
    config.freq60 = (flags & Freq60Bit) != 0;
    config.pollAin = (flags & PollAinBit) != 0 ? kPollFast : kPollPeriodic;

    SensorInfo known;
    if (catalogueSensor(config.tsType, &known)) {
        sensor.rref = known.rRef;
        sensor.tref = known.tRef;
        sensor.abFactor = known.abFactor;
        copyCoefficients(known, sensor);
    }

    float scMin = 0.0f;
    float scMax = 0.0f;
    float scOffset = 0.0f;
    qint32 tref = 0;
    qint32 rref = 0;
    float first = 0.0f;
    float second = 0.0f;
    float third = 0.0f;
    in >> scMin >> scMax >> scOffset >> tref >> rref >> first >> second >> third;
    config.scMin = scMin;
    config.scMax = scMax;
    config.scOffset = scOffset;
    sensor.tref = tref;
    sensor.rref = rref;

    if (sendsCoefficients(config)) {
        sensor.a = first;
        sensor.b = second;
        sensor.c = third;
        if (normalMode())
            fillCoefficients(config);
    } else {
        sensor.abFactor = first;
    }

    // A device that reports range 3 has its pair wired for three-wire measurement; the pair may
    // not exist yet, so only this input's flag is set, and nothing here ever clears it.
    if (config.range == Rtd3Wire)
        setCoupledFlag(true);
    m_config = config;
    return true;
}

void Ain::encode(QByteArray* data) const
{
    if (!data)
        return;
    WireWriter out = WireWriter::replacing(*data, BlockSize);

    const SensorBlock& sensor = m_config.sensors[0];
    quint8 flags = 0;
    if (m_config.pollAin == kPollFast)
        flags |= PollAinBit;
    if (m_config.freq60)
        flags |= Freq60Bit;

    out << quint8(m_config.range) << quint8(m_config.tsType) << m_config.onePole
        << quint8(m_config.median) << flags << m_config.scMin << m_config.scMax
        << m_config.scOffset << sensor.tref << sensor.rref;
    if (sendsCoefficients(m_config))
        out << toSingle(sensor.a) << toSingle(sensor.b) << toSingle(sensor.c);
    else
        out << toSingle(sensor.abFactor) << 0.0f << 0.0f;
}

bool Ain::decodeValue(int role, const QByteArray& data)
{
    if (role < ValueRole::AinValue || role > ValueRole::AinExtra)
        return false;
    // Counted in bytes: the catalogue's count is of registers (two bytes) or of bits (one byte).
    const qint64 needed = qMax(RegisterArea::byteCount(this->role(role)), qint64(valueBytes(role)));
    if (data.size() < needed)
        return false;

    WireReader in(data);
    switch (role) {
    case ValueRole::AinValue: {
        float value = 0.0f;
        in >> value;
        m_value.value = value;
        break;
    }
    case ValueRole::AinRaw: {
        float raw = 0.0f;
        in >> raw;
        m_value.raw = raw;
        break;
    }
    case ValueRole::AinExtra: {
        quint16 extra = 0;
        in >> extra;
        m_value.extra = extra;
        break;
    }
    default:
        // The freeze switch is the user's to set; its coil is written, never taken from a read.
        break;
    }
    return true;
}

void Ain::encodeValue(int role, QByteArray* data) const
{
    if (!data)
        return;
    data->clear();
    QDataStream out(data, QIODevice::WriteOnly);
    wireFormat(out);
    switch (role) {
    case ValueRole::AinValue:
        out << toSingle(m_value.raw) << toSingle(m_value.value);
        break;
    case ValueRole::AinRaw:
        out << qint16(m_value.extra) << qint16(m_value.status);
        break;
    case ValueRole::RtdFreeze:
        out << (m_value.freeze != 0);
        break;
    default:
        break;
    }
}

QList<int> Ain::rolesA() const
{
    return {ValueRole::RtdFreeze};
}

QList<int> Ain::rolesB() const
{
    return {ValueRole::AinValue, ValueRole::AinRaw};
}

QList<int> Ain::rolesC() const
{
    return {ValueRole::AinValue, ValueRole::AinRaw, ValueRole::RtdFreeze};
}

QString Ain::typeName() const
{
    return QStringLiteral("AIN");
}

void Ain::exportConfig(AbstractConfig& config) const
{
    config.kind = ResourceKind::Ain;
    config.ain = m_config;
}

void Ain::importConfig(const AbstractConfig& config)
{
    if (config.kind != ResourceKind::Ain)
        return;
    if (partner()) {
        if (leavesThreeWire(m_config, config.ain))
            setCoupled(false);
        else if (entersThreeWire(m_config, config.ain))
            setCoupled(true);
    }
    m_config = config.ain;
}

bool Ain::changesPolling(const AbstractConfig& config) const
{
    return config.kind == ResourceKind::Ain && config.ain.pollAin != m_config.pollAin;
}

void Ain::exportValue(AbstractValue& value) const
{
    value.kind = ResourceKind::Ain;
    value.ain = m_value;
}

void Ain::importValue(const AbstractValue& value)
{
    if (value.kind == ResourceKind::Ain)
        m_value = value.ain;
}

QMap<int, QString> Ain::valueText() const
{
    QMap<int, QString> texts;
    const qint32 range = m_config.range;

    QString label = textId();
    const Ptr_t other = partner();
    if (other && isCoupled())
        label += QLatin1Char('-') + other->textId().mid(3);
    texts.insert(0, label + QLatin1Char(' ') + rangeSuffix(range));

    const QString frozen =
        m_value.freeze != 0 ? QCoreApplication::translate("Ain", "freeze") : QString();
    const QString status = statusWord(m_value.status);
    texts.insert(1, !frozen.isEmpty() && !status.isEmpty() ? frozen + QLatin1Char(',') + status
                                                           : frozen + status);

    if (range == Discrete) {
        texts.insert(2, m_value.raw > 0.01 ? QStringLiteral("1") : QStringLiteral("0"));
    } else {
        const int decimals = range == Voltage ? 0 : 2;
        texts.insert(2, QString::number(m_value.raw, 'f', decimals) + QLatin1Char(' ')
                            + rawUnit(range));
    }
    texts.insert(3, QString::number(m_value.value, 'f', 2) + QLatin1Char(' ') + scaledUnit(range));
    return texts;
}

bool Ain::statusFlag() const
{
    return m_value.status != 0;
}

void Ain::setStatusFlag(quint8 status)
{
    m_value.status = status;
}

void Ain::accept(ResourceVisitor& visitor)
{
    visitor.visit(this);
}

bool Ain::readJson(const QJsonObject& json)
{
    return readJsonFrame(json, [this](const QJsonObject& settings) {
        return readSettings(settings);
    });
}

QJsonObject Ain::settingsJson() const
{
    const SensorBlock& sensor = m_config.sensors[0];
    const JsonValues values{
        {kPollAin, m_config.pollAin == kPollFast},
        {kRange, m_config.range},
        {kOnePole, m_config.onePole},
        {kMedian, int(m_config.median)},
        {kFreq60, m_config.freq60},
        {kScMin, SingleJson::write(m_config.scMin)},
        {kScMax, SingleJson::write(m_config.scMax)},
        {kScOffset, SingleJson::write(m_config.scOffset)},
        {kTsType, m_config.tsType},
    };
    static const JsonShape shape(values);
    QJsonObject settings = filledJson(shape, values);
    if (hasThermo(m_config.range)) {
        const JsonValues precision{{kA, SingleJson::writeDouble(sensor.a)},
                                   {kB, SingleJson::writeDouble(sensor.b)},
                                   {kC, SingleJson::writeDouble(sensor.c)}};
        static const JsonShape precisionShape(precision);
        const JsonValues thermo{{kAbFactor, SingleJson::writeDouble(sensor.abFactor)},
                                {kRref, sensor.rref},
                                {kTref, sensor.tref},
                                {kPrecision, filledJson(precisionShape, precision)}};
        static const JsonShape thermoShape(thermo);
        settings.insert(kThermo, filledJson(thermoShape, thermo));
    }
    return settings;
}

const std::vector<JsonField>& Ain::jsonFields() const
{
    // The device keeps range and sensor id in a byte each. A sensor object of another form would
    // read as none, leaving the input with the sensor values it had.
    static const std::vector<JsonField> fields{
        JsonField::of<quint8>(kRange),
        JsonField::of<decltype(AinConfig::onePole)>(kOnePole),
        JsonField::of<decltype(AinConfig::median)>(kMedian),
        JsonField::of<bool>(kPollAin),
        JsonField::of<decltype(AinConfig::freq60)>(kFreq60),
        JsonField::of<decltype(AinConfig::scMin)>(kScMin),
        JsonField::of<decltype(AinConfig::scMax)>(kScMax),
        JsonField::of<decltype(AinConfig::scOffset)>(kScOffset),
        JsonField::of<quint8>(kTsType),
        JsonField::object(kThermo),
        JsonField::object(kPrecision, {kThermo}),
        JsonField::of<decltype(SensorBlock::abFactor)>(kAbFactor, {kThermo}),
        JsonField::of<decltype(SensorBlock::rref)>(kRref, {kThermo}),
        JsonField::of<decltype(SensorBlock::tref)>(kTref, {kThermo}),
        JsonField::of<decltype(SensorBlock::a)>(kA, {kThermo, kPrecision}),
        JsonField::of<decltype(SensorBlock::b)>(kB, {kThermo, kPrecision}),
        JsonField::of<decltype(SensorBlock::c)>(kC, {kThermo, kPrecision}),
    };
    return fields;
}

bool Ain::readSettings(const QJsonObject& settings)
{
    if (settings.isEmpty())
        return false;

    AinConfig config = m_config;
    config.range = settings.value(kRange).toInt(0);
    config.pollAin = settings.value(kPollAin).toBool(false) ? kPollFast : kPollPeriodic;
    config.onePole = qint16(settings.value(kOnePole).toInt());
    config.median = qint8(settings.value(kMedian).toInt());
    config.freq60 = settings.value(kFreq60).toBool();
    config.scMin = jsonSingle(settings.value(kScMin));
    config.scMax = jsonSingle(settings.value(kScMax));
    config.scOffset = jsonSingle(settings.value(kScOffset));
    config.tsType = settings.value(kTsType).toInt();

    const QJsonObject thermo = settings.value(kThermo).toObject();
    if (!thermo.isEmpty()) {
        SensorBlock& sensor = config.sensors[0];
        sensor.abFactor = SingleJson::read(thermo.value(kAbFactor));
        sensor.rref = thermo.value(kRref).toInt();
        sensor.tref = thermo.value(kTref).toInt();
        const QJsonObject precision = thermo.value(kPrecision).toObject();
        sensor.a = SingleJson::read(precision.value(kA));
        sensor.b = SingleJson::read(precision.value(kB));
        sensor.c = SingleJson::read(precision.value(kC));
    }

    if (normalMode())
        reloadCoefficients(config);

    if (config.range == Rtd3Wire)
        setCoupledFlag(true);
    m_config = config;
    return true;
}

bool Ain::entersThreeWire(const AinConfig& from, const AinConfig& to)
{
    return from.range != Rtd3Wire && to.range == Rtd3Wire;
}

bool Ain::leavesThreeWire(const AinConfig& from, const AinConfig& to)
{
    return from.range == Rtd3Wire && to.range != Rtd3Wire;
}

bool Ain::entersThreeWire(const AbstractConfig& from, const AbstractConfig& to)
{
    return entersThreeWire(from.ain, to.ain);
}

bool Ain::leavesThreeWire(const AbstractConfig& from, const AbstractConfig& to)
{
    return leavesThreeWire(from.ain, to.ain);
}

bool Ain::isUserSensor(qint32 tsType)
{
    static const QSet<qint32> userSensors{90, 91, 92, 93};
    return userSensors.contains(tsType);
}

void Ain::fillCoefficients(AinConfig& config)
{
    SensorBlock& sensor = config.sensors[0];
    // A device that never had user coefficients written reports zeros. A purely linear curve
    // (A alone) is the user's own and stays: the user sensors carry no coefficients in the
    // catalogue, so taking them would make the next write send A = 0.
    if (sensor.a != 0.0 || sensor.b != 0.0 || sensor.c != 0.0)
        return;
    SensorInfo known;
    if (catalogueSensor(config.tsType, &known))
        copyCoefficients(known, sensor);
}

void Ain::reloadCoefficients(AinConfig& config)
{
    SensorBlock& sensor = config.sensors[0];
    // Equal non-zero B and C are no sensor's polynomial; a catalogue sensor's own values stand.
    if (config.tsType < kFirstCatalogueSensor || config.tsType > kLastCatalogueSensor)
        return;
    if (sensor.b != sensor.c || sensor.b == 0.0)
        return;
    SensorInfo known;
    if (catalogueSensor(config.tsType, &known))
        copyCoefficients(known, sensor);
}
