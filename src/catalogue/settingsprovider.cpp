#include "catalogue/settingsprovider.h"

#include "catalogue/tmloader.h"
#include "model/device.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>

#include <atomic>

// The catalogues live in a static library, whose resources the linker drops unless registered.
static void registerCatalogueResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(catalogue);
        return true;
    }();
    Q_UNUSED(registered)
}

namespace {

std::atomic<SettingsProvider*> existingProvider{nullptr};

// Board pairs and revisions whose two revisions are not interchangeable on the bus: a controller
// configured for one and found with the other would be misconfigured.
const QSet<QString>& revisionConflictCodes()
{
    static const QSet<QString> codes = {
        QStringLiteral("1020-0"), QStringLiteral("1021-0"), QStringLiteral("1030-0"),
        QStringLiteral("1040-0"), QStringLiteral("1120-0"), QStringLiteral("1121-0"),
        QStringLiteral("1130-0"), QStringLiteral("1140-0"), QStringLiteral("2020-0"),
        QStringLiteral("2030-0"), QStringLiteral("3030-0"), QStringLiteral("1020-4"),
        QStringLiteral("1030-4"), QStringLiteral("1120-4"), QStringLiteral("2030-4"),
        QStringLiteral("3030-4"),
    };
    return codes;
}

} // namespace

SettingsProvider& SettingsProvider::instance(const QString& vendor)
{
    static SettingsProvider* provider = [] {
        auto* p = new SettingsProvider();
        existingProvider.store(p);
        return p;
    }();
    if (!vendor.isEmpty() && vendor != provider->vendorKey)
        provider->clear();
    if (provider->templates.isEmpty())
        provider->init(vendor);
    return *provider;
}

const SettingsProvider* SettingsProvider::loaded()
{
    const SettingsProvider* p = existingProvider.load();
    return (p && !p->templates.isEmpty()) ? p : nullptr;
}

QString SettingsProvider::activeVendor()
{
    if (const SettingsProvider* p = loaded())
        return p->resolvedVendorKey;
    return TmLoader::vendorChoice();
}

void SettingsProvider::clear()
{
    boards.clear();
    templates.clear();
    hiddenTemplates.clear();
    protocol.clear();
    plcTypes.clear();
    tavTypes.clear();
    pexTypes.clear();
    alarmTexts.clear();
    sensorTable.clear();
    defaultTypes = QJsonObject();
    vendorKey.clear();
    resolvedVendorKey.clear();
    classByType.clear();
}

void SettingsProvider::init(const QString& vendor)
{
    mode = QCoreApplication::applicationName() == QLatin1String("Tav Configurator") ? 1 : 0;
    registerCatalogueResources();
    TmLoader loader(this);
    if (loader.load(QStringLiteral("settings.json"), vendor))
        rebuildClassLists();
}

void SettingsProvider::rebuildClassLists()
{
    plcTypes.clear();
    tavTypes.clear();
    pexTypes.clear();
    for (auto it = templates.cbegin(); it != templates.cend(); ++it) {
        switch (it->deviceClass) {
        case 1: plcTypes.append(it.key()); break;
        case 2: tavTypes.append(it.key()); break;
        case 3: pexTypes.append(it.key()); break;
        default: break;
        }
    }
    // Rebuilt with the lists so that a reload under another vendor never answers with the
    // classes of the previous catalogue.
    classByType.clear();
    for (const DeviceType_t t : qAsConst(tavTypes))
        classByType.insert(t, 2);
    for (const DeviceType_t t : qAsConst(pexTypes))
        classByType.insert(t, 3);
    for (const DeviceType_t t : qAsConst(plcTypes))
        classByType.insert(t, 1);
}

void SettingsProvider::retranslate()
{
    TmLoader loader(this);
    loader.buildAlarmTable();
}

const QList<DeviceType_t>& SettingsProvider::types(int deviceClass) const
{
    static const QList<DeviceType_t> none;
    switch (deviceClass) {
    case 1: return plcTypes;
    case 2: return tavTypes;
    case 3: return pexTypes;
    default: return none;
    }
}

