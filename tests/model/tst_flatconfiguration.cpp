// The flat image: its layout byte by byte, compose -> parse -> compose, and hostile images.
#include "catalogue/settingsprovider.h"
#include "model/crc16.h"
#include "model/flatconfiguration.h"
#include "support/isolatedenvironment.h"
#include "model/systemmodel.h"

#include <QDataStream>
#include <QJsonDocument>
#include <QtTest>

#include <algorithm>
#include <functional>

namespace {

const DeviceType_t tavType = 0x0B0A140Au; // TAV-1020-10

struct Reader
{
    explicit Reader(const QByteArray& bytes)
        : in(bytes)
    {
        in.setByteOrder(QDataStream::LittleEndian);
    }
    quint8 u8() { quint8 v = 0; in >> v; return v; }
    quint16 u16() { quint16 v = 0; in >> v; return v; }
    qint16 i16() { qint16 v = 0; in >> v; return v; }
    quint32 u32() { quint32 v = 0; in >> v; return v; }
    QDataStream in;
};

QByteArray le16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

quint16 crcOf(const QByteArray& b)
{
    return crc16(reinterpret_cast<const quint8*>(b.constData()), quint16(b.size()));
}

// The image as the raw configuration walk hands it over: device blocks, and the table body.
struct Split
{
    QByteArray image;
    QByteArray table;
};

Split split(const QByteArray& composed)
{
    Reader r(composed);
    r.i16();
    const int body = r.u16();
    return {composed.left(4 + body), composed.mid(4 + body + 6)};
}

QByteArray table(const QList<QPair<quint32, quint16>>& entries)
{
    QByteArray t = le16(quint16(entries.size()));
    for (const auto& e : entries) {
        QByteArray entry;
        QDataStream out(&entry, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << e.first << e.second;
        t.append(entry);
    }
    return t;
}

// Gives every resource a setting of its own, so that two records never read alike.
void markEveryResource(const SystemModel& model)
{
    int n = 1;
    for (const IoResource::Ptr_t& r : model.resources()) {
        AbstractConfig c;
        r->exportConfig(c);
        c.ain.scMax = float(n);
        c.aout.save = quint16(n);
        c.din.filter = quint16(n);
        c.dout.save = qint16(n);
        c.port.delay = quint16(n);
        r->importConfig(c);
        ++n;
    }
}

// The device blocks of an image as they should be, worked out from the model's lookups alone:
// each device's own resources and, for a module, the system's ports, kind by kind, each kind by
// the owner's place on the bus and then by index, ties in the device's own order.
QByteArray expectedBlocks(const SystemModel& model)
{
    QByteArray blocks;
    for (const DeviceHandle& h : model.deviceHandles()) {
        const Device::Ptr_t d = model.device(h.id);
        SystemModel::Resources_t own;
        for (const NodeId_t& id : d->resourceIds()) {
            if (model.resource(id))
                own << model.resource(id);
        }
        if (d->number() != 0)
            own << model.serialPorts();
        QByteArray body;
        for (int kind = ResourceKind::Ain; kind <= ResourceKind::SerialPort; ++kind) {
            QList<IoResource::Ptr_t> list;
            for (const IoResource::Ptr_t& r : own) {
                if (r->kind() == kind)
                    list << r;
            }
            if (list.isEmpty())
                continue;
            std::stable_sort(list.begin(), list.end(),
                             [&model](const IoResource::Ptr_t& a, const IoResource::Ptr_t& b) {
                                 const qint64 ka = model.busKey(model.device(a->owner()));
                                 const qint64 kb = model.busKey(model.device(b->owner()));
                                 return ka != kb ? ka < kb : a->index() < b->index();
                             });
            QByteArray records;
            for (const IoResource::Ptr_t& r : list) {
                QByteArray record;
                r->encode(&record);
                records += record;
            }
            body += le16(quint16(kind)) + le16(quint16(records.size()))
                + le16(quint16(list.size())) + le16(quint16(records.size() / list.size()))
                + records;
        }
        blocks += le16(quint16(h.type & 0xFFFF)) + le16(quint16(h.type >> 16))
            + le16(quint16(body.size())) + le16(crcOf(body)) + body;
    }
    return blocks;
}

QByteArray jsonOf(const SystemModel& model)
{
    QJsonObject data;
    return model.writeJson(data) ? QJsonDocument(data).toJson() : QByteArray("failed");
}

// What a model holds beyond its file and its image, device by device in bus order: ids, places,
// readings and device settings, and for each resource its pairing, flag and live value.
QStringList stateOf(const SystemModel& model)
{
    QStringList lines;
    for (const DeviceHandle& h : model.deviceHandles()) {
        const Device::Ptr_t d = model.device(h.id);
        AbstractConfig part;
        d->exportConfig(part);
        QStringList readings;
        for (const double r : d->readings())
            readings << QString::number(r);
        lines << QStringList{h.id.toString(), QString::number(h.number), h.group, part.device.label,
                             QString::number(part.device.pollAin),
                             QString::number(part.device.pollCntr),
                             QString::number(part.device.pollFreq), d->identityKey(),
                             QString::number(d->imageOffset()), QString::number(d->imageSize()),
                             readings.join(',')}
                     .join(' ');
        for (const IoResource::Ptr_t& r : model.deviceResources(h.id, false)) {
            AbstractValue v;
            r->exportValue(v);
            const QList<double> value{v.ain.value, v.ain.raw, double(v.ain.extra),
                                      double(v.ain.status), double(v.ain.freeze),
                                      double(v.aout.control), double(v.aout.overload),
                                      double(v.aout.value), double(v.aout.overrideValue),
                                      double(v.din.value), double(v.din.counter),
                                      double(v.din.frequency), double(v.din.reset),
                                      double(v.dout.control), double(v.dout.value),
                                      double(v.dout.overrideValue), double(v.port.words[0]),
                                      double(v.port.words[1]), double(v.port.words[2])};
            QStringList values;
            for (const double x : value)
                values << QString::number(x);
            const IoResource::Ptr_t partner = r->partner();
            lines << QStringList{"  " + r->textId(), QString::number(r->index()),
                                 r->owner().toString(), QString::number(r->isCoupled()),
                                 QString::number(r->isPrimary()),
                                 partner ? partner->textId() : "-", QString::number(r->flag()),
                                 values.join(',')}
                         .join(' ');
        }
    }
    return lines;
}

QList<AbstractConfig> configsOf(const SystemModel& model)
{
    QList<AbstractConfig> configs;
    for (const DeviceHandle& h : model.deviceHandles()) {
        for (const IoResource::Ptr_t& r : model.deviceResources(h.id, false)) {
            configs << AbstractConfig();
            r->exportConfig(configs.last());
        }
    }
    return configs;
}

void editInput(const IoResource::Ptr_t& input, const std::function<void(AinConfig&)>& change)
{
    AbstractConfig c;
    input->exportConfig(c);
    change(c.ain);
    input->importConfig(c);
}

// Puts into `model` what a user or the monitoring leaves in a configuration besides the image:
// a group, a label, readings, live values, flags, a pair of inputs coupled for three wires, and a
// pairing that an edit left behind.
void touchEverything(SystemModel& model)
{
    for (const Device::Ptr_t& d : model.devices()) {
        d->setGroup("Pumps");
        d->setLabel("P-1");
        d->setReadings({1, 2, 3, 4, 5});
    }
    for (const IoResource::Ptr_t& r : model.resources()) {
        AbstractValue v;
        r->exportValue(v);
        v.ain = {1.5, 2.5, 3, 1, 1};
        v.aout = {1, 1, 500, 7};
        v.din = {1, 42, 9, 1};
        v.dout = {1, 1, 1};
        v.port.words = {1, 2, 3};
        r->importValue(v);
        r->setFlag(true);
    }
    editInput(model.resourcesOfKind(ResourceKind::Ain).at(2), [](AinConfig& c) {
        c.range = 3;
        c.reserved1 = 99;
    });
    const IoResource::Ptr_t unpaired = model.resourcesOfKind(ResourceKind::Ain).at(0);
    editInput(unpaired, [](AinConfig& c) { c.range = 3; });
    unpaired->setPartner({}, true);
}

// The controller's first analogue input in its own order, whose poll mode the device part takes.
IoResource::Ptr_t firstInput(const SystemModel& model)
{
    const Device::Ptr_t d = model.device(model.deviceHandles().first().id);
    for (const NodeId_t& id : d->resourceIds()) {
        if (model.resource(id)->kind() == ResourceKind::Ain)
            return model.resource(id);
    }
    return {};
}

} // namespace

class FlatConfigurationTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;

