#include "catalogue/tmloader.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QSettings>

namespace {

const QMap<QString, int> kindByKey = {{"ai", 0}, {"ao", 1}, {"di", 2}, {"do", 3}};

// Key: kind * 1000 + channels of that kind on one board.
const QMap<int, int> loadClassTable = {
    {6, 12},    {8, 12},    {1002, 10}, {1004, 11}, {2008, 1},
    {2016, 4},  {3002, 7},  {3004, 7},  {3006, 8},  {3012, 9},
};

void addImpliedLoadClasses(QMap<int, int>& classes, int code)
{
    classes[code] += 1;
    if (code == 1) {
        classes[3] += 1;
        classes[2] += 1;
    } else if (code == 4) {
        classes[6] += 1;
        classes[5] += 1;
    }
}

void countLoadClasses(QMap<int, int>& classes, const IoBoard& board)
{
    QMap<int, int> perKind;
    for (const IoChannel& c : board.top)
        perKind[c.kind] += 1;
    for (const IoChannel& c : board.bottom)
        perKind[c.kind] += 1;
    for (auto it = perKind.cbegin(); it != perKind.cend(); ++it) {
        const auto code = loadClassTable.constFind(it.key() * 1000 + it.value());
        if (code != loadClassTable.cend())
            addImpliedLoadClasses(classes, code.value());
    }
}

bool isFitted(const IoBoard& board)
{
    return board.id != 0 && !board.top.isEmpty() && !board.bottom.isEmpty();
}

QString boardLabel(const IoBoard& board)
{
    return board.name.isEmpty() ? QStringLiteral("00") : board.name;
}

// Hidden templates name their boards by id so that they never collide with visible model names.
IoBoard renamedForHidden(IoBoard board, bool hidden)
{
    if (hidden)
        board.name = QStringLiteral("%1").arg(board.id, 2, 10, QLatin1Char('0'));
    return board;
}

int intAt(const QJsonObject& o, const char* key, int fallback = 0)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? v.toInt() : fallback;
}

// A whole device type may use the top bit, beyond what an int holds.
DeviceType_t typeAt(const QJsonObject& o, const char* key)
{
    const double v = o.value(QLatin1String(key)).toDouble();
    return (v >= 0 && v <= 4294967295.0) ? DeviceType_t(v) : 0;
}

} // namespace

TmLoader::TmLoader(SettingsProvider* provider)
    : resolvedVendor(vendorChoice())
    , resourcePath(QStringLiteral(":/data/resources/data/%1/settings.json").arg(resolvedVendor))
    , provider(provider)
{
}

QString TmLoader::vendorChoice()
{
    // The maker's programming environment records the brand it was installed for; the Windows
    // registry key becomes the native settings of the same organisation on this platform.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brelvox"));
    const QString df = store.value(QStringLiteral("df")).toString();
    if (df.compare(QLatin1String("vio4"), Qt::CaseInsensitive) == 0
        || df.compare(QLatin1String("tpe"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("holmark");
    return QStringLiteral("drovanix");
}

bool TmLoader::load(const QString& name, const QString& vendor)
{
    provider->vendorKey = vendor.isEmpty() ? resolvedVendor : vendor;
    provider->resolvedVendorKey = resolvedVendor;
    fileName = resourcePath;
    const QString overridePath = resolvedVendor + QLatin1Char('/') + name;
    if (QFile::exists(overridePath)) {
        fileName = overridePath;
        provider->vendorKey.clear();
    }
    qDebug() << "TmLoader [Load], try to load file: " << fileName;

    if (!loadFile() || !loadHardware() || !loadProto())
        return false;
    buildAlarmTable();
    if (!loadSensors())
        return false;
    loadDefaults();
    qDebug() << "TmLoader [Load], file: " << fileName << " loaded  OK !";
    return true;
}

bool TmLoader::loadFile()
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "TmLoader [Load], Error! Open:" << fileName;
        return false;
    }
    const QByteArray bytes = file.readAll();
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        const int from = qMax(0, error.offset - 2);
        const QByteArray excerpt = bytes.mid(from, error.offset + 20);
        const QString message = error.errorString()
            + QStringLiteral(", offset=%1, data: ").arg(error.offset)
            + QString::fromUtf8(excerpt.constData(), int(qstrnlen(excerpt.constData(),
                                                                    uint(excerpt.size()))));
        qDebug() << "TmLoader [Load], Error! Parse:" << message;
        return false;
    }
    root = doc.object();
    return true;
}

