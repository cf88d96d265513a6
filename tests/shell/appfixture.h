#pragma once

#include "catalogue/settingsprovider.h"
#include "support/modelfixture.h"
#include "model/systemmodel.h"

#include <QCoreApplication>
#include <QFile>

// What the file-layer tests share: the catalogue of the program's own brand and systems built
// from it.
namespace AppFixture {

using ModelFixture::handleOf;
using ModelFixture::kTav1020;

// Loads the catalogue and returns an expansion module type with analogue inputs, so resource
// order and register tables span devices; 0 when the catalogue has none.
inline DeviceType_t loadCatalogue()
{
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const SettingsProvider& provider = SettingsProvider::instance();
    for (const DeviceType_t type : provider.pexTypes) {
        for (const IoChannel& channel : provider.templates.value(type).channels) {
            if (channel.kind == ResourceKind::Ain)
                return type;
        }
    }
    return 0;
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace AppFixture
