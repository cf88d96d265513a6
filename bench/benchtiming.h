#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <vector>

// What the benchmarks share: timing one piece of work, the median of many, and a message handler
// that keeps the debug lines of the code under test out of the figures.
namespace BenchTiming {

inline void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

inline double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns[ns.size() / 2] / 1e6;
}

inline qint64 timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed();
}

} // namespace BenchTiming
