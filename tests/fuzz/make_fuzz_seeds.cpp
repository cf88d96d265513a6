// Writes the seed corpora of the fuzz targets: real inputs of each reader, made the way the
// program and the simulated controller make them, so that fuzzing starts past the first checks of
// a parser instead of spending its time finding a valid header. Run it again after a format
// changes:  build-fuzz/tests/fuzz/make_fuzz_seeds tests/fuzz/corpus
#include "fuzzcatalogue.h"
#include "model/ain.h"
#include "model/aout.h"
#include "model/din.h"
#include "model/dout.h"
#include "model/flatconfiguration.h"
#include "model/rawconfiguration.h"
#include "model/serialport.h"
#include "model/systemmodel.h"
#include "model/valueroles.h"
#include "shell/configurationstorage.h"
#include "support/simulatedcontroller.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <cstdio>
#include <cstring>

namespace {

QString root;

void put(const char* target, const QString& name, const QByteArray& bytes)
{
    const QString folder = root + QLatin1Char('/') + QLatin1String(target);
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

QByteArray littleEndian(const std::initializer_list<qint32>& words, int bytesEach)
{
    QByteArray out;
    for (const qint32 w : words)
        for (int i = 0; i < bytesEach; ++i)
            out += char((w >> (8 * i)) & 0xFF);
    return out;
}

// Seeds must not change from one run to the next, so devices get ids made from their place.
DeviceHandle handle(DeviceType_t type, int number, const NodeId_t& owner = NodeId_t())
{
    static const QUuid space(QStringLiteral("{6f1c2a52-1d4e-4c1b-9a51-3b8f0e7d2c10}"));
    static int made = 0;
    DeviceHandle h;
    h.type = type;
    h.id = QUuid::createUuidV5(space, QString::number(++made));
    h.owner = owner;
    h.number = number;
    return h;
}

// Settings away from the defaults, different per resource, so that every field of every record
// carries a value a reader can get wrong.
void vary(SystemModel& model, int variant)
{
    const QList<int> sensors = SettingsProvider::instance().sensors().keys();
    // Resources are keyed by random ids: walk them in bus order, so each run writes the same.
    SystemModel::Resources_t resources;
    for (const DeviceHandle& h : model.deviceHandles())
        for (const NodeId_t& id : model.device(h.id)->resourceIds())
            resources.append(model.resource(id));
    int i = variant;
    for (const IoResource::Ptr_t& r : resources) {
        if (!r)
            continue;
        AbstractConfig c;
        r->exportConfig(c);
        ++i;
        c.ain.range = i % 6;
        c.ain.median = qint8(i % 3);
        c.ain.onePole = qint16(i * 7);
        c.ain.freq60 = i % 2;
        c.ain.scMin = -float(i);
        c.ain.scMax = 100.5f + float(i);
        c.ain.tsType = sensors.isEmpty() ? 0 : sensors.at(i % sensors.size());
        c.aout.save = quint16(i * 100);
        c.din.filterOn = i % 2;
        c.din.ac = i % 3 == 0;
        c.din.filter = quint16(i);
        c.din.pollCntr = variant % 2;
        c.din.pollFreq = variant % 3 == 0;
        c.dout.save = qint16(i % 2);
        c.port.baud = i % 2 ? 115200 : 9600;
        c.port.parity = quint8(i % 3);
        c.port.address = quint8(i);
        r->importConfig(c);
    }
    int n = 0;
    for (const Device::Ptr_t& d : model.devices()) {
        d->setLabel(QStringLiteral("Узел %1").arg(++n));
        d->setGroup(n % 2 ? QStringLiteral("pumps") : QString());
    }
}

// A controller of the given type with `modules` expansion modules taken from the catalogue in
// turn, starting at `firstModule`.
void build(SystemModel& model, DeviceType_t controller, int number, int modules, int firstModule)
{
    const QList<DeviceType_t>& pex = SettingsProvider::instance().pexTypes;
    const Device::Ptr_t c = model.addDevice(handle(controller, number));
    for (int m = 0; m < modules && c && !pex.isEmpty(); ++m)
        model.addDevice(handle(pex.at((firstModule + m) % pex.size()), m + 1, c->id()));
}

QByteArray compactJson(const SystemModel& model)
{
    QJsonObject data;
    model.writeJson(data);
    return QJsonDocument(data).toJson(QJsonDocument::Compact);
}

// The configuration area as a controller holds it, split by the program's own walk into the image
// and the device table.
void walk(const QByteArray& area, quint32 base, QByteArray* image, QByteArray* table)
{
    RawConfiguration raw;
    raw.setRegisters(ProtoEntry{3, 6, base, 2});
    while (raw.hasBlockToRead()) {
        const ProtoEntry e = raw.registers();
        raw.decode(area.mid(int(e.offset - base) * 2, int(e.registers) * 2));
    }
    *image = raw.image();
    *table = raw.table();
}

void systemSeeds()
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    const quint32 base = catalogue.iocfgBase().offset;
    for (int t = 0; t < catalogue.tavTypes.size(); ++t) {
        SystemModel model;
        const int modules = t % 4;
        build(model, catalogue.tavTypes.at(t), 0, modules, t);
        if (t % 2)
            vary(model, t);
        const QString name = QStringLiteral("controller%1_modules%2").arg(t).arg(modules);
        put("fuzz_systemjson", name + QStringLiteral(".json"), compactJson(model));

        QByteArray composed;
        if (!FlatConfiguration(&model).compose(composed))
            continue;
        QByteArray rawSeed = littleEndian({qint32(base >> 8), qint32(base & 0xFF)}, 1) + composed;
        put("fuzz_rawconfiguration", name, rawSeed);
        put("fuzz_requests", QStringLiteral("configuration_") + name, char(2) + composed);

        // The flat-image target picks the controller by its first byte and each module by a byte
        // of its own: the bytes that pick this system's devices, with the revision bit clear.
        QByteArray image, table;
        walk(composed, 0, &image, &table);
        int pick = t;
        while (pick & 0x04)
            pick += catalogue.tavTypes.size();
        QByteArray flat = littleEndian({pick, modules}, 1);
        for (int m = 0; m < modules; ++m)
            flat += littleEndian({(t + m) % catalogue.pexTypes.size(), 0}, 1);
        flat += littleEndian({image.size()}, 2) + image + table;
        if (pick < 256)
            put("fuzz_flatimage", name, flat);
    }

    // Two controllers with modules, groups and labels: the file a plant's engineer keeps.
    SystemModel plant;
    build(plant, catalogue.tavTypes.first(), 0, 3, 0);
    build(plant, catalogue.tavTypes.last(), 1, 2, 3);
    vary(plant, 1);
    put("fuzz_systemjson", QStringLiteral("plant.json"), compactJson(plant));
    ConfigurationStorage storage(&plant);
    storage.setFileName(root + QStringLiteral("/fuzz_tavcfile/plant.tavc"));
    QDir().mkpath(root + QStringLiteral("/fuzz_tavcfile"));
    if (!storage.save())
        std::fprintf(stderr, "cannot save the plant\n");
}

void cpuSeeds()
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    QList<SimulatedController::BusDevice> bus;
    for (int i = 0; i < 4; ++i) {
        SimulatedController::BusDevice d;
        d.type = i == 0 ? catalogue.tavTypes.first() : catalogue.pexTypes.at(i % catalogue.pexTypes.size());
        d.revision = i % 2 ? 4 : 0;
        d.serial = 1000u + quint32(i);
        d.id = 77u * quint32(i + 1);
        d.state = quint16(i);
        d.aux = 0xA5A5u;
        bus.append(d);
        const QByteArray block = SimulatedController::cpuBlock(bus, 2 + i);
        const QString name = QStringLiteral("bus_of_%1").arg(bus.size());
        put("fuzz_korcpu", name, block);
        put("fuzz_requests", QStringLiteral("cpu_") + name, char(3) + block);
    }
}

