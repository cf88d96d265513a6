// Device objects of a configuration file: the reader's checks, then a device made from what it
// accepted, written and read back. The object is built from the bytes key by key rather than
// parsed, so every key can take every kind of value (and Qt's text parser stays out of the way).
#include "model/device.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

class Bytes
{
public:
    Bytes(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool take(void* out, size_t n)
    {
        if (m_size - m_pos < n)
            return false;
        std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
        return true;
    }
    quint8 byte()
    {
        quint8 b = 0;
        take(&b, 1);
        return b;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

QJsonValue value(Bytes& in)
{
    switch (in.byte() % 8) {
    case 1: return bool(in.byte() & 1);
    case 2: {
        qint32 v = 0;
        in.take(&v, sizeof v);
        return v;
    }
    case 3: {
        double v = 0;
        in.take(&v, sizeof v);
        return v;
    }
    case 4: {
        QByteArray text(in.byte() % 16, '\0');
        in.take(text.data(), size_t(text.size()));
        return QString::fromUtf8(text);
    }
    case 5: {
        static const char* const words[] = {"tav", "pex", "plc", "none", "Tav", ""};
        return QString::fromLatin1(words[in.byte() % 6]);
    }
    case 6: return QJsonValue(QJsonValue::Null);
    case 7: return QJsonArray{1, 2};
    default: return QJsonValue(QJsonValue::Undefined);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes in(data, size);
    QJsonObject json;
    for (const char* key : {"class", "type", "revision", "bus", "label", "group", "nid", "key",
                            "owner"}) {
        const QJsonValue v = value(in);
        if (!v.isUndefined())
            json.insert(QLatin1String(key), v);
    }

    DeviceRecord record;
    record.key = QStringLiteral("untouched");
    if (!Device::fromJson(record, json)) {
        check(record.key == QLatin1String("untouched") && record.deviceClass == 0);
        return 0;
    }
    check(record.bus >= 0 && record.type != 0 && record.deviceClass >= 1 && record.deviceClass <= 3);

    DeviceHandle handle;
    handle.type = DeviceType_t(record.type);
    handle.revision = record.revision;
    handle.id = QUuid(json.value(QLatin1String("nid")).toString());
    handle.number = record.bus;
    handle.group = record.group;
    const Device::Ptr_t device = Device::create(record.deviceClass, handle);
    check(device && device->readJson(json));

    QJsonObject written;
    check(device->writeJson(written));
    DeviceRecord again;
    check(Device::fromJson(again, written));
    check(again.type == record.type && again.deviceClass == record.deviceClass
          && again.revision == record.revision && again.bus == record.bus
          && again.group == record.group);
    check(written.value(QLatin1String("label")) == json.value(QLatin1String("label")).toString());
    return 0;
}