    Device::Ptr_t add(SystemModel& model, DeviceType_t type, HardwareVersion revision, int number,
                      const NodeId_t& owner = NodeId_t())
    {
        DeviceHandle h;
        h.type = type;
        h.revision = revision;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = number;
        return model.addDevice(h);
    }

    // A controller with two modules, as the controller would report it; with `second`, another
    // controller and its module follow them.
    Device::Ptr_t buildSystem(SystemModel& model, SystemInfo_t& info, bool second = false,
                              DeviceType_t firstType = tavType, int firstRevision = 0)
    {
        const Device::Ptr_t tav = add(model, firstType, firstRevision, 0);
        add(model, pexType, 4, 1, tav->id());
        add(model, pexType, 0, 2, tav->id());
        info.cpuId = firstType;
        info.hw = firstRevision;
        info.kernelSn = 42;
        info.kernelId = 7;
        BusEntry m;
        m.type = pexType;
        m.revision = 4;
        info.bus = {m, m};
        info.bus[1].revision = 0;
        if (second) {
            add(model, pexType, 0, 1, add(model, tavType, 0, 1)->id());
            BusEntry c;
            c.type = tavType;
            c.revision = 0;
            info.bus << c << info.bus[1];
        }
        return tav;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        pexType = SettingsProvider::instance().pexTypes.first();
    }