// The device-object target reads each key as a selector byte and its value's bytes.
QByteArray deviceObject(const char* classWord, DeviceType_t type, qint32 revision, qint32 bus,
                        const QByteArray& label, const QByteArray& key, const QByteArray& owner)
{
    const auto word = [](const char* w) {
        const char* const words[] = {"tav", "pex", "plc", "none", "Tav", ""};
        for (int i = 0; i < 6; ++i)
            if (std::strcmp(words[i], w) == 0)
                return QByteArray(1, char(5)) + char(i);
        return QByteArray(1, char(0));
    };
    const auto integer = [](qint32 v) { return char(2) + littleEndian({v}, 4); };
    const auto text = [](const QByteArray& t) { return char(4) + (char(t.size()) + t.left(15)); };
    return word(classWord) + integer(qint32(type)) + integer(revision) + integer(bus) + text(label)
           + text("pumps") + text("{0000}") + text(key) + (owner.isEmpty() ? QByteArray(1, 0) : text(owner));
}

void deviceSeeds()
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    put("fuzz_devicejson", "controller",
        deviceObject("tav", catalogue.tavTypes.first(), -1, 0, "Main", "TAV", ""));
    put("fuzz_devicejson", "module",
        deviceObject("pex", catalogue.pexTypes.first(), 4, 2, "Module", "0.2.PEX", "TAV"));
    put("fuzz_devicejson", "plc",
        deviceObject("plc", catalogue.tavTypes.last(), 0, 1, "", "1.PLC", ""));
}

