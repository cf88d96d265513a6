#include "systemconfigurator/loadcalculator.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

enum BlockKind : int {
    Di8 = 1, Cn8, Fq8, Di16, Cn16, Fq16, Do4, Do6, Do12, Ao2, Ao4, Ai8
};

const QMap<int, int> kBlockSizes = {{Di8, 3},  {Cn8, 32}, {Fq8, 16}, {Di16, 4},
                                    {Cn16, 64}, {Fq16, 32}, {Do4, 1},  {Do6, 1},
                                    {Do12, 2},  {Ao2, 4},   {Ao4, 8},  {Ai8, 32}};
const QSet<int> kCounterKinds = {Cn8, Cn16};
const QSet<int> kFrequencyKinds = {Fq8, Fq16};
const QSet<int> kInputKinds = {Di8, Cn8, Fq8, Di16, Cn16, Fq16, Ai8};
const QSet<int> kOutputKinds = {Do4, Do6, Do12, Ao2, Ao4};

// Microseconds one pass may take.
constexpr double kPassBudget = 50000.0;
// Bit rate of the module bus.
constexpr double kBusRate = 3000000.0;
constexpr double kModuleSwitch = 3.8633333333333333;

bool hasKindOf(const QMap<int, int>& blocks, const QSet<int>& kinds)
{
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        if (kinds.contains(it.key()))
            return true;
    }
    return false;
}

} // namespace

LoadCalculator::LoadCalculator(const QList<Device::Ptr_t>& devices)
{
    for (const Device::Ptr_t& device : devices) {
        if (device)
            count(*device);
    }
}

int LoadCalculator::blockSize(int kind)
{
    return kBlockSizes.value(kind);
}

void LoadCalculator::count(const Device& device)
{
    const int deviceClass = device.deviceClass();
    if (deviceClass != Device::TavClass && deviceClass != Device::PexClass)
        return;
    const bool controller = deviceClass == Device::TavClass;
    if (controller)
        ++Ntav2;
    const QMap<int, int>& blocksOf = device.loadClasses();
    // The device counters look at which kinds the device has, whatever their counts.
    const bool in = hasKindOf(blocksOf, kInputKinds);
    const bool out = hasKindOf(blocksOf, kOutputKinds);
    Ndoo += out && !in;
    Ntav3 += controller && out && !in;
    Ndo += out;
    Ntav1 += controller && in;
    Ndi += in;

    AbstractConfig config;
    device.exportConfig(config);
    for (auto it = blocksOf.cbegin(); it != blocksOf.cend(); ++it) {
        // Counters and frequencies the device does not poll cost no time on the bus.
        if (kCounterKinds.contains(it.key()) && !config.device.pollCntr)
            continue;
        if (kFrequencyKinds.contains(it.key()) && !config.device.pollFreq)
            continue;
        counts[it.key()] += it.value();
    }
}

double LoadCalculator::baseTime() const
{
    int s1 = 0;
    int n1 = 0;
    for (int k = Di8; k <= Fq16; ++k) {
        s1 += blocks(k) * blockSize(k);
        n1 += blocks(k);
    }
    const double t1 = 238.81 * Ndi + 0.3 * s1 + 124.0 * 1000000.0 * Ndi / kBusRate
                      + (s1 + 6 * n1) * 8000000.0 * (1.25 / kBusRate)
                      + kModuleSwitch * Ntav1 * (Ntav1 - 1);

    int s2 = 0;
    for (int k = Do4; k <= Ao4; ++k)
        s2 += blocks(k) * blockSize(k);
    const int channels = 4 * blocks(Do4) + 6 * blocks(Do6) + 12 * blocks(Do12) + 2 * blocks(Ao2)
                         + 4 * blocks(Ao4);
    const double u = 101.08 + 2.14 * Ndo + 3.45 * channels;
    // The output frame stops growing at 254 bytes.
    const double v = s2 + 12 <= 253 ? 0.04 * (s2 + 12) : 10.16;
    const int p = s2 + 4 * Ndo;
    const double p1 = std::floor(p / 244.0);
    const double p2 = std::ceil(p / 244.0);
    return t1 + u + v + (1.25 * p + 15 * p1 + 15) * 8000000.0 / kBusRate
           + (p2 + 1) * (Ntav2 - 1) * 10000000.0 / 6000000.0 + 295.03499999999997 * Ndoo
           + kModuleSwitch * Ntav3 * (Ntav3 - 1);
}

double LoadCalculator::kindTwelveTime(int n) const
{
    const double t = blockSize(Ai8);
    return n * (((t + 8) * 8000000.0 * 1.25 + 124000000.0) / kBusRate + 234.81 + (t + 2) * 0.3);
}

int LoadCalculator::cycleTime()
{
    if (counts.isEmpty())
        return 0;
    const int n = counts[Ai8];
    const double b = kindTwelveTime(n);
    const double a = baseTime();
    if (n <= 0)
        return int(a);
    return int(a + cycleCount(n, a, b) * b / n);
}

double cycleCount(int n, double a, double b)
{
    const double v = std::max(1.0, std::floor((kPassBudget - b) / a));
    const double c1 = std::ceil(n / v);
    const double m = std::max(1.0, std::floor(kPassBudget / (c1 * b / n + a)));
    const double c = std::ceil(n / m);
    if (m == c)
        return c;
    return std::ceil(n / std::max(1.0, std::floor(kPassBudget / (c * b / n + a))));
}
