#pragma once

#include "model/device.h"

#include <QList>
#include <QMap>

// Estimates one polling cycle of the system, in microseconds, from the I/O blocks its controllers
// and modules carry: a base time that grows with the discrete, counter, frequency and output
// blocks and with the number of devices, plus the analogue-input blocks spread over as many
// passes as a 50 ms pass budget needs. The figures are a fitted model of the controller's
// firmware, not a measurement. Programmable controllers are polled by their own program and do
// not count.
class LoadCalculator
{
public:
    explicit LoadCalculator(const QList<Device::Ptr_t>& devices);

    int cycleTime();

    // Block kind to its size in bytes; 0 for a kind that is not an I/O block.
    static int blockSize(int kind);

private:
    void count(const Device& device);
    double baseTime() const;
    double kindTwelveTime(int blocks) const;
    int blocks(int kind) const { return counts.value(kind); }

    QMap<int, int> counts;
    int Ndo = 0;
    int Ndoo = 0;
    int Ntav3 = 0;
    int Ndi = 0;
    int Ntav1 = 0;
    int Ntav2 = 0;
};

// The number of polling passes `n` analogue-input blocks need when a pass costs the base time `a`
// plus its share of the blocks' time `b`, within the pass budget.
double cycleCount(int n, double a, double b);