bool TmLoader::loadHardware()
{
    if (!root.contains(QLatin1String("hardware"))) {
        qDebug() << "TmLoader [Hw], Error! There aren't hw section in template";
        return false;
    }
    const QJsonObject hw = root.value(QLatin1String("hardware")).toObject();
    const bool okUso = loadUsoBoards(hw.value(QLatin1String("uso")).toArray());
    bool okPlc = true;
    bool okLmo = true;
    if (BrandRules::loadsPlcsAndCompatibles(*provider)) {
        okPlc = loadPlcList(hw.value(QLatin1String("plc")).toArray());
        okLmo = loadDeviceList(hw.value(QLatin1String("lmo")).toArray(), false);
        loadDeviceSection(hw.value(QLatin1String("plc_with_ports")).toObject(), Device::PlcClass,
                          false);
    }
    const bool okTav =
        loadDeviceSection(hw.value(QLatin1String("tav")).toObject(), Device::TavClass, false);
    const bool okPex =
        loadDeviceSection(hw.value(QLatin1String("pex")).toObject(), Device::PexClass, false);
    if (hw.contains(QLatin1String("compatible"))
        && BrandRules::loadsPlcsAndCompatibles(*provider)) {
        const QJsonObject c = hw.value(QLatin1String("compatible")).toObject();
        loadDeviceList(c.value(QLatin1String("lmo")).toArray(), true);
        loadDeviceSection(c.value(QLatin1String("tav")).toObject(), Device::TavClass, true);
        loadDeviceSection(c.value(QLatin1String("pex")).toObject(), Device::PexClass, true);
    }
    if (!okUso || !okTav || !okLmo || !okPex || !okPlc)
        qDebug() << "TmLoader [Load Kor's], Error! There aren't configuration" << okUso << okTav
                 << okPex << okPlc << okLmo;
    return okUso && okTav && okPex && okLmo;
}

bool TmLoader::loadUsoBoards(const QJsonArray& array)
{
    provider->boards.clear();
    if (array.isEmpty())
        return false;
    provider->boards.insert(0, IoBoard());
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        IoBoard board;
        board.id = intAt(o, "id");
        board.name = o.value(QLatin1String("name")).toString();
        board.preq = intAt(o, "preq");
        board.top = loadTerminals(o.value(QLatin1String("top")).toArray());
        board.bottom = loadTerminals(o.value(QLatin1String("bottom")).toArray());
        if (board.id != 0 && !board.top.isEmpty() && !board.bottom.isEmpty())
            provider->boards.insert(board.id, board);
    }
    return !provider->boards.isEmpty();
}

QList<IoChannel> TmLoader::loadTerminals(const QJsonArray& array) const
{
    QList<IoChannel> channels;
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        const auto kind = kindByKey.constFind(o.value(QLatin1String("rt")).toString());
        if (kind == kindByKey.cend())
            continue;
        IoChannel c;
        c.kind = kind.value();
        c.gnd = intAt(o, "gnd");
        c.sub = intAt(o, "sub");
        c.offset = intAt(o, "offset");
        c.name = o.value(QLatin1String("nm")).toString();
        if (!c.name.isEmpty() && c.offset > 0)
            channels.append(c);
    }
    return channels;
}

bool TmLoader::loadPlcList(const QJsonArray& array)
{
    if (array.isEmpty())
        return false;
    bool stored = false;
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        DeviceTemplate t;
        t.type = typeAt(o, "tid");
        t.name = o.value(QLatin1String("name")).toString();
        t.deviceClass = Device::PlcClass;
        t.preq = intAt(o, "preq");
        if (t.type == 0 || t.name.isEmpty())
            continue;
        provider->templates.insert(t.type, t);
        qDebug() << "Add PLC:" << t.name << t.type << t.channels.size();
        stored = true;
    }
    return stored;
}

