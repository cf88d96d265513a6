// Device replies through the requests: the alarm read-modify-write, merged value reads cut into
// the four I/O kinds, and the stepped reads whose blocks the worker keeps and notify() replays.
// A replayed target must end exactly as one that decoded the same blocks directly.
#include "model/ain.h"
#include "model/aout.h"
#include "communication/changealarmrequest.h"
#include "communication/iodevice.h"
#include "communication/reqgen.h"
#include "communication/smartreadrequest.h"
#include "model/din.h"
#include "model/dout.h"
#include "fuzzcatalogue.h"
#include "model/korcpu.h"
#include "model/rawconfiguration.h"

#include <QByteArray>
#include <QVector>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

// Reads the next bytes of the fuzz input; an input that runs out fails the read.
class FuzzDevice final : public IoDevice
{
public:
    explicit FuzzDevice(const QByteArray& input) : input(input) {}

    int read(int area, int, int count, QByteArray* data, int) override
    {
        if (area < 1 || area > 4)
            return -1;
        if (count < 1) {
            served.append(QByteArray());
            return 0;
        }
        const int bytes = area <= 2 ? count : count * 2;
        if (input.size() - at < bytes || ++reads > 64)
            return -3;
        const QByteArray block = input.mid(at, bytes);
        at += bytes;
        served.append(block);
        data->append(block);
        return count;
    }
    int write(int, int, int count, const QByteArray* data, int, int) override
    {
        written.append(*data);
        return count;
    }

    QVector<QByteArray> served;
    QVector<QByteArray> written;

private:
    const QByteArray input;
    int at = 0;
    int reads = 0;
};

class Input
{
public:
    explicit Input(const QByteArray& bytes) : bytes(bytes) {}
    quint8 byte() { return pos < bytes.size() ? quint8(bytes[pos++]) : 0; }
    quint16 word() { return quint16(byte() | (byte() << 8)); }
    qint32 i32() { return qint32(quint32(word()) | (quint32(word()) << 16)); }
    QByteArray rest() const { return bytes.mid(pos); }

private:
    const QByteArray bytes;
    int pos = 0;
};

void alarmChange(Input& in)
{
    const quint16 first = in.word();
    const quint8 count = in.byte() % 9;
    ChangeAlarmRequest request({}, 5);
    request.registers() = ProtoEntry{3, 6, first, count};
    const int changes = in.byte() % 8;
    for (int i = 0; i < changes; ++i) {
        const qint32 reg = i % 2 ? qint32(first) + in.byte() % 10 - 1 : in.i32();
        request.changes().append({reg, in.i32() % 40, in.byte() & 1});
    }
    FuzzDevice device(in.rest());
    if (request.doRequest(device) == 0 && count > 0) {
        check(device.written.size() == 1);
        check(device.written.first().size() == count * 2);
    }
}

void valueReads(Input& in)
{
    QList<QSharedPointer<Resource>> resources{
        QSharedPointer<Ain>::create(QUuid::createUuid()),
        QSharedPointer<Aout>::create(QUuid::createUuid()),
        QSharedPointer<Din>::create(QUuid::createUuid()),
        QSharedPointer<Dout>::create(QUuid::createUuid()),
    };
    QList<RequestItem> items;
    const int n = in.byte() % 10;
    for (int i = 0; i < n; ++i) {
        const QSharedPointer<Resource>& r = resources.at(in.byte() % resources.size());
        const int role = in.byte() % 15;
        const quint32 rcmd = in.byte() % 6;
        const quint32 offset = in.byte();
        const ProtoEntry entry{rcmd, 0, offset, quint32(in.byte() % 5)};
        r->setRole(role, entry);
        items.append({r, entry, role});
    }
    FuzzDevice device(in.rest());
    for (const Request::Ptr_t& request : ReqGen::makeMonRequests(items, {})) {
        request->doRequest(device);
        request->notify();
        const Request::Error_t& e = request->error();
        check(e.code == 0 || e.subCode == 18 || e.subCode == 1819);
    }
}

void same(const RawConfiguration& a, const RawConfiguration& b)
{
    check(a.image() == b.image() && a.table() == b.table() && a.state() == b.state());
    check(a.registers() == b.registers());
}

void same(const KorCpu& a, const KorCpu& b)
{
    check(a.records().size() == b.records().size() && a.isValid() == b.isValid());
    check(a.stage() == b.stage() && a.registers() == b.registers());
}

template <typename Target> void steppedRead(Input& in, const ProtoEntry& entry)
{
    QSharedPointer<Target> target(new Target());
    target->setRegisters(entry);
    Request::Ptr_t request = SmartReadRequest::create(target, {});
    FuzzDevice device(in.rest());
    request->doRequest(device);
    request->notify();

    // The same blocks decoded in place, as a reader on its own would.
    Target direct;
    direct.setRegisters(entry);
    bool ok = true;
    for (const QByteArray& block : qAsConst(device.served))
        if (ok && !direct.decode(block))
            ok = false;
    direct.endRead();
    check(ok == (request->error().subCode != 18));
    same(*target, direct);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzCatalogue();
    Input in(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    switch (in.byte() % 4) {
    case 0: alarmChange(in); break;
    case 1: valueReads(in); break;
    case 2: steppedRead<RawConfiguration>(in, ProtoEntry{3, 6, 4016, 2}); break;
    default: steppedRead<KorCpu>(in, ProtoEntry{4, 0, 40963, 2}); break;
    }
    return 0;
}
