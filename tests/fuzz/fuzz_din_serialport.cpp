// Register blocks and live values of discrete inputs and serial ports, as a device sends them.
#include "fuzzjson.h"
#include "model/din.h"
#include "model/serialport.h"

#include <QByteArray>
#include <QJsonDocument>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

void fuzzDinBlock(const QByteArray& data)
{
    Din din{NodeId_t()};
    const bool ok = din.decode(data);
    check(ok == (data.size() >= Din::BlockSize));
    QByteArray out;
    din.encode(&out);
    check(out.size() == Din::BlockSize);
    if (ok) {
        check(quint8(out[0]) == (quint8(data[0]) & 0x03) && out[1] == char(0));
        check(out.mid(2) == data.mid(2, 2));
    }
}

void fuzzPortBlock(const QByteArray& data)
{
    SerialPort port{NodeId_t()};
    const bool ok = port.decode(data);
    check(ok == (data.size() >= SerialPort::BlockSize));
    QByteArray out;
    port.encode(&out);
    check(out.size() == SerialPort::BlockSize);
    if (ok)
        check(out == data.left(SerialPort::BlockSize));
}

void fuzzDinValue(quint8 selector, const QByteArray& data)
{
    Din din{NodeId_t()};
    // The role comes from the low nibble, the register area and its size from the high one.
    const int role = selector & 0x0F;
    const quint32 functions[] = {1, 2, 3, 4};
    din.setRole(role, ProtoEntry{functions[(selector >> 4) & 3], 0, 0, quint32(selector >> 6)});
    if (din.decodeValue(role, data)) {
        AbstractValue value;
        din.exportValue(value);
        check(value.din.value <= 0xFF && value.din.reset <= 1);
        din.valueText();
    }
    QByteArray out;
    din.encodeValue(role, &out);
    SerialPort port{NodeId_t()};
    check(!port.decodeValue(role, data));
}

void fuzzSettings(const QByteArray& data)
{
    const QJsonObject json = parseFuzzJson(data).object();
    Din din{NodeId_t()};
    din.readJson(json);
    SerialPort port{NodeId_t()};
    port.readJson(json);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size < 2)
        return 0;
    const quint8 action = bytes[0];
    const quint8 selector = bytes[1];
    const QByteArray data(reinterpret_cast<const char*>(bytes + 2), int(size - 2));
    switch (action % 4) {
    case 0: fuzzDinBlock(data); break;
    case 1: fuzzPortBlock(data); break;
    case 2: fuzzDinValue(selector, data); break;
    default: fuzzSettings(data); break;
    }
    return 0;
}