bool TmLoader::loadDeviceList(const QJsonArray& array, bool hidden)
{
    if (array.isEmpty())
        return false;
    bool any = false;
    for (const QJsonValue& v : array) {
        if (loadDeviceSection(v.toObject(), Device::PlcClass, hidden))
            any = true;
    }
    return any;
}

bool TmLoader::loadDeviceSection(const QJsonObject& section, int deviceClass, bool hidden)
{
    if (section.isEmpty())
        return false;
    const QString prefix = section.value(QLatin1String("prefix")).toString();
    const int pgen = intAt(section, "pgen");
    const int kind = intAt(section, "device");
    if (section.contains(QLatin1String("uboards")))
        return loadUboards(pgen, deviceClass, section, prefix, kind, hidden);
    return loadBoards(pgen, deviceClass, section, prefix, kind, hidden);
}

bool TmLoader::loadBoards(int pgen, int deviceClass, const QJsonObject& section,
                          const QString& prefix, int kind, bool hidden)
{
    const int required = intAt(section, "preq") + intAt(section, "ncpreq");
    const int modpreq = intAt(section, "modpreq");
    const DeviceType_t tid = typeAt(section, "tid");
    QList<int> codes;
    for (const QJsonValue& v : section.value(QLatin1String("boards")).toArray())
        codes.append(v.toInt());

    const QJsonArray combinations = section.value(QLatin1String("uso")).toArray();
    if (combinations.isEmpty())
        return false;
    bool result = false;
    for (const QJsonValue& v : combinations) {
        const QJsonObject combination = v.toObject();
        const auto left = provider->boards.constFind(intAt(combination, "left"));
        if (left == provider->boards.cend())
            continue;
        for (const QJsonValue& r : combination.value(QLatin1String("right")).toArray()) {
            const int rightId = r.toInt();
            IoBoard right;
            if (rightId > 0) {
                const auto found = provider->boards.constFind(rightId);
                if (found == provider->boards.cend())
                    continue;
                right = found.value();
            }
            result = addDevice(deviceClass, prefix, kind, codes, pgen, required, modpreq,
                               renamedForHidden(left.value(), hidden),
                               renamedForHidden(right, hidden), hidden, tid);
        }
    }
    return result;
}

bool TmLoader::loadUboards(int pgen, int deviceClass, const QJsonObject& section,
                           const QString& prefix, int kind, bool hidden)
{
    const int required = intAt(section, "preq") + intAt(section, "ncpreq");
    const int modpreq = intAt(section, "modpreq");
    bool result = false;
    for (const QJsonValue& v : section.value(QLatin1String("uboards")).toArray()) {
        const QJsonObject set = v.toObject();
        const QString name = set.value(QLatin1String("name")).toString();
        const int id = intAt(set, "id");
        const QString setPrefix = name.isEmpty() ? prefix : prefix + QLatin1Char(' ') + name;
        for (const QJsonValue& p : set.value(QLatin1String("uso")).toArray()) {
            const QJsonArray pair = p.toArray();
            if (pair.size() < 2)
                continue;
            const auto left = provider->boards.constFind(pair.at(0).toInt());
            const auto right = provider->boards.constFind(pair.at(1).toInt());
            if (left == provider->boards.cend() || right == provider->boards.cend())
                continue;
            result = addDevice(deviceClass, setPrefix, kind, {id}, pgen, required, modpreq,
                               renamedForHidden(left.value(), hidden),
                               renamedForHidden(right.value(), hidden), hidden, 0);
        }
    }
    return result;
}