    void imageOfOneControllerFieldByField()
    {
        SystemModel model;
        const Device::Ptr_t tav = add(model, tavType, 4, 0);
        FlatConfiguration flat(&model);
        QByteArray image;
        QMap<NodeId_t, QByteArray> blocks;
        QVERIFY(flat.compose(image, &blocks));

        Reader r(image);
        QCOMPARE(r.i16(), qint16(1));
        const quint16 blocksLength = r.u16();
        QCOMPARE(r.u32(), tavType);
        const quint16 bodyLength = r.u16();
        QCOMPARE(int(bodyLength) + 8, int(blocksLength));
        const quint16 crc = r.u16();
        QCOMPARE(crc, crcOf(image.mid(12, bodyLength)));
        QCOMPARE(blocks.value(tav->id()), image.mid(4, blocksLength));

        // Kind blocks in kind order: 8 inputs, 2 analogue outputs, 8 discrete inputs, 8 outputs
        // and the controller's two serial ports.
        const QList<QList<int>> kinds{{0, 8, 38}, {1, 2, 10}, {2, 8, 4}, {3, 8, 4}, {4, 2, 16}};
        int position = 12;
        for (const QList<int>& k : kinds) {
            Reader kr(image.mid(position, 8));
            QCOMPARE(int(kr.i16()), k[0]);
            QCOMPARE(int(kr.u16()), k[1] * k[2]);
            QCOMPARE(int(kr.i16()), k[1]);
            QCOMPARE(int(kr.i16()), k[2]);
            position += 8 + k[1] * k[2];
        }
        QCOMPARE(position, 12 + int(bodyLength));
        // The first serial port's record is a default port in normal mode: 115200 baud.
        QByteArray port;
        model.serialPorts().first()->encode(&port);
        QCOMPARE(image.mid(position - 32, 16), port);

        Reader t(image.mid(position));
        QCOMPARE(t.u8(), quint8(0x0D));
        QCOMPARE(t.u8(), quint8(0));
        QCOMPARE(t.u16(), quint16(8));
        const quint16 tableCrc = t.u16();
        QCOMPARE(tableCrc, crcOf(image.mid(position + 6)));
        QCOMPARE(t.i16(), qint16(1));
        QCOMPARE(t.u32(), tavType);
        QCOMPARE(t.u16(), quint16(4));
        QCOMPARE(image.size(), position + 6 + 8);
    }

    void composeParseComposeGivesTheSameBytes()
    {
        SystemModel model;
        SystemInfo_t info;
        buildSystem(model, info);
        // A setting away from its default must survive the trip.
        const IoResource::Ptr_t din = model.resourcesOfKind(ResourceKind::Din).at(3);
        AbstractConfig cfg;
        din->exportConfig(cfg);
        cfg.din.filter = 77;
        din->importConfig(cfg);

        FlatConfiguration flat(&model);
        QByteArray first;
        QVERIFY(flat.compose(first));

        SystemModel read;
        FlatConfiguration parser(&read);
        const Split s = split(first);
        QVERIFY(parser.parse(info, s.image, s.table));
        QCOMPARE(read.devices().size(), 3);
        const QList<DeviceHandle> handles = read.deviceHandles();
        QCOMPARE(handles.at(0).number, 0);
        QCOMPARE(handles.at(1).owner, handles.at(0).id);
        QCOMPARE(handles.at(2).number, 2);
        QCOMPARE(handles.at(1).revision, 4);
        const Device::Ptr_t controller = read.device(handles.at(0).id);
        QCOMPARE(controller->imageOffset(), 4u);
        QCOMPARE(read.device(handles.at(1).id)->imageOffset(), controller->imageSize() + 4);
        QCOMPARE(controller->identityKey(), QString("TAV-1020-10-0_00042"));
        // Counter ids carry the template's class and the type's low word.
        QCOMPARE(handles.at(1).id.data2, quint16(3));
        QCOMPARE(handles.at(1).id.data3, quint16(pexType & 0xFFFF));

        QByteArray second;
        QVERIFY(FlatConfiguration(&read).compose(second));
        QCOMPARE(second, first);
    }

