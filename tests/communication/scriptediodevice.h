#pragma once

#include "communication/iodevice.h"

#include <QByteArray>
#include <QMap>
#include <QThread>
#include <QVector>

// A register device that answers from four in-memory tables and records every call. A call can be
// made to fail with a given result by its index (0 = the first call).
class ScriptedIoDevice final : public IoDevice
{
public:
    struct Call
    {
        bool write = false;
        int area = 0;
        int offset = 0;
        int count = 0;
        QByteArray data; // written bytes
        int timeoutUs = 0;
        int attempts = 0;
        QThread* thread = nullptr;
    };

    QVector<Call> calls;
    QMap<int, int> failures;
    QMap<int, quint16> tables[5];

    void setWords(int area, int offset, const QByteArray& bytes)
    {
        for (int i = 0; i < bytes.size(); i += 2) {
            const quint8 low = quint8(bytes.at(i));
            const quint8 high = i + 1 < bytes.size() ? quint8(bytes.at(i + 1)) : 0;
            tables[area][offset + i / 2] = quint16(low | (high << 8));
        }
    }
    QByteArray words(int area, int offset, int count) const
    {
        QByteArray out;
        for (int i = 0; i < count; ++i) {
            const quint16 w = tables[area].value(offset + i);
            out.append(char(w & 0xFF)).append(char(w >> 8));
        }
        return out;
    }

    int read(int area, int offset, int count, QByteArray* data, int timeoutUs) override
    {
        const int index = record(false, area, offset, count, QByteArray(), timeoutUs, 0);
        if (failures.contains(index))
            return failures.value(index);
        if (area < 1 || area > 4)
            return -1;
        if (count < 1)
            return 0;
        for (int i = 0; i < count; ++i) {
            const quint16 w = tables[area].value(offset + i);
            if (area <= 2)
                data->append(char(w ? 1 : 0));
            else
                data->append(char(w & 0xFF)).append(char(w >> 8));
        }
        return count;
    }

    int write(int area, int offset, int count, const QByteArray* data, int timeoutUs,
              int attempts) override
    {
        const int index = record(true, area, offset, count, *data, timeoutUs, attempts);
        if (failures.contains(index))
            return failures.value(index);
        if (area != 5 && area != 6)
            return -1;
        if (count < 1)
            return 0;
        if (data->size() < (area == 6 ? count * 2 : count))
            return -2;
        if (area == 6)
            setWords(3, offset, data->left(count * 2));
        else
            for (int i = 0; i < count; ++i)
                tables[1][offset + i] = quint8(data->at(i));
        return count;
    }

private:
    int record(bool write, int area, int offset, int count, const QByteArray& data,
               int timeoutUs, int attempts)
    {
        calls.append({write, area, offset, count, data, timeoutUs, attempts,
                      QThread::currentThread()});
        return calls.size() - 1;
    }
};
