#include "communication/identifiedlink.h"

#include "communication/smartreadrequest.h"
#include "model/errorcodes.h"
#include "model/korcpu.h"

#include <QDebug>

using namespace App::ErrorCode;

namespace {

// Two reads in a row after a failed frame, one before them that had a failed try of its own, and
// one more: a line that fails every other frame does not hold the worker longer than that.
constexpr int MostReads = 4;

ControllerIdentity identityIn(const Request& cpuRead)
{
    const auto& done = static_cast<const SmartReadRequest&>(cpuRead);
    const QSharedPointer<Resource> block = done.target()->scratchReader();
    for (const QByteArray& data : done.blocks())
        block->decode(data);
    const QList<CpuRecord>& records = static_cast<const KorCpu&>(*block).records();
    return records.isEmpty()
        ? ControllerIdentity()
        : ControllerIdentity(records.first().serialNumber, records.first().type);
}

} // namespace

IdentifiedLink::IdentifiedLink(IoDevice* device)
    : device(device)
{
}

IdentifiedLink* IdentifiedLink::of(IoDevice& device)
{
    return dynamic_cast<IdentifiedLink*>(&device);
}

IdentifiedLink::Identity IdentifiedLink::identify(IoDevice& device, Request& cpuRead,
                                                  const ControllerIdentity& owner,
                                                  bool afterFailure)
{
    Identity identity;
    int inARow = 0;
    for (int reads = 0; reads < MostReads; ++reads) {
        const quint64 before = device.failedFrames();
        // Silence, a refusal or a short answer: no controller is known to be there.
        if (cpuRead.doRequest(device) != 0) {
            identity.error = cpuRead.error();
            return identity;
        }
        identity.answered = identityIn(cpuRead);
        if (identity.answered != owner) {
            if (identity.answered == ControllerIdentity()) {
                identity.error.set(RequestFailed, RequestDataRefused, RequestDataRefusedDetail);
                return identity;
            }
            identity.found = Found::Other;
            identity.error.set(RequestFailed, RequestControlWriteFailed, OtherControllerDetail);
            return identity;
        }
        // A try of this read failed: its answer may be the late one of that try.
        if (device.failedFrames() != before) {
            afterFailure = true;
            inARow = 0;
            continue;
        }
        if (++inARow >= (afterFailure ? 2 : 1)) {
            identity.found = Found::Owner;
            return identity;
        }
    }
    identity.error.set(RequestFailed, RequestReadFailed, -1);
    return identity;
}

void IdentifiedLink::setController(const ControllerIdentity& owner, Request::Ptr_t cpuRead)
{
    this->owner = owner;
    this->cpuRead = std::move(cpuRead);
}

void IdentifiedLink::beginRequest(bool userWrite)
{
    unidentifiedWrite = userWrite;
}

void IdentifiedLink::identified(const Identity& identity, bool halts)
{
    if (identity.found == Found::Owner) {
        doubt = false;
        return;
    }
    // Nobody answered whole: the owner may be back at the next try.
    if (!halts || identity.found != Found::Other)
        return;
    halted = true;
    stranger = identity.answered;
}

int IdentifiedLink::read(int area, int offset, int count, QByteArray* data, int timeoutUs)
{
    const quint64 before = device->failedFrames();
    const int result = device->read(area, offset, count, data, timeoutUs);
    noteTransfer(before, result);
    return result;
}

int IdentifiedLink::write(int area, int offset, int count, const QByteArray* data, int timeoutUs,
                          int attempts)
{
    // Tried here one by one: a try after a failed one is a write after a failed frame too.
    int result = WithheldResult;
    for (int attempt = 0; attempt < qMax(attempts, 1); ++attempt) {
        if (!mayWrite())
            return WithheldResult;
        const quint64 before = device->failedFrames();
        result = device->write(area, offset, count, data, timeoutUs, 1);
        noteTransfer(before, result);
        if (result >= 0)
            break;
    }
    return result;
}

bool IdentifiedLink::mayWrite()
{
    if (halted)
        return false;
    if (!doubt && !unidentifiedWrite)
        return true;
    if (!cpuRead || owner == ControllerIdentity()) {
        qDebug("IdentifiedLink, write withheld: no controller is known to identify");
        return false;
    }
    const Identity identity = identify(*this, *cpuRead, owner, doubt);
    identified(identity, true);
    if (identity.found == Found::Owner) {
        unidentifiedWrite = false;
        return true;
    }
    qDebug() << "IdentifiedLink, write withheld, the controller is not identified: sn="
             << identity.answered.first << "type=" << identity.answered.second
             << "expected sn=" << owner.first << "type=" << owner.second;
    return false;
}

void IdentifiedLink::noteTransfer(quint64 deviceFailuresBefore, int result)
{
    quint64 failed = device->failedFrames() - deviceFailuresBefore;
    // A device that counts nothing itself still reports the transfer's own failure.
    if (failed == 0 && result < 0)
        failed = 1;
    failures += failed;
    doubt = doubt || failed > 0;
}
