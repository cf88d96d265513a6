#pragma once

#include "catalogue/settingsprovider.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

// Loads the compiled-in catalogue once per fuzzing process, with the settings store in a scratch
// folder and the loader's chatter silenced so the fuzzer's own output stays readable.
inline const SettingsProvider& fuzzCatalogue()
{
    static const SettingsProvider* provider = [] {
        static QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        const SettingsProvider& p = SettingsProvider::instance();
        if (p.templates.isEmpty())
            abort();
        return &p;
    }();
    return *provider;
}
