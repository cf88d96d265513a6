// Bytes on a Modbus line that answer no frame in flight: late answers, their pieces and noise, as
// the link notes them while it waits for a quiet line, and as whole answers received in place of
// another frame's. The first byte is the unit, the second the register count of an owed read; the
// rest comes in pieces whose first byte sets their length.
#include "communication/lateanswers.h"

#include <algorithm>
#include <chrono>
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
    if (size < 2)
        return 0;
    const int unit = data[0];
    const LateAnswers::Signature read = LateAnswers::readSignature(3, 1 + data[1] % 125);
    const LateAnswers::Signature password{16, 4000, 1};
    LateAnswers late;
    late.setUnit(unit);
    late.owe(read, std::chrono::seconds(10));
    late.owe(password, std::chrono::seconds(10));
    late.owe(password, std::chrono::seconds(10));

    size_t at = 2;
    while (at < size) {
        const int piece = int(std::min<size_t>(size - at, 1 + data[at] % 64));
        LateAnswers::Signature answered;
        const int whole = LateAnswers::parseAnswer(data + at, piece, unit, &answered);
        check(whole >= -1 && whole <= piece);
        check(whole <= 0 || (data[at] == unit && whole >= 5));
        // A whole answer of the frame's own signature is the frame's, never a late one.
        check(!late.settle(data + at, piece, password) || !(answered == password));
        late.noteStrayBytes(data + at, piece);
        at += size_t(piece);
    }
    // Nothing owed has been quiet for ten seconds yet.
    late.forgetQuiet();
    late.forget(read);
    late.forget(password);
    check(late.isEmpty());
    late.forgetPartial();
    return 0;
}
