// Configuration blocks, live values and JSON settings of the analogue and discrete outputs, as a
// device or a hand-edited file might send them. A refused input must leave the resource unchanged.
#include "fuzzjson.h"
#include "model/aout.h"
#include "model/dout.h"

#include <QJsonDocument>

#include <cstdlib>
#include <cstring>

namespace {

bool sameValue(const AbstractValue& a, const AbstractValue& b)
{
    return a.aout.control == b.aout.control && a.aout.overload == b.aout.overload
        && a.aout.value == b.aout.value && a.aout.overrideValue == b.aout.overrideValue
        && a.dout.control == b.dout.control && a.dout.value == b.dout.value
        && a.dout.overrideValue == b.dout.overrideValue;
}

template<typename Output>
void exercise(Output& output, quint8 selector, const QByteArray& payload)
{
    // The register entry's table and count come from the input too, so any pairing of entry and
    // reply length is tried.
    const quint32 functions[] = {1, 2, 3, 4};
    const ProtoEntry entry{functions[selector & 3], 0, 0, quint32((selector >> 2) & 3)};
    const int valueRole = 5 + ((selector >> 4) % 10);
    output.setRole(valueRole, entry);

    // Start from non-zero state, so a refused input that zeroed a field would show.
    output.decode(QByteArray(16, '\x5a'));
    AbstractValue seed;
    output.exportValue(seed);
    seed.aout = {0x11, 1, 0x2233, 0x4455};
    seed.dout = {0x66, 0x77, 0x88};
    output.importValue(seed);

    AbstractConfig configBefore;
    output.exportConfig(configBefore);
    if (!output.decode(payload)) {
        AbstractConfig configAfter;
        output.exportConfig(configAfter);
        if (configAfter != configBefore)
            std::abort();
    }

    AbstractValue valueBefore;
    output.exportValue(valueBefore);
    if (!output.decodeValue(valueRole, payload)) {
        AbstractValue valueAfter;
        output.exportValue(valueAfter);
        if (!sameValue(valueBefore, valueAfter))
            std::abort();
    }

    QByteArray out;
    output.encode(&out);
    if (out.size() != Output::BlockSize)
        std::abort();
    output.encodeValue(valueRole, &out);
    output.valueText();

    const QJsonDocument document = parseFuzzJson(payload);
    if (document.isObject()) {
        output.readJson(document.object());
        QJsonObject json;
        output.writeJson(json);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const quint8 selector = data[0];
    const QByteArray payload(reinterpret_cast<const char*>(data + 1), int(size - 1));

    Aout aout(NodeId_t{});
    exercise(aout, selector, payload);
    Dout dout(NodeId_t{});
    exercise(dout, selector, payload);
    return 0;
}
