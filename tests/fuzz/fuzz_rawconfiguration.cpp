// The configuration-area walk over an arbitrary register area: it must end, and never ask for a
// block past the last register.
#include "model/rawconfiguration.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    // The first block comes from the catalogue; the walk answers for every block after it.
    const quint32 base = qMin<quint32>(quint32(data[0]) << 8 | data[1], 0x10000 - 2);
    const QByteArray area(reinterpret_cast<const char*>(data + 2), int(size - 2));
    RawConfiguration raw;
    raw.setRegisters(ProtoEntry{3, 6, base, 2});
    for (int step = 0; raw.hasBlockToRead(); ++step) {
        const ProtoEntry e = raw.registers();
        if (step > 100000 || e.offset + e.registers > 0x10000)
            abort();
        raw.decode(area.mid(int(e.offset - base) * 2, int(e.registers) * 2));
    }
    return 0;
}