template <typename Kind> QByteArray block(int variant)
{
    Kind resource(NodeId_t{});
    AbstractConfig c;
    resource.exportConfig(c);
    c.ain.range = variant % 6;
    c.ain.median = qint8(variant % 3);
    c.ain.scMax = 20.0f;
    c.ain.tsType = variant;
    c.aout.save = quint16(variant * 1000);
    c.din.filterOn = variant % 2;
    c.din.ac = variant % 3 == 0;
    c.din.filter = quint16(variant + 1);
    c.dout.save = qint16(variant % 2);
    c.port.baud = variant % 2 ? 115200 : 19200;
    c.port.parity = quint8(variant % 3);
    resource.importConfig(c);
    QByteArray out;
    resource.encode(&out);
    return out;
}

QByteArray settingsJson(const IoResource& resource)
{
    QJsonObject json;
    resource.writeJson(json);
    return QJsonDocument(json).toJson(QJsonDocument::Compact);
}

void resourceSeeds()
{
    for (int v = 0; v < 6; ++v) {
        put("fuzz_ain", QStringLiteral("block%1").arg(v), block<Ain>(v));
        put("fuzz_outputs", QStringLiteral("aout_block%1").arg(v), char(0x13 * v) + block<Aout>(v));
    }
    put("fuzz_outputs", "dout_block", char(0x21) + block<Dout>(1));
    put("fuzz_outputs", "aout_settings", char(0x07) + settingsJson(Aout(NodeId_t{})));
    put("fuzz_outputs", "dout_settings", char(0x3C) + settingsJson(Dout(NodeId_t{})));

    put("fuzz_din_serialport", "din_block", QByteArray("\x00\x00", 2) + block<Din>(1));
    put("fuzz_din_serialport", "port_block", QByteArray("\x01\x00", 2) + block<SerialPort>(1));
    // Selector: role in the low nibble, register table and count in the high one.
    put("fuzz_din_serialport", "din_counter",
        QByteArray("\x02", 1) + char(ValueRole::DinCounter | 0x70) + littleEndian({123456}, 4));
    put("fuzz_din_serialport", "din_reset",
        QByteArray("\x02", 1) + char(ValueRole::CounterReset | 0x40) + QByteArray(1, 1));
    put("fuzz_din_serialport", "din_settings", QByteArray("\x03\x00", 2) + settingsJson(Din(NodeId_t{})));
    put("fuzz_din_serialport", "port_settings",
        QByteArray("\x03\x00", 2) + settingsJson(SerialPort(NodeId_t{})));
}

void requestSeeds()
{
    // Alarm change: first register, count, three changes, then the words the device answers.
    QByteArray alarm = QByteArray(1, 0) + littleEndian({3001}, 2) + char(6) + char(3);
    alarm += littleEndian({3001}, 4) + littleEndian({5}, 4) + char(1);
    alarm += char(2) + littleEndian({17}, 4) + char(0);
    alarm += littleEndian({3004}, 4) + littleEndian({15}, 4) + char(1);
    put("fuzz_requests", "alarm_change", alarm + QByteArray::fromHex("0100ffff00000000a5a55a5a"));

    // Value reads: resource (Ain, Aout, Din, Dout), role, read function, offset, count.
    QByteArray values = QByteArray(1, 1) + char(5);
    values += littleEndian({0, ValueRole::AinValue, 4, 0, 2}, 1);
    values += littleEndian({1, ValueRole::AoutValue, 3, 10, 1}, 1);
    values += littleEndian({2, ValueRole::DinState, 2, 0, 1}, 1);
    values += littleEndian({2, ValueRole::DinCounter, 4, 100, 2}, 1);
    values += littleEndian({3, ValueRole::DoutState, 1, 0, 1}, 1);
    QByteArray answers;
    for (int i = 0; i < 48; ++i)
        answers += char(i * 37);
    put("fuzz_requests", "value_reads", values + answers);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    root = QString::fromLocal8Bit(argv[1]);
    fuzzCatalogue();
    systemSeeds();
    cpuSeeds();
    deviceSeeds();
    resourceSeeds();
    requestSeeds();
    return 0;
}