    // The records of each device go kind by kind in resource order, the system's ports with every
    // module, whatever order the devices were added in and their resources listed in.
    void recordsGoInResourceOrder_data()
    {
        QTest::addColumn<int>("layout");
        QTest::newRow("one controller") << 0;
        QTest::newRow("modules added out of bus order") << 1;
        QTest::newRow("two controllers, the second added first") << 2;
        QTest::newRow("a module listing its resources out of index order") << 3;
    }

    void recordsGoInResourceOrder()
    {
        QFETCH(int, layout);
        SystemModel model;
        if (layout == 2) {
            const Device::Ptr_t c1 = add(model, tavType, 0, 1);
            add(model, pexType, 0, 2, c1->id());
            add(model, pexType, 0, 1, c1->id());
        }
        const Device::Ptr_t c0 = add(model, tavType, 0, 0);
        if (layout == 1 || layout == 2) {
            for (const int number : {3, 1, 2})
                add(model, pexType, 0, number, c0->id());
        }
        if (layout == 3) {
            DeviceHandle h;
            h.type = pexType;
            h.revision = 0;
            h.id = SystemModel::newNodeId();
            h.owner = c0->id();
            h.number = 1;
            const Device::Ptr_t m = Device::create(Device::PexClass, h);
            SystemModel::Resources_t own;
            for (const auto& ki : QList<QPair<int, int>>{{2, 3}, {3, 2}, {2, 1}, {2, 2}, {3, 1}}) {
                own << IoResource::create(ki.first, SystemModel::newNodeId());
                own.last()->setOwner(m->id());
                own.last()->setIndex(ki.second);
                m->addResource(own.last()->id());
            }
            QVERIFY(model.insertDevice(m, own));
        }
        markEveryResource(model);

        QByteArray image;
        QVERIFY(FlatConfiguration(&model).compose(image));
        const Split s = split(image);
        QCOMPARE(s.image.mid(4).toHex(), expectedBlocks(model).toHex());
    }

    void changedByteFailsTheParseAtThatDevice()
    {
        SystemModel model;
        SystemInfo_t info;
        buildSystem(model, info);
        QByteArray image;
        QMap<NodeId_t, QByteArray> blocks;
        QVERIFY(FlatConfiguration(&model).compose(image, &blocks));
        const int firstBlock = blocks.value(model.deviceHandles().at(0).id).size();
        Split s = split(image);
        s.image[4 + firstBlock + 20] = char(s.image.at(4 + firstBlock + 20) ^ 0x40);

        SystemModel read;
        QVERIFY(!FlatConfiguration(&read).parse(info, s.image, s.table));
        QCOMPARE(read.devices().size(), 1);
    }

    void storedRevisionReplacesTheDetectedOneUnlessAny()
    {
        SystemModel model;
        SystemInfo_t info;
        buildSystem(model, info);
        QByteArray image;
        QVERIFY(FlatConfiguration(&model).compose(image));
        const Split s = split(image);
        info.hw = 4;
        info.bus[0].revision = 0;

        // "Any" keeps what was found; a real stored revision wins; an empty table changes nothing.
        SystemModel a;
        QVERIFY(FlatConfiguration(&a).parse(info, s.image, table({{tavType, 0xFFFF}, {pexType, 4}})));
        QCOMPARE(a.deviceHandles().at(0).revision, 4);
        QCOMPARE(a.deviceHandles().at(1).revision, 4);
        SystemModel b;
        QVERIFY(FlatConfiguration(&b).parse(info, s.image, QByteArray()));
        QCOMPARE(b.deviceHandles().at(0).revision, 4);
        QCOMPARE(b.deviceHandles().at(1).revision, 0);
        // A count beyond what the table holds reads only the entries that are there.
        SystemModel c;
        QByteArray overlong = table({{tavType, 0}});
        overlong[0] = char(100);
        QVERIFY(FlatConfiguration(&c).parse(info, s.image, overlong));
        QCOMPARE(c.deviceHandles().at(0).revision, 0);
    }

