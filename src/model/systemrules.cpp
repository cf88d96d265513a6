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

// The devices as the rules see them, gathered without judging: the controllers by number, and
// each controller's modules (by the owner they name) by number.
struct SystemShape
{
    QList<Device::Ptr_t> controllers;
    QHash<NodeId_t, QList<Device::Ptr_t>> modulesOf;
};

// Each rule looks at the system as the rules before it left it: a rule may take for granted what
// an earlier one checked.
class SystemRules
{
public:
    using Rule = QString (*)(const SystemModel& system, const SystemShape& shape);

    static SystemShape shapeOf(const SystemModel& system)
    {
        SystemShape shape;
        for (const Device::Ptr_t& d : system.m_devices) {
            if (d->deviceClass() != Device::PexClass)
                shape.controllers.append(d);
            else if (!d->owner().isNull())
                shape.modulesOf[d->owner()].append(d);
        }
        byNumber(shape.controllers);
        for (QList<Device::Ptr_t>& modules : shape.modulesOf)
            byNumber(modules);
        return shape;
    }

    // A controller belongs to nobody, and a module is listed by one controller at most.
    static QString controllersStandAlone(const SystemModel& system, const SystemShape&)
    {
        QSet<NodeId_t> listed;
        for (const Device::Ptr_t& d : system.m_devices) {
            if (d->deviceClass() == Device::PexClass)
                continue;
            if (!d->owner().isNull())
                return SystemModel::tr("контроллер «%1» подключён к другому устройству")
                    .arg(d->displayName());
            for (const NodeId_t& childId : d->childIds()) {
                const Device::Ptr_t child = system.device(childId);
                if (!child)
                    continue;
                if (child->deviceClass() != Device::PexClass)
                    return SystemModel::tr("контроллер «%1» подключён к другому устройству")
                        .arg(child->displayName());
                if (listed.contains(childId))
                    return SystemModel::tr("модуль «%1» подключён к двум контроллерам")
                        .arg(system.deviceKey(child));
                listed.insert(childId);
            }
        }
        return QString();
    }

    // A module belongs to the controller that lists it.
    static QString modulesOnTheirController(const SystemModel& system, const SystemShape&)
    {
        for (const Device::Ptr_t& d : system.m_devices) {
            if (d->deviceClass() != Device::PexClass)
                continue;
            const Device::Ptr_t owner =
                d->owner().isNull() ? Device::Ptr_t() : system.device(d->owner());
            if (!owner || owner->deviceClass() == Device::PexClass
                || !owner->childIds().contains(d->id()))
                return SystemModel::tr("модуль «%1» не подключён к контроллеру")
                    .arg(system.deviceKey(d));
        }
        return QString();
    }

    // Controllers are numbered 0, 1, 2, ... and each controller's modules 1, 2, 3, ...: the
    // numbers are the devices' places on the bus, and the keys that name them in the file.
    static QString controllersNumbered(const SystemModel& system, const SystemShape& shape)
    {
        const QList<Device::Ptr_t>& controllers = shape.controllers;
        const QList<int> numbers = numbersOf(controllers);
        int at = 0;
        switch (checkNumbering(numbers, 0, &at)) {
        case Numbering::InPlace: return QString();
        case Numbering::BelowFirst: return badNumber(system, controllers.at(at));
        case Numbering::Repeated:
            return SystemModel::tr("два контроллера с номером %1").arg(numbers.at(at));
        case Numbering::Missing: return SystemModel::tr("нет контроллера с номером %1").arg(at);
        }
        return QString();
    }

    static QString modulesNumbered(const SystemModel& system, const SystemShape& shape)
    {
        for (const Device::Ptr_t& c : shape.controllers) {
            const QList<Device::Ptr_t> modules = shape.modulesOf.value(c->id());
            const QList<int> numbers = numbersOf(modules);
            int at = 0;
            switch (checkNumbering(numbers, 1, &at)) {
            case Numbering::InPlace: break;
            case Numbering::BelowFirst: return badNumber(system, modules.at(at));
            case Numbering::Repeated:
                return SystemModel::tr("у контроллера «%1» два модуля с номером %2")
                    .arg(system.deviceKey(c))
                    .arg(numbers.at(at));
            case Numbering::Missing:
                return SystemModel::tr("у контроллера «%1» нет модуля с номером %2")
                    .arg(system.deviceKey(c))
                    .arg(at + 1);
            }
        }
        return QString();
    }

    // Resources are matched to their devices by key: two devices under one key would swap
    // settings on the next read.
    static QString keysOnce(const SystemModel& system, const SystemShape&)
    {
        QSet<QString> keys;
        for (const Device::Ptr_t& d : system.m_devices) {
            const QString key = system.deviceKey(d);
            if (keys.contains(key))
                return SystemModel::sameKeyRule(key);
            keys.insert(key);
        }
        return QString();
    }

    // The system's serial ports sit once on controller 0 and on no other device.
    static QString portsOnControllerZero(const SystemModel& system, const SystemShape& shape)
    {
        const Device::Ptr_t first = shape.controllers.constFirst();
        const SystemModel::Resources_t ports = system.serialPorts();
        bool portsInPlace = ports.size() == 2;
        for (const IoResource::Ptr_t& port : ports) {
            portsInPlace = portsInPlace && port->owner() == first->id()
                           && first->resourceIds().count(port->id()) == 1;
        }
        for (const Device::Ptr_t& d : system.m_devices) {
            for (const IoResource::Ptr_t& port : ports) {
                portsInPlace =
                    portsInPlace && (d == first || !d->resourceIds().contains(port->id()));
            }
        }
        if (!portsInPlace)
            return SystemModel::tr("последовательные порты не принадлежат контроллеру с номером 0");
        return QString();
    }

private:
    static void byNumber(QList<Device::Ptr_t>& devices)
    {
        std::stable_sort(devices.begin(), devices.end(),
                         [](const Device::Ptr_t& a, const Device::Ptr_t& b) {
                             return a->number() < b->number();
                         });
    }

    static QList<int> numbersOf(const QList<Device::Ptr_t>& devices)
    {
        QList<int> numbers;
        for (const Device::Ptr_t& d : devices)
            numbers.append(d->number());
        return numbers;
    }

    static QString badNumber(const SystemModel& system, const Device::Ptr_t& device)
    {
        return SystemModel::tr("устройство «%1» имеет недопустимый номер %2")
            .arg(system.deviceKey(device))
            .arg(device->number());
    }
};

QString SystemModel::brokenRule() const
{
    if (m_devices.isEmpty())
        return QString();
    // The budgets of boards and devices bound what the editor adds, not what a system may be: a
    // controller may hold more than they allow, and its configuration must still save and open.
    static const SystemRules::Rule rules[] = {
        &SystemRules::controllersStandAlone,
        &SystemRules::modulesOnTheirController,
        &SystemRules::controllersNumbered,
        &SystemRules::modulesNumbered,
        &SystemRules::keysOnce,
        &SystemRules::portsOnControllerZero,
    };
    const SystemShape shape = SystemRules::shapeOf(*this);
    for (const SystemRules::Rule rule : rules) {
        const QString broken = rule(*this, shape);
        if (!broken.isEmpty())
            return broken;
    }
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