int SettingsProvider::deviceClass(DeviceType_t type) const
{
    return classByType.value(type, 0);
}

bool SettingsProvider::deviceTemplate(DeviceType_t type, HardwareVersion revision,
                                      DeviceTemplate* out, bool fallback) const
{
    const auto it = templates.constFind(type);
    if (it == templates.cend())
        return fallback ? hiddenTemplate(type, out) : false;
    *out = it.value();
    if (revision == -1)
        return true;

    out->revision = revision;
    out->name = formatModelName(out->name, revision);
    // The revision decides which connectors wire their discrete inputs as sourcing inputs.
    QList<int> positions;
    if (revision == 4)
        positions = {1, 3};
    else if (out->deviceClass == Device::PlcClass)
        positions = {1, 3, 4};
    else if (out->deviceClass == Device::TavClass)
        positions = {1, 2};
    for (IoChannel& c : out->channels) {
        if (c.kind == 2)
            c.sub = positions.contains(c.position) ? 1 : 0;
    }
    return true;
}

bool SettingsProvider::hiddenTemplate(DeviceType_t type, DeviceTemplate* out) const
{
    const auto it = hiddenTemplates.constFind(type);
    if (it == hiddenTemplates.cend())
        return false;
    *out = it.value();
    return true;
}

QString SettingsProvider::modelName(DeviceType_t type, HardwareVersion revision) const
{
    const auto it = templates.constFind(type);
    if (it == templates.cend())
        return QCoreApplication::translate("SettingsProvider", "Unknown");
    return formatModelName(it->name, revision);
}

QString SettingsProvider::formatModelName(const QString& name, HardwareVersion revision)
{
    if (name.contains(QLatin1String("ravo"), Qt::CaseInsensitive)
        || name.contains(QLatin1String("selk"), Qt::CaseInsensitive))
        return name;
    if (revision == 0 || revision == 9)
        return name + QStringLiteral("-0");
    if (revision == 4)
        return name + QStringLiteral("-4");
    return name;
}

QList<QPair<QString, QString>> SettingsProvider::modelCode(
    const QList<TypedRevision_t>& configured, const QList<BusEntry>& detected) const
{
    QList<QPair<QString, QString>> conflicts;
    const int n = qMin(configured.size(), detected.size());
    for (int i = 0; i < n; ++i) {
        const TypedRevision_t& c = configured.at(i);
        const BusEntry& d = detected.at(i);
        if (c.second == d.revision || c.first != d.type)
            continue;
        DeviceTemplate mine;
        DeviceTemplate theirs;
        if (!deviceTemplate(c.first, c.second, &mine, false)
            || !deviceTemplate(d.type, d.revision, &theirs, false))
            continue;
        // A PLC template names no boards; without two there is no model code to compare.
        if (mine.boardIds.size() < 2)
            continue;
        const QString code = QStringLiteral("%1%2-%3")
                                 .arg(mine.boardIds.at(0))
                                 .arg(mine.boardIds.at(1))
                                 .arg(c.second);
        if (revisionConflictCodes().contains(code))
            conflicts.append(qMakePair(mine.name, theirs.name));
    }
    return conflicts;
}

bool SettingsProvider::isControllerType(DeviceType_t type)
{
    switch (deviceKind(type)) {
    case 11: case 12: case 13: case 16: case 18: case 19: case 20: return true;
    default: return false;
    }
}

QString SettingsProvider::vendorOf(DeviceType_t type)
{
    return isSecondVendorKind(deviceKind(type)) ? QStringLiteral("holmark")
                                                : QStringLiteral("drovanix");
}

QList<DeviceType_t> SettingsProvider::pexTypesWithinBudget(int limit, int used) const
{
    QList<DeviceType_t> result;
    for (const DeviceType_t t : pexTypes) {
        const auto it = templates.constFind(t);
        if (it != templates.cend() && qint64(used) + it->preq < limit)
            result.append(t);
    }
    return result;
}