    void hostileImagesAreRefused()
    {
        SystemModel model;
        SystemInfo_t info;
        buildSystem(model, info);
        QByteArray image;
        QVERIFY(FlatConfiguration(&model).compose(image));
        const Split s = split(image);
        const auto parses = [&info](const QByteArray& img) {
            SystemModel m;
            return FlatConfiguration(&m).parse(info, img, QByteArray());
        };
        QVERIFY(parses(s.image));
        QVERIFY(!parses(s.image.left(s.image.size() - 1)));
        QVERIFY(!parses(QByteArray()));
        QVERIFY(!parses(le16(0) + le16(6) + QByteArray(6, 0)));

        // A device body that claims more than the image holds.
        QByteArray past = s.image;
        past[8] = char(0xFF);
        past[9] = char(0x7F);
        QVERIFY(!parses(past));

        // A kind block whose data runs past its device body, with a valid CRC over the body.
        QByteArray kind = s.image;
        kind[12 + 2] = char(0xF0);
        kind[12 + 3] = char(0x7F);
        const int bodyLength = quint8(kind[8]) | quint8(kind[9]) << 8;
        const quint16 crc = crcOf(kind.mid(12, bodyLength));
        kind[10] = char(crc & 0xFF);
        kind[11] = char(crc >> 8);
        QVERIFY(!parses(kind));

        // A block count beyond what the bus holds cannot be numbered.
        QByteArray count = s.image;
        count[0] = char(9);
        QVERIFY(!parses(count));
    }

    // A configuration read into the system the model holds gives what a rebuild gives (the parse
    // of it taken over), ids of devices included; any other system, or a broken image, leaves the
    // model as it was.
    void updateInPlaceGivesWhatARebuildGives_data()
    {
        QTest::addColumn<int>("change");
        QTest::addColumn<int>("outcome");
        const int updated = int(FlatConfiguration::Update::Updated);
        const int other = int(FlatConfiguration::Update::OtherSystem);
        const int refused = int(FlatConfiguration::Update::Refused);
        QTest::newRow("new settings of every kind") << 0 << updated;
        QTest::newRow("another module type") << 1 << other;
        QTest::newRow("a module more") << 2 << other;
        QTest::newRow("devices under ids of their own") << 3 << other;
        QTest::newRow("a resource gone from a device") << 4 << other;
        QTest::newRow("last block's CRC broken") << 5 << refused;
        QTest::newRow("last block's kind block past its body") << 6 << refused;
        // The devices after the one that differs are the same: they must not hide it.
        QTest::newRow("first of two controllers of another revision") << 7 << other;
        QTest::newRow("first of two controllers of another type") << 8 << other;
    }

