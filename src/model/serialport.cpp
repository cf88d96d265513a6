#include "model/serialport.h"

#include "model/resourcevisitor/resourcevisitor.h"
#include "model/wireformat.h"

#include <QJsonValue>

namespace {

const QString kAddress = QStringLiteral("address");
const QString kDelay = QStringLiteral("delay");
const QString kMode = QStringLiteral("mode");
const QString kBaud = QStringLiteral("baud");
const QString kParity = QStringLiteral("parity");
const QString kSbits = QStringLiteral("sbits");
const QString kSafeTime = QStringLiteral("safeTime");

} // namespace

SerialPort::SerialPort(const NodeId_t& id)
    : IoResource(id)
{
}

int SerialPort::kind() const
{
    return ResourceKind::SerialPort;
}

bool SerialPort::decode(const QByteArray& data)
{
    // A short block would leave the port at baud 0 and address 0, cutting the controller off.
    if (data.size() < BlockSize)
        return false;
    WireReader in(data);
    SerialPortConfig c;
    in >> c.baud >> c.parity >> c.sbits >> c.blockWord >> c.delay >> c.mode >> c.address
        >> c.safeTime;
    m_config = c;
    return true;
}

void SerialPort::encode(QByteArray* data) const
{
    const SerialPortConfig& c = m_config;
    if (!data)
        return;
    WireWriter::replacing(*data, BlockSize) << c.baud << c.parity << c.sbits << c.blockWord
                                            << c.delay << c.mode << c.address << c.safeTime;
}

QString SerialPort::typeName() const
{
    return QStringLiteral("Serial port");
}

void SerialPort::exportConfig(AbstractConfig& config) const
{
    config.kind = ResourceKind::SerialPort;
    config.port = m_config;
}

void SerialPort::importConfig(const AbstractConfig& config)
{
    if (config.kind == ResourceKind::SerialPort)
        m_config = config.port;
}

void SerialPort::exportValue(AbstractValue& value) const
{
    value.kind = ResourceKind::SerialPort;
    value.port.words = m_live;
}

void SerialPort::importValue(const AbstractValue& value)
{
    if (value.kind == ResourceKind::SerialPort)
        m_live = value.port.words;
}

QMap<int, QString> SerialPort::valueText() const
{
    return {{0, textId()}};
}

void SerialPort::accept(ResourceVisitor& visitor)
{
    visitor.visit(this);
}

bool SerialPort::readJson(const QJsonObject& json)
{
    return readJsonFrame(json, [this](const QJsonObject& settings) {
        return readSettings(settings);
    });
}

const std::vector<JsonField>& SerialPort::jsonFields() const
{
    // A word is written as an int, so it may come back as a negative one as well.
    const auto word = [](const QString& key) {
        JsonField field = JsonField::of<quint32>(key);
        field.least = double(std::numeric_limits<qint32>::min());
        return field;
    };
    static const std::vector<JsonField> fields{
        JsonField::of<decltype(SerialPortConfig::address)>(kAddress),
        JsonField::of<decltype(SerialPortConfig::delay)>(kDelay),
        JsonField::of<decltype(SerialPortConfig::mode)>(kMode),
        word(kBaud),
        JsonField::of<decltype(SerialPortConfig::parity)>(kParity),
        JsonField::of<decltype(SerialPortConfig::sbits)>(kSbits),
        word(kSafeTime),
    };
    return fields;
}

bool SerialPort::readSettings(const QJsonObject& settings)
{
    if (settings.isEmpty())
        return false;
    // A missing key reads as 0, not as the field's default: configuration files in the field
    // rely on it. A 32-bit word above INT_MAX comes as the negative int it was written as.
    const auto field = [&settings](const QString& key) {
        return qint64(settings.value(key).toDouble(0.0));
    };
    m_config.address = quint8(field(kAddress));
    m_config.delay = quint16(field(kDelay));
    m_config.mode = quint8(field(kMode));
    m_config.baud = quint32(field(kBaud));
    m_config.parity = quint8(field(kParity));
    m_config.sbits = quint8(field(kSbits));
    m_config.safeTime = quint32(field(kSafeTime));
    return true;
}

QJsonObject SerialPort::settingsJson() const
{
    // The block word belongs to the device; the file does not carry it. Every field goes out as an
    // int, so a word above INT_MAX comes back whole through the read, as the negative int it is.
    const JsonValues settings{
        {kAddress, int(m_config.address)},
        {kDelay, int(m_config.delay)},
        {kMode, int(m_config.mode)},
        {kBaud, int(m_config.baud)},
        {kParity, int(m_config.parity)},
        {kSbits, int(m_config.sbits)},
        {kSafeTime, int(m_config.safeTime)},
    };
    static const JsonShape shape(settings);
    return filledJson(shape, settings);
}
