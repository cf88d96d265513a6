#pragma once

#include "catalogue/settingsprovider.h"
#include "model/devicehandle.h"

#include <QCoreApplication>
#include <QList>
#include <QUuid>

// What the model and file tests share when they build systems from the first vendor's catalogue.
namespace ModelFixture {

// TAV-1020-10: the controller of the catalogue's worked example.
constexpr DeviceType_t kTav1020 = 0x0B0A140Au;

// The catalogue as the program named `name` loads it: the "Tav Configurator" brand's (mode 1) or
// another brand's (mode 0). The first load fixes it for the whole process.
inline const SettingsProvider& loadCatalogueAs(const QString& name)
{
    QCoreApplication::setApplicationName(name);
    return SettingsProvider::instance();
}

inline DeviceHandle handleOf(DeviceType_t type, int number, const NodeId_t& owner = NodeId_t())
{
    DeviceHandle h;
    h.type = type;
    h.id = QUuid::createUuid();
    h.owner = owner;
    h.number = number;
    return h;
}

// start, start + step, ... : the register addresses a table of `count` entries should get.
inline QList<quint32> series(quint32 start, quint32 step, int count)
{
    QList<quint32> out;
    for (int i = 0; i < count; ++i)
        out << start + quint32(i) * step;
    return out;
}

// The first of `types` whose top byte is `kind`; 0 when there is none.
inline DeviceType_t firstOfKind(const QList<DeviceType_t>& types, int kind)
{
    for (const DeviceType_t t : types) {
        if (deviceKind(t) == kind)
            return t;
    }
    return 0;
}

} // namespace ModelFixture
