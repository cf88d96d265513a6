// What every benchmark sets up the same way: settings kept out of the user's, log lines kept out
// of the figures, and medians.
#pragma once

#include "catalogue/settingsprovider.h"

#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
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

} // namespace Bench