bool TmLoader::addDevice(int deviceClass, const QString& prefix, int kind,
                         const QList<int>& codes, int pgen, int required, int modpreq,
                         const IoBoard& left, const IoBoard& right, bool hidden,
                         DeviceType_t tid)
{
    DeviceTemplate t;
    t.deviceClass = deviceClass;
    t.pgen = pgen;
    fillChannels(t, left, right);
    const int base = left.preq + right.preq + required;
    bool stored = false;
    for (const int b : codes) {
        if (tid == 0) {
            t.name = QStringLiteral("%1-%2%3-%4")
                         .arg(prefix, boardLabel(left), boardLabel(right))
                         .arg(b, 2, 10, QLatin1Char('0'));
            t.type = makeDeviceType(kind, left.id, right.id, b);
            if (t.type == 0)
                continue;
        } else {
            t.name = prefix;
            t.type = tid;
        }
        t.preq = (b == 30 || b == 90) ? base + modpreq : base;
        if (t.name.isEmpty())
            continue;
        (hidden ? provider->hiddenTemplates : provider->templates).insert(t.type, t);
        qDebug() << "Add device:" << t.name << t.type << t.channels.size() << ", Type: "
                 << (hidden ? "hidden" : "visible");
        stored = true;
    }
    return stored;
}

void TmLoader::fillChannels(DeviceTemplate& t, const IoBoard& left, const IoBoard& right) const
{
    QMap<int, QList<IoChannel>> byPosition{
        {1, left.top}, {2, left.bottom}, {3, right.top}, {4, right.bottom}};

    // Connectors that carry channels are numbered on, nine terminals each, tops first.
    int base = 0;
    for (const int position : {1, 3, 2, 4}) {
        QList<IoChannel>& list = byPosition[position];
        if (list.isEmpty())
            continue;
        for (IoChannel& c : list) {
            c.offset += base;
            c.gnd += base;
            c.top = (position == 1 || position == 3);
        }
        base += 9;
    }

    QList<int> dinPositions;
    if (t.deviceClass == Device::PlcClass)
        dinPositions = {1, 3, 4};
    else if (t.deviceClass == Device::TavClass)
        dinPositions = {1, 2};
    for (const int position : qAsConst(dinPositions)) {
        for (IoChannel& c : byPosition[position]) {
            if (c.kind == 2)
                c.sub = 1;
        }
    }

    // Board 10 is mounted upside down: its bottom connector carries the first channels.
    const QList<int> order = left.id == 10 ? QList<int>{2, 4, 1, 3} : QList<int>{1, 3, 2, 4};
    QMap<int, int> perKind;
    int index = 0;
    for (const int position : order) {
        for (IoChannel& c : byPosition[position]) {
            c.name = c.name.arg(++perKind[c.kind]);
            c.index = index++;
        }
    }

    QMap<int, int> classes;
    countLoadClasses(classes, left);
    countLoadClasses(classes, right);
    t.loadClasses = classes;

    t.channels.clear();
    for (int position = 1; position <= 4; ++position) {
        for (IoChannel c : qAsConst(byPosition[position])) {
            c.position = position;
            t.channels.append(c);
        }
    }

    t.boardIds.clear();
    if (isFitted(left))
        t.boardIds.append(left.id);
    if (isFitted(right))
        t.boardIds.append(right.id);
}

bool TmLoader::loadProto()
{
    if (!root.contains(QLatin1String("proto")))
        return false;
    const QJsonObject proto = root.value(QLatin1String("proto")).toObject();
    const bool sys = loadProtoSection(proto.value(QLatin1String("sys")).toArray(),
                                      QStringLiteral("sys"));
    const bool iocfg = loadProtoSection(proto.value(QLatin1String("iocfg")).toArray(),
                                        QStringLiteral("iocfg"));
    const bool iort = loadProtoSection(proto.value(QLatin1String("iort")).toArray(),
                                       QStringLiteral("iort"));
    return sys && iocfg && iort;
}