    void updateInPlaceGivesWhatARebuildGives()
    {
        QFETCH(int, change);
        QFETCH(int, outcome);
        const QList<DeviceType_t> pexTypes = SettingsProvider::instance().pexTypes;
        QVERIFY(pexTypes.size() > 1);

        // The configuration as read from the controller before, and as used since.
        DeviceType_t otherController = 0;
        for (const DeviceType_t type : SettingsProvider::instance().tavTypes) {
            if (type != tavType)
                otherController = type;
        }
        QVERIFY(otherController != 0);
        const bool twoControllers = change >= 7;
        SystemModel first;
        SystemInfo_t info;
        buildSystem(first, info, twoControllers);
        QByteArray firstImage;
        QVERIFY(FlatConfiguration(&first).compose(firstImage));
        const Split firstRead = split(firstImage);
        SystemModel held;
        NodeId::resetImageIds();
        if (change == 3)
            buildSystem(held, info);
        else
            QVERIFY(FlatConfiguration(&held).parse(info, firstRead.image, firstRead.table));
        touchEverything(held);
        if (change == 4) {
            const Device::Ptr_t module = held.device(held.deviceHandles().at(1).id);
            module->removeResource(module->resourceIds().last());
        }

        // The controller read again.
        SystemModel source;
        SystemInfo_t again;
        buildSystem(source, again, twoControllers, change == 8 ? otherController : tavType,
                    change == 7 ? 4 : 0);
        if (change == 1) {
            source.removeDevice(source.deviceHandles().last().id);
            add(source, pexTypes.at(1), 0, 2, source.deviceHandles().first().id);
            again.bus[1].type = pexTypes.at(1);
        } else if (change == 2) {
            add(source, pexType, 0, 3, source.deviceHandles().first().id);
            again.bus.append(again.bus.last());
        }
        markEveryResource(source);
        editInput(firstInput(source), [](AinConfig& c) { c.pollAin = 2; });
        for (const IoResource::Ptr_t& threeWire : {source.resourcesOfKind(ResourceKind::Ain).at(4),
                                                   source.resourcesOfKind(ResourceKind::Ain).last()})
            editInput(threeWire, [](AinConfig& c) { c.range = 3; });
        QByteArray image;
        QMap<NodeId_t, QByteArray> blocks;
        QVERIFY(FlatConfiguration(&source).compose(image, &blocks));
        Split s = split(image);
        const int lastBlock = s.image.size() - blocks.value(source.deviceHandles().last().id).size();
        if (change == 5)
            s.image[s.image.size() - 1] = char(s.image.at(s.image.size() - 1) ^ 0x01);
        if (change == 6) {
            // The last kind block claims a byte more, its device's CRC made to match.
            const int body = lastBlock + 8;
            int kind = body;
            while (kind + 8 + (quint8(s.image[kind + 2]) | quint8(s.image[kind + 3]) << 8)
                   < s.image.size())
                kind += 8 + (quint8(s.image[kind + 2]) | quint8(s.image[kind + 3]) << 8);
            s.image[kind + 2] = char(s.image.at(kind + 2) + 1);
            const quint16 crc = crcOf(s.image.mid(body));
            s.image[lastBlock + 6] = char(crc & 0xFF);
            s.image[lastBlock + 7] = char(crc >> 8);
        }

        const QByteArray jsonBefore = jsonOf(held);
        const QStringList stateBefore = stateOf(held);
        const QList<AbstractConfig> configsBefore = configsOf(held);
        NodeId::resetImageIds();
        QCOMPARE(int(FlatConfiguration(&held).update(again, s.image, s.table)), outcome);
        if (outcome != int(FlatConfiguration::Update::Updated)) {
            QCOMPARE(jsonOf(held), jsonBefore);
            QCOMPARE(stateOf(held), stateBefore);
            QVERIFY(configsOf(held) == configsBefore);
            return;
        }
        // What a configuration read from the controller replaces the held one with otherwise.
        SystemModel scratch;
        NodeId::resetImageIds();
        QVERIFY(FlatConfiguration(&scratch).parse(again, s.image, s.table));
        SystemModel parsed;
        parsed.takeOver(scratch);
        QCOMPARE(jsonOf(held), jsonOf(parsed));
        QCOMPARE(stateOf(held), stateOf(parsed));
        QVERIFY(configsOf(held) == configsOf(parsed));
        // The device part shows the polling its first resources were read with.
        AbstractConfig part;
        held.device(held.deviceHandles().first().id)->exportConfig(part);
        QCOMPARE(part.device.pollAin, 2u);
        QByteArray recomposed;
        QVERIFY(FlatConfiguration(&held).compose(recomposed));
        QCOMPARE(recomposed, image);
        // Flags that show only once the bus changes stay alike too.
        const NodeId_t addedId = SystemModel::newNodeId();
        for (SystemModel* m : {&held, &parsed})
            m->addDevice({pexType, 0, addedId, m->deviceHandles().first().id, 3, QString()});
        QCOMPARE(stateOf(held), stateOf(parsed));
    }

    void composeRefusesAnImageBeyondItsLengthFields()
    {
        SystemModel model;
        const Device::Ptr_t tav = add(model, tavType, 0, 0);
        for (int i = 1; i <= 500; ++i)
            add(model, pexType, 0, i, tav->id());
        QByteArray image("untouched");
        QVERIFY(!FlatConfiguration(&model).compose(image));
        QCOMPARE(image, QByteArray("untouched"));
    }

    void emptySystemComposesButDoesNotParse()
    {
        SystemModel model;
        QByteArray image;
        QVERIFY(FlatConfiguration(&model).compose(image));
        QCOMPARE(image, le16(0) + le16(0) + QByteArray("\x0d\x00\x02\x00", 4)
                            + le16(crcOf(le16(0))) + le16(0));
        QVERIFY(!FlatConfiguration(&model).parse(SystemInfo_t(), image.left(4), QByteArray()));
    }
};

QTEST_GUILESS_MAIN(FlatConfigurationTest)
#include "tst_flatconfiguration.moc"
