// The rules every system keeps, whether it was built in the editor, read from a controller or
// read from a file. The file reader refuses a file whose system breaks one, and a save or an
// export refuses to write such a system: what the program writes it can always open again.
#include "model/systemmodel.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/resourcekind.h"
#include "model/systemlimits.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

enum class Numbering { InPlace, BelowFirst, Repeated, Missing };

// Numbers must run from `first` upwards without a gap or a repeat. `numbers` in ascending order;
// `at` receives the position of the first one out of place.
Numbering checkNumbering(const QList<int>& numbers, int first, int* at)
{
    for (int i = 0; i < numbers.size(); ++i) {
        if (numbers.at(i) == first + i)
            continue;
        *at = i;
        if (numbers.at(i) < first)
            return Numbering::BelowFirst;
        return numbers.at(i) < first + i ? Numbering::Repeated : Numbering::Missing;
    }
    return Numbering::InPlace;
}

} // namespace

QString SystemModel::brokenRule() const
{
    if (m_devices.isEmpty())
        return QString();

    // The budgets of boards and devices bound what the editor adds, not what a system may be: a
    // controller may hold more than they allow, and its configuration must still save and open.

    // A module belongs to exactly one controller, which lists it; a controller belongs to nobody.
    QList<Device::Ptr_t> controllers;
    QHash<NodeId_t, NodeId_t> listedBy;
    for (const Device::Ptr_t& d : m_devices) {
        if (d->deviceClass() == Device::PexClass)
            continue;
        if (!d->owner().isNull())
            return tr("контроллер «%1» подключён к другому устройству").arg(d->displayName());
        controllers.append(d);
        for (const NodeId_t& childId : d->childIds()) {
            const Device::Ptr_t child = device(childId);
            if (!child)
                continue;
            if (child->deviceClass() != Device::PexClass)
                return tr("контроллер «%1» подключён к другому устройству").arg(child->displayName());
            if (listedBy.contains(childId))
                return tr("модуль «%1» подключён к двум контроллерам").arg(deviceKey(child));
            listedBy.insert(childId, d->id());
        }
    }
    QHash<NodeId_t, QList<Device::Ptr_t>> modulesOf;
    for (const Device::Ptr_t& d : m_devices) {
        if (d->deviceClass() != Device::PexClass)
            continue;
        if (d->owner().isNull() || listedBy.value(d->id()) != d->owner())
            return tr("модуль «%1» не подключён к контроллеру").arg(deviceKey(d));
        modulesOf[d->owner()].append(d);
    }

    // Controllers are numbered 0, 1, 2, ... and each controller's modules 1, 2, 3, ...: the
    // numbers are the devices' places on the bus, and the keys that name them in the file.
    std::stable_sort(controllers.begin(), controllers.end(),
                     [](const Device::Ptr_t& a, const Device::Ptr_t& b) {
                         return a->number() < b->number();
                     });
    QList<int> numbers;
    for (const Device::Ptr_t& c : qAsConst(controllers))
        numbers.append(c->number());
    int at = 0;
    switch (checkNumbering(numbers, 0, &at)) {
    case Numbering::InPlace: break;
    case Numbering::BelowFirst:
        return tr("устройство «%1» имеет недопустимый номер %2")
            .arg(deviceKey(controllers.at(at)))
            .arg(numbers.at(at));
    case Numbering::Repeated: return tr("два контроллера с номером %1").arg(numbers.at(at));
    case Numbering::Missing: return tr("нет контроллера с номером %1").arg(at);
    }
    for (const Device::Ptr_t& c : qAsConst(controllers)) {
        QList<Device::Ptr_t> modules = modulesOf.value(c->id());
        std::stable_sort(modules.begin(), modules.end(),
                         [](const Device::Ptr_t& a, const Device::Ptr_t& b) {
                             return a->number() < b->number();
                         });
        numbers.clear();
        for (const Device::Ptr_t& m : qAsConst(modules))
            numbers.append(m->number());
        switch (checkNumbering(numbers, 1, &at)) {
        case Numbering::InPlace: break;
        case Numbering::BelowFirst:
            return tr("устройство «%1» имеет недопустимый номер %2")
                .arg(deviceKey(modules.at(at)))
                .arg(numbers.at(at));
        case Numbering::Repeated:
            return tr("у контроллера «%1» два модуля с номером %2").arg(deviceKey(c)).arg(numbers.at(at));
        case Numbering::Missing:
            return tr("у контроллера «%1» нет модуля с номером %2").arg(deviceKey(c)).arg(at + 1);
        }
    }

    // Resources are matched to their devices by key: two devices under one key would swap
    // settings on the next read.
    QSet<QString> keys;
    for (const Device::Ptr_t& d : m_devices) {
        const QString key = deviceKey(d);
        if (keys.contains(key))
            return sameKeyRule(key);
        keys.insert(key);
    }

    // The system's serial ports sit once on controller 0 and on no other device.
    const Device::Ptr_t first = controllers.constFirst();
    const Resources_t ports = serialPorts();
    bool portsInPlace = ports.size() == 2;
    for (const IoResource::Ptr_t& port : ports) {
        portsInPlace = portsInPlace && port->owner() == first->id()
                       && first->resourceIds().count(port->id()) == 1;
    }
    for (const Device::Ptr_t& d : m_devices) {
        for (const IoResource::Ptr_t& port : ports)
            portsInPlace = portsInPlace && (d == first || !d->resourceIds().contains(port->id()));
    }
    if (!portsInPlace)
        return tr("последовательные порты не принадлежат контроллеру с номером 0");
    return QString();
}

int SystemModel::mostDevices()
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    if (!BrandRules::limitsByBoards(catalogue))
        return SystemLimits::AddressCount;
    // Every device takes at least one board of the budget, unless the catalogue has a type
    // without boards; the address space still bounds those.
    for (const auto* templates : {&catalogue.templates, &catalogue.hiddenTemplates}) {
        for (const DeviceTemplate& tpl : *templates) {
            if (tpl.boardIds.isEmpty())
                return SystemLimits::AddressCount;
        }
    }
    return SystemLimits::BoardBudget;
}

QString SystemModel::sameKeyRule(const QString& key)
{
    return tr("два устройства с именем «%1»").arg(key);
}