bool TmLoader::loadProtoSection(const QJsonArray& array, const QString& section)
{
    if (array.isEmpty())
        return false;
    for (const QJsonValue& v : array) {
        const QJsonObject o = v.toObject();
        ProtoEntry e;
        e.rcmd = quint32(intAt(o, "rcmd")) & 0xFFFFu;
        e.wcmd = quint32(intAt(o, "wcmd")) & 0xFFFFu;
        e.offset = quint32(intAt(o, "offset")) & 0xFFFFu;
        e.registers = quint32(intAt(o, "registers")) & 0xFFFFu;
        provider->protocol.insert(section + QLatin1Char('/') + o.value(QLatin1String("id")).toString(), e);
    }
    qDebug() << "TmLoader [Load proto]: " << section << array.size();
    return true;
}

void TmLoader::buildAlarmTable()
{
    QMap<int, AlarmText> table;
    table.insert(0, {tr("Internal error"), tr("Внутренняя неисправность")});
    table.insert(1, {tr("Configuration error"), tr("Ошибка конфигурации")});
    table.insert(2, {tr("Link error"), tr("Ошибка связи")});
    table.insert(3, {tr("Low input voltage"), tr("Низкое напряжение питания")});
    table.insert(4, {tr("High input voltage"), tr("Высокое напряжение питания")});
    table.insert(100, {tr("Overload AIN"), tr("Перегрузка входа")});
    table.insert(101, {tr("Overload AOUT"), tr("Перегрузка выхода")});
    provider->alarmTexts = table;
}

bool TmLoader::loadSensors()
{
    provider->sensorTable.clear();
    if (!root.contains(QLatin1String("sensors"))) {
        qDebug() << "TmLoader [Sensor], Error! There aren't section in template:" << "sensors";
        return false;
    }
    int count = 0;
    for (const QJsonValue& v : root.value(QLatin1String("sensors")).toArray()) {
        const QJsonObject o = v.toObject();
        const QJsonObject param = o.value(QLatin1String("param")).toObject();
        if (param.isEmpty())
            continue;
        const QString cls = o.value(QLatin1String("class")).toString();
        SensorInfo s;
        if (cls == QLatin1String("ntc"))
            s.sensorClass = 4;
        else if (cls == QLatin1String("rtd"))
            s.sensorClass = 3;
        else
            continue;
        s.name = o.value(QLatin1String("name")).toString();
        s.id = intAt(o, "id");
        s.abFactor = param.value(QLatin1String("ab-factor")).toDouble();
        s.a = param.value(QLatin1String("A")).toDouble();
        s.b = param.value(QLatin1String("B")).toDouble();
        s.c = param.value(QLatin1String("C")).toDouble();
        s.rRef = intAt(param, "Rref");
        s.tRef = intAt(param, "Tref");
        provider->sensorTable.insert(s.id, s);
        ++count;
    }
    qDebug() << "TmLoader [Load]: " << "sensors" << count;
    return count != 0;
}

void TmLoader::loadDefaults()
{
    const QJsonObject d = root.value(QLatin1String("default")).toObject();
    const auto sub = [&d](const char* group) {
        return d.value(QLatin1String(group)).toObject();
    };
    provider->defaultNtcSensor = intAt(sub("sensors"), "ntc", 100);
    provider->defaultRtdSensor = intAt(sub("sensors"), "rtd", 1);
    provider->irrFilterStep = intAt(sub("ain"), "irr-filter-step", 120);
    provider->filterDefaultValue = intAt(sub("ain"), "filter-default-value", 0);
    provider->filterState = intAt(sub("din"), "filter-state", 1);
    provider->filterValue = intAt(sub("din"), "filter-value", 1);
    provider->hangupRestart = intAt(sub("usbserial-port"), "hangup-restart", 300);
    provider->scanAfterRestart = intAt(sub("usbserial-port"), "scan-after-restart", 300);
    provider->defaultTypes = QJsonObject();
    for (const char* kind : {"ain", "din", "dout", "aout"})
        copyDataTypes(d, QLatin1String(kind));
}

void TmLoader::copyDataTypes(const QJsonObject& defaults, const QString& kind)
{
    const QJsonObject types = defaults.value(kind).toObject().value(QLatin1String("types")).toObject();
    provider->defaultTypes.insert(kind, QJsonObject{{QStringLiteral("types"), types}});
}
