// The controller's CPU block as a device sends it: the 4-byte header step, then the records step,
// then the system identity built from whatever was decoded.
#include "fuzzcatalogue.h"
#include "model/korcpu.h"
#include "model/systeminfo.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzCatalogue();

    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    const ProtoEntry headerEntry{4, 0, 40963, 2};
    KorCpu cpu;
    cpu.setRegisters(headerEntry);

    const bool headerOk = cpu.decode(bytes.left(4));
    check(headerOk == (size >= 4));
    if (!headerOk) {
        check(cpu.stage() == KorCpu::HeaderNext && cpu.registers() == headerEntry);
        return 0;
    }
    check(cpu.registers().offset == 40965 && cpu.registers().registers == cpu.byteLength() / 2u);

    const bool recordsOk = cpu.decode(bytes.mid(4));
    check(cpu.stage() == KorCpu::Complete && !cpu.hasBlockToRead() && cpu.registers().isNull());
    check(cpu.records().size() <= int(cpu.recordCount()));
    check(!recordsOk || cpu.records().size() == int(cpu.recordCount()));
    check(!cpu.decode(bytes));

    SystemInfo_t info;
    cpu.toSystemInfo(info);
    check(cpu.isValid() || info.kernelSn == 0);
    check(info.bus.size() < qMax(1, cpu.records().size()));
    (void)cpu.allTypesKnown();
    (void)describeSystemInfo(info);

    cpu.endRead();
    check(cpu.stage() == KorCpu::HeaderNext && cpu.registers() == headerEntry);
    return 0;
}
