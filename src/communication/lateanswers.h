#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <vector>

// What failed frames of one Modbus link may still be answered with. An RTU answer shows little of
// its request: a write's echo its function, first address and count, a read's answer its
// function and byte count. A late answer would pass for the answer of a later frame that shows
// the same, so such a frame must first wait until the line has been quiet for a while, unless
// the late answer has already come whole: one answer pays for one failed frame. Any other frame
// needs no wait. The link alone uses it, on its worker thread.
class LateAnswers
{
public:
    using Clock = std::chrono::steady_clock;

    // What an answer shows of its request (address -1 for a read's).
    struct Signature
    {
        int function = 0;
        int address = -1;
        int count = 0;
        bool operator==(const Signature& other) const
        {
            return function == other.function && address == other.address
                && count == other.count;
        }
    };
    static Signature readSignature(int function, int count);

    // The length of the whole answer from `unit` at the start of `bytes`, its CRC right, and its
    // signature; 0 while it is incomplete, -1 when the bytes are no such answer.
    static int parseAnswer(const quint8* bytes, int length, int unit, Signature* signature);

    void setUnit(int unit) { this->unit = unit; }
    void clear();
    bool isEmpty() const { return owed.empty(); }

    // A frame failed whose answer may still come; the quiet a frame it could pass for waits is
    // `quietFor`, at most twice that in all, so that a chattering line cannot hold the link.
    void owe(const Signature& failed, Clock::duration quietFor);
    // Drops what has been quiet long enough by now.
    void forgetQuiet();
    // Until when a frame of `next` must wait for the line; a past time when it need not.
    Clock::time_point quietUntil(const Signature& next) const;
    // After the wait: what is still owed can no longer be told by waiting.
    void forget(const Signature& next);
    // Bytes on the line: the quiet each failed frame waits for starts again.
    void restartQuiet();
    // Bytes that answer nothing now: a whole late answer among them pays for its frame.
    void noteStrayBytes(const quint8* bytes, int length);
    // The rest of a partial answer will come inside the next frame's answer and break it.
    void forgetPartial() { stray.clear(); }
    // A whole answer came in place of the answer of a frame of `own`: true when it was a late
    // one some failed frame of another signature was owed, now paid.
    bool settle(const quint8* answer, int length, const Signature& own);

private:
    struct Owed
    {
        Signature signature;
        Clock::duration quietFor{};
        Clock::time_point quietAt;
        Clock::time_point giveUpAt;
    };
    bool pay(const Signature& answered);

    // Oldest first.
    std::vector<Owed> owed;
    // The start of a stray answer, while the rest of it may follow.
    QByteArray stray;
    int unit = 0;
};
