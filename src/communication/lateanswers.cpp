#include "communication/lateanswers.h"

#include "model/crc16.h"

#include <modbus/modbus.h>

#include <algorithm>

LateAnswers::Signature LateAnswers::readSignature(int function, int count)
{
    const bool bits = function == MODBUS_FC_READ_COILS
        || function == MODBUS_FC_READ_DISCRETE_INPUTS;
    return {function, -1, bits ? (count + 7) / 8 : count * 2};
}

int LateAnswers::parseAnswer(const quint8* bytes, int length, int unit, Signature* signature)
{
    if (length < 3)
        return 0;
    if (bytes[0] != unit)
        return -1;
    const int function = bytes[1];
    int whole = 0;
    if (function >= MODBUS_FC_READ_COILS && function <= MODBUS_FC_READ_INPUT_REGISTERS) {
        whole = 5 + bytes[2];
        *signature = {function, -1, bytes[2]};
    } else if (function == MODBUS_FC_WRITE_MULTIPLE_COILS
               || function == MODBUS_FC_WRITE_MULTIPLE_REGISTERS) {
        whole = 8;
        if (length >= whole)
            *signature = {function, (bytes[2] << 8) | bytes[3], (bytes[4] << 8) | bytes[5]};
    } else if (function & 0x80) {
        // A refusal cannot tell which of its function's frames it answers.
        whole = 5;
        *signature = {function, -1, 0};
    } else {
        return -1;
    }
    if (length < whole)
        return 0;
    // The frame carries the CRC low byte first, which is the high byte of crc16's value.
    const quint16 check = crc16(bytes, quint16(whole - 2));
    if (bytes[whole - 2] != (check >> 8) || bytes[whole - 1] != (check & 0xFF))
        return -1;
    return whole;
}

void LateAnswers::clear()
{
    owed.clear();
    stray.clear();
}

void LateAnswers::owe(const Signature& failed, Clock::duration quietFor)
{
    const Clock::time_point now = Clock::now();
    owed.push_back({failed, quietFor, now + quietFor, now + 2 * quietFor});
}

void LateAnswers::forgetQuiet()
{
    const Clock::time_point now = Clock::now();
    owed.erase(std::remove_if(owed.begin(), owed.end(),
                              [now](const Owed& o) { return now >= qMin(o.quietAt, o.giveUpAt); }),
               owed.end());
}

LateAnswers::Clock::time_point LateAnswers::quietUntil(const Signature& next) const
{
    Clock::time_point until = Clock::time_point::min();
    for (const Owed& o : owed) {
        if (o.signature == next)
            until = qMax(until, qMin(o.quietAt, o.giveUpAt));
    }
    return until;
}

void LateAnswers::forget(const Signature& next)
{
    owed.erase(std::remove_if(owed.begin(), owed.end(),
                              [&next](const Owed& o) { return o.signature == next; }),
               owed.end());
}

void LateAnswers::restartQuiet()
{
    const Clock::time_point now = Clock::now();
    for (Owed& o : owed)
        o.quietAt = now + o.quietFor;
}

void LateAnswers::noteStrayBytes(const quint8* bytes, int length)
{
    if (owed.empty())
        return;
    restartQuiet();
    stray.append(reinterpret_cast<const char*>(bytes), length);
    for (;;) {
        Signature answered;
        const int whole = parseAnswer(reinterpret_cast<const quint8*>(stray.constData()),
                                      stray.size(), unit, &answered);
        if (whole == 0 && stray.size() < MODBUS_RTU_MAX_ADU_LENGTH)
            return;
        if (whole <= 0) {
            stray.clear();
            return;
        }
        pay(answered);
        stray.remove(0, whole);
    }
}

bool LateAnswers::settle(const quint8* answer, int length, const Signature& own)
{
    Signature answered;
    if (owed.empty() || parseAnswer(answer, length, unit, &answered) != length
        || answered == own || !pay(answered))
        return false;
    restartQuiet();
    return true;
}

bool LateAnswers::pay(const Signature& answered)
{
    // One answer pays one failed frame: two failed tries of the same frame may both be
    // answered.
    const auto it = std::find_if(owed.begin(), owed.end(),
                                 [&answered](const Owed& o) { return o.signature == answered; });
    if (it == owed.end())
        return false;
    owed.erase(it);
    return true;
}
