// The analogue input's readers of device data and of its JSON settings: the configuration block,
// every value role, and the "settings" object of a configuration file.
#include "model/ain.h"
#include "fuzzcatalogue.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void fuzzBlock(const QByteArray& data)
{
    Ain ain(QUuid::createUuid());
    QByteArray before;
    ain.encode(&before);
    if (!ain.decode(data)) {
        QByteArray after;
        ain.encode(&after);
        if (after != before)
            abort();
        return;
    }
    // What the device sends once must come back the same after one trip through the record.
    QByteArray first;
    ain.encode(&first);
    if (first.size() != Ain::BlockSize || !ain.decode(first))
        abort();
    QByteArray second;
    ain.encode(&second);
    if (second != first)
        abort();
}

void fuzzValues(const QByteArray& data)
{
    Ain ain(QUuid::createUuid());
    const SettingsProvider& catalogue = SettingsProvider::instance();
    for (int role = ValueRole::AinValue; role <= ValueRole::RtdFreeze; ++role) {
        ProtoEntry entry;
        if (catalogue.iortEntry(Resource::roleWord(role), &entry))
            ain.setRole(role, entry);
    }
    for (int role = -1; role <= ValueRole::DoutOverride; ++role) {
        ain.decodeValue(role, data);
        QByteArray out;
        ain.encodeValue(role, &out);
    }
    ain.valueText();
}

// Hands out the fuzz bytes as JSON values. The settings object is built from them rather than
// parsed, because Qt's own JSON parser leaks on some malformed documents and would hide findings
// in the reader under test.
class ValueSource
{
public:
    explicit ValueSource(const QByteArray& data) : m_data(data) {}

    QJsonValue next(int depth = 0)
    {
        switch (take(1) % 6) {
        case 0: return QJsonValue(QJsonValue::Undefined);
        case 1: return QJsonValue(qint32(take(4)));
        case 2: {
            const quint64 bits = take(8);
            double value = 0;
            memcpy(&value, &bits, sizeof value);
            return QJsonValue(value);
        }
        case 3: return QJsonValue(take(1) % 2 == 0);
        case 4: return QJsonValue(QString::number(take(2)));
        default: return depth < 2 ? QJsonValue(object(depth + 1)) : QJsonValue();
        }
    }

    QJsonObject object(int depth = 0)
    {
        static const char* const keys[] = {"range", "pollAin", "onePole", "median", "freq60",
                                           "sc-min", "sc-max", "sc-offset", "ts-type", "thermo",
                                           "ab-factor", "rref", "tref", "precision", "A", "B", "C"};
        QJsonObject result;
        for (const char* key : keys) {
            const QJsonValue value = next(depth);
            if (!value.isUndefined())
                result.insert(QLatin1String(key), value);
        }
        return result;
    }

private:
    quint64 take(int bytes)
    {
        quint64 value = 0;
        for (int i = 0; i < bytes; ++i) {
            const quint8 byte = m_pos < m_data.size() ? quint8(m_data.at(m_pos)) : 0;
            ++m_pos;
            value |= quint64(byte) << (8 * i);
        }
        return value;
    }

    const QByteArray& m_data;
    int m_pos = 0;
};

void fuzzJson(const QByteArray& data)
{
    ValueSource source(data);
    Ain ain(QUuid::createUuid());
    ain.readJson(QJsonObject{{QStringLiteral("settings"), source.object()}});
    QJsonObject json;
    ain.writeJson(json);
    QByteArray block;
    ain.encode(&block);
    ain.valueText();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    fuzzCatalogue();
    const QByteArray data(reinterpret_cast<const char*>(bytes), int(size));
    fuzzBlock(data);
    fuzzValues(data);
    fuzzJson(data);
    return 0;
}
