// What every benchmark sets up the same way: settings kept out of the user's, log lines kept out
// of the figures, and medians.
#pragma once

#include "catalogue/settingsprovider.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <vector>

namespace Bench {

inline void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

class Environment
{
public:
    Environment()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        qInstallMessageHandler(quiet);
    }

private:
    QTemporaryDir config;
};

// The bus of the largest systems is built from modules of two I/O boards.
inline DeviceType_t twoBoardModule(const SettingsProvider& p)
{
    for (DeviceType_t t : p.pexTypes) {
        if (p.templates.value(t).boardIds.size() == 2)
            return t;
    }
    return 0;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

inline double medianMs(std::vector<qint64> ns)
{
    std::sort(ns.begin(), ns.end());
    return ns.empty() ? 0.0 : ns[ns.size() / 2] / 1e6;
}

inline qint64 timed(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed();
}

} // namespace Bench
