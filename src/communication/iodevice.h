#pragma once

#include <QByteArray>

// Every register transfer goes through this interface. `area` is the Modbus function code as the
// catalogue's register map gives it: reads 1 coils, 2 discrete inputs, 3 holding registers,
// 4 input registers; writes 5 coils, 6 holding registers. Register data is two bytes per register,
// low byte first; bit data is one byte (0 or 1) per bit.
class IoDevice
{
public:
    // Items transferred on success (equal to count); 0 for count < 1; negative on failure.
    virtual int read(int area, int offset, int count, QByteArray* data, int timeoutUs) = 0;
    virtual int write(int area, int offset, int count, const QByteArray* data, int timeoutUs,
                      int attempts) = 0;
    // Frames that failed so far (unanswered, broken or refused), tries that a transfer repeated
    // on its own included: the answer of a frame sent after one of them may be a late answer.
    virtual quint64 failedFrames() const { return 0; }
    // Write frames among them the device answered with a Modbus exception: it is there and said
    // no, and the same frame sent again meets the same answer until something changes there.
    virtual quint64 refusedWrites() const { return 0; }

protected:
    ~IoDevice() = default;
};