QList<DeviceType_t> SettingsProvider::typesWithinBudget(const QSet<int>& classes, int limit,
                                                        int used) const
{
    QList<DeviceType_t> result;
    for (auto it = templates.cbegin(); it != templates.cend(); ++it) {
        if (classes.contains(it->deviceClass) && qint64(used) + it->preq < limit)
            result.append(it.key());
    }
    return result;
}

QList<DeviceType_t> SettingsProvider::typesWithinSlots(const QList<DeviceType_t>& types,
                                                       int limit, int factor) const
{
    QList<DeviceType_t> result;
    for (const DeviceType_t t : types) {
        const auto it = templates.constFind(t);
        if (it != templates.cend() && qint64(it->boardIds.size()) * factor <= limit)
            result.append(t);
    }
    return result;
}

bool SettingsProvider::alarmText(int code, AlarmText* out) const
{
    const auto it = alarmTexts.constFind(code);
    if (it == alarmTexts.cend())
        return false;
    *out = it.value();
    return true;
}

bool SettingsProvider::sensor(int id, SensorInfo* out) const
{
    const auto it = sensorTable.constFind(id);
    if (it == sensorTable.cend())
        return false;
    *out = it.value();
    return true;
}

bool SettingsProvider::lookup(const QString& key, ProtoEntry* out) const
{
    const auto it = protocol.constFind(key);
    if (it == protocol.cend())
        return false;
    *out = it.value();
    return true;
}

bool SettingsProvider::protoEntry(const QString& section, int resourceKind, ProtoEntry* out) const
{
    const QString key = kindKey(resourceKind);
    if (key.isEmpty())
        return false;
    return lookup(section + QLatin1Char('/') + key, out);
}

bool SettingsProvider::sysEntry(const QString& id, ProtoEntry* out) const
{
    return lookup(QStringLiteral("sys/") + id, out);
}

bool SettingsProvider::iortEntry(const QString& roleWord, ProtoEntry* out) const
{
    return lookup(QStringLiteral("iort/") + roleWord, out);
}

bool SettingsProvider::iocfgEntry(const QString& id, ProtoEntry* out) const
{
    return lookup(QStringLiteral("iocfg/") + id, out);
}

ProtoEntry SettingsProvider::iocfgBase() const
{
    ProtoEntry e;
    iocfgEntry(QStringLiteral("base"), &e);
    return e;
}

QString SettingsProvider::kindKey(int kind)
{
    static const char* const keys[] = {"ain",    "aout",  "din",        "dout",
                                       "serial", "kernel", "korcpu",    "alarm",
                                       "alarm-ctrl", "alarm-reg", "alarm-reg-ctrl"};
    if (kind < 0 || kind >= int(sizeof(keys) / sizeof(keys[0])))
        return QString();
    return QLatin1String(keys[kind]);
}

bool SettingsProvider::rolesOfKind(int kind, QList<int>* out)
{
    switch (kind) {
    case 0: *out = {1, 2, 3}; return true;
    case 1: *out = {5, 6}; return true;
    case 2: *out = {7, 8, 9, 10, 11}; return true;
    case 3: *out = {12, 13}; return true;
    default: return false;
    }
}

QString SettingsProvider::vendorFromArguments(const QString& text)
{
    if (!text.contains(QLatin1String("-f")))
        return QString();
    if (text.contains(QLatin1String("VIO")) || text.contains(QLatin1String("TPE")))
        return QStringLiteral("holmark");
    if (text.contains(QLatin1String("LMO")) || text.contains(QLatin1String("LUMO")))
        return QStringLiteral("drovanix");
    return QString();
}

QString SettingsProvider::vendorOfConfigurationFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("Vendor")).toString();
}

QString SettingsProvider::vendorOfTextFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString text = QString::fromLocal8Bit(file.readAll());
    for (const char* word : {"VUZA", "VIO", "YUL", "TPE"}) {
        if (text.contains(QLatin1String(word)))
            return QStringLiteral("holmark");
    }
    for (const char* word : {"TAV", "PEX", "LMO", "LUMO"}) {
        if (text.contains(QLatin1String(word)))
            return QStringLiteral("drovanix");
    }
    return QString();
}
