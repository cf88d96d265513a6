// The system model: building from the catalogue, bus order, register tables, the structural edits
// behind the undo commands, the device-wide settings and the change signals.
#include "catalogue/settingsprovider.h"
#include "model/ain.h"
#include "model/din.h"
#include "model/flatconfiguration.h"
#include "model/serialport.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "model/systemmodel.h"

#include <QJsonObject>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

namespace {

using namespace ModelFixture;

QList<quint32> offsets(const SystemModel::Resources_t& list, int role)
{
    QList<quint32> out;
    for (const IoResource::Ptr_t& r : list)
        out << r->role(role).offset;
    return out;
}

// The structural edits, each as a caller makes it; the undo commands make the same calls in the
// same order (an undone add is a removal, a redone one an insertion of the kept device).
enum Edit {
    AddOne,
    AddInBatch,
    ReplaceByCreate,
    ReplaceByAdd,
    RemoveModule,
    RemoveFirstController,
    RemoveAll,
    UndoRemove,
    UndoAdd,
    RedoAdd,
    InsertPartlyFiled,
    MoveSecondControllerFirst,
    Clear,
    ClearAndRebuild,
    ReadJson,
    ParseImage,
    TakeOverParsed,
};

QList<NodeId_t> idsOf(const QList<DeviceHandle>& handles)
{
    QList<NodeId_t> out;
    for (const DeviceHandle& h : handles)
        out << h.id;
    return out;
}

} // namespace

class SystemModelTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;

    struct Bus
    {
        Device::Ptr_t c0, c1, m01, m02, m11, m12;
    };
    // Two controllers numbered 0 and 1 with modules 1 and 2 each, added out of bus order.
    Bus buildBus(SystemModel& model)
    {
        Bus b;
        b.c1 = model.addDevice(handleOf(kTav1020, 1));
        b.c0 = model.addDevice(handleOf(kTav1020, 0));
        b.m12 = model.addDevice(handleOf(pexType, 2, b.c1->id()));
        b.m02 = model.addDevice(handleOf(pexType, 2, b.c0->id()));
        b.m01 = model.addDevice(handleOf(pexType, 1, b.c0->id()));
        b.m11 = model.addDevice(handleOf(pexType, 1, b.c1->id()));
        return b;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& provider = SettingsProvider::instance();
        QVERIFY(provider.templates.contains(kTav1020));
        QCOMPARE(provider.mode, 1);
        // A module with analogue inputs, so pairs and resource order span devices.
        for (const DeviceType_t type : provider.pexTypes) {
            for (const IoChannel& channel : provider.templates.value(type).channels) {
                if (channel.kind == ResourceKind::Ain && !pexType)
                    pexType = type;
            }
        }
        QVERIFY(pexType != 0);
    }

    void addingDevicesBuildsResourcesAndPorts()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        QVERIFY(c0);
        const QMap<int, SystemModel::Resources_t> kinds = model.ioResources(c0);
        QCOMPARE(kinds.keys(), QList<int>({0, 1, 2, 3, 4}));
        QCOMPARE(kinds[0].size(), 8);
        QCOMPARE(kinds[1].size(), 2);
        QCOMPARE(kinds[2].size(), 8);
        QCOMPARE(kinds[3].size(), 8);
        QCOMPARE(c0->resourceIds().size(), 28);

        const SystemModel::Resources_t ports = model.serialPorts();
        QCOMPARE(ports.size(), 2);
        QCOMPARE(ports[1]->textId(), ports[1]->typeName() + "2");
        QCOMPARE(ports[1]->owner(), c0->id());
        QCOMPARE(ports[1].staticCast<SerialPort>()->config().baud, 115200u);
        for (int i = 0; i < 8; i += 2)
            QCOMPARE(kinds[0][i]->partner(), kinds[0][i + 1]);

        // Another controller has no ports but borrows the system's.
        const Device::Ptr_t c1 = model.addDevice(handleOf(kTav1020, 1));
        QCOMPARE(model.serialPorts(), ports);
        QCOMPARE(model.deviceResources(c1->id(), true).mid(26), ports);
        QCOMPARE(model.deviceResources(c1->id(), false).size(), 26);
        QCOMPARE(model.ioResources(c1).keys(), QList<int>({0, 1, 2, 3}));
        QCOMPARE(model.ioResources(Device::Ptr_t())[0].size(), 16);

        const Device::Ptr_t m = model.addDevice(handleOf(pexType, 1, c0->id()));
        QCOMPARE(c0->childIds(), QList<NodeId_t>({m->id()}));

        const int resources = model.resources().size();
        QVERIFY(!model.addDevice(handleOf(makeDeviceType(99, 1, 2, 3), 2)));
        QCOMPARE(model.devices().size(), 3);
        QCOMPARE(model.resources().size(), resources);
    }

    // The per-kind lists are kept beside the resources rather than found by a walk over them; after
    // every kind of edit they must be what the walk finds, and the pairs and the ports' holder what
    // a fresh pairing and settling make.
    void kindListsFollowEveryEdit_data()
    {
        QTest::addColumn<int>("edit");
        QTest::newRow("add a module") << int(AddOne);
        QTest::newRow("add several in a batch") << int(AddInBatch);
        QTest::newRow("create a device under a filed id") << int(ReplaceByCreate);
        QTest::newRow("add a device under a filed id") << int(ReplaceByAdd);
        QTest::newRow("remove a module") << int(RemoveModule);
        QTest::newRow("remove controller 0") << int(RemoveFirstController);
        QTest::newRow("remove every device") << int(RemoveAll);
        QTest::newRow("undo a removal") << int(UndoRemove);
        QTest::newRow("undo an addition") << int(UndoAdd);
        QTest::newRow("redo an addition") << int(RedoAdd);
        QTest::newRow("insert with a resource filed already") << int(InsertPartlyFiled);
        QTest::newRow("move controller 1 first") << int(MoveSecondControllerFirst);
        QTest::newRow("clear") << int(Clear);
        QTest::newRow("clear and rebuild") << int(ClearAndRebuild);
        QTest::newRow("read a file") << int(ReadJson);
        QTest::newRow("parse an image") << int(ParseImage);
        QTest::newRow("take over a parsed system") << int(TakeOverParsed);
    }

    void kindListsFollowEveryEdit()
    {
        QFETCH(int, edit);
        SystemModel built;
        const Bus b = buildBus(built);
        // Walk every list once before the edit, so an answer kept from before would show.
        for (int kind = ResourceKind::Ain; kind <= ResourceKind::SerialPort; ++kind)
            built.resourcesOfKind(kind);
        SystemModel other;
        SystemModel* model = &built;
        const auto removed = [&](const Device::Ptr_t& d) {
            const SystemModel::Resources_t own = built.deviceResources(d->id(), false);
            built.removeDevice(d->id());
            return own;
        };
        switch (edit) {
        case AddOne:
            built.addDevice(handleOf(pexType, 3, b.c0->id()));
            break;
        case AddInBatch: {
            const SystemModel::Batch batch(&built);
            built.addDevice(handleOf(pexType, 3, b.c0->id()));
            built.addDevice(handleOf(kTav1020, 2));
            built.addDevice(handleOf(pexType, 3, b.c1->id()));
            break;
        }
        case ReplaceByCreate:
            QVERIFY(built.createDevice(b.m01->handle()));
            break;
        case ReplaceByAdd:
            QVERIFY(built.addDevice(b.m11->handle()));
            break;
        case RemoveModule:
            removed(b.m02);
            break;
        case RemoveFirstController:
            removed(b.c0);
            built.renumber();
            QVERIFY(!built.serialPorts().isEmpty());
            break;
        case RemoveAll:
            for (const Device::Ptr_t& d : {b.m01, b.m02, b.m11, b.m12, b.c1, b.c0})
                removed(d);
            QVERIFY(built.resources().isEmpty());
            break;
        case UndoRemove: {
            const SystemModel::Resources_t own = removed(b.m01);
            QVERIFY(built.insertDevice(b.m01, own));
            break;
        }
        case UndoAdd: {
            const Device::Ptr_t d = built.addDevice(handleOf(pexType, 3, b.c1->id()));
            built.removeDevice(d->id());
            break;
        }
        case RedoAdd: {
            const Device::Ptr_t d = built.addDevice(handleOf(pexType, 3, b.c1->id()));
            const SystemModel::Resources_t own = built.deviceResources(d->id(), false);
            built.removeDevice(d->id());
            QVERIFY(built.insertDevice(d, own));
            break;
        }
        case InsertPartlyFiled: {
            const SystemModel::Resources_t own = removed(b.m12);
            built.insertDevice(Device::create(Device::PexClass, handleOf(pexType, 4)), {own[0]});
            QVERIFY(!built.insertDevice(b.m12, own));
            break;
        }
        case MoveSecondControllerFirst: {
            DeviceHandle first = b.c1->handle();
            first.number = 0;
            DeviceHandle second = b.c0->handle();
            second.number = 1;
            built.moveBus({first, b.m11->handle(), b.m12->handle(), second, b.m01->handle(),
                           b.m02->handle()});
            QCOMPARE(built.serialPorts().first()->owner(), b.c1->id());
            break;
        }
        case Clear:
            built.clear();
            break;
        case ClearAndRebuild:
            built.clear();
            buildBus(built);
            break;
        case ReadJson: {
            QJsonObject data;
            QVERIFY(built.writeJson(data));
            QVERIFY(other.readJson(data));
            model = &other;
            break;
        }
        case ParseImage:
        case TakeOverParsed: {
            SystemModel one;
            const Device::Ptr_t c = one.addDevice(handleOf(kTav1020, 0));
            SystemInfo_t info;
            info.cpuId = kTav1020;
            for (int i = 1; i <= 3; ++i) {
                one.addDevice(handleOf(pexType, i, c->id()));
                BusEntry e;
                e.type = pexType;
                info.bus.append(e);
            }
            QByteArray image;
            QVERIFY(FlatConfiguration(&one).compose(image));
            const int body = quint8(image[2]) | quint8(image[3]) << 8;
            SystemModel parsed;
            QVERIFY(FlatConfiguration(&parsed).parse(info, image.left(4 + body),
                                                     image.mid(4 + body + 6)));
            if (edit == ParseImage) {
                model = &other;
                QVERIFY(FlatConfiguration(&other).parse(info, image.left(4 + body),
                                                        image.mid(4 + body + 6)));
                break;
            }
            built.clear();
            const SystemModel::Batch batch(&built);
            for (const Device::Ptr_t& d : parsed.devices()) {
                SystemModel::Resources_t own;
                for (const NodeId_t& id : d->resourceIds())
                    own.append(parsed.resource(id));
                built.insertDevice(d, own);
            }
            break;
        }
        }

        for (int kind = ResourceKind::Ain; kind <= ResourceKind::SerialPort; ++kind) {
            SystemModel::Resources_t walked;
            for (const IoResource::Ptr_t& r : model->resources()) {
                if (r->kind() == kind)
                    walked.append(r);
            }
            model->sortResources(walked);
            QCOMPARE(model->resourcesOfKind(kind), walked);
            if (kind == ResourceKind::SerialPort)
                QCOMPARE(model->serialPorts(), walked);
        }

        // Lookups by id answer what the maps hold, for what stayed and for what left.
        for (const Device::Ptr_t& d : {b.c0, b.c1, b.m01, b.m02, b.m11, b.m12}) {
            QCOMPARE(model->device(d->id()), model->devices().value(d->id()));
            for (const NodeId_t& id : d->resourceIds())
                QCOMPARE(model->resource(id), model->resources().value(id));
        }
        for (const Device::Ptr_t& d : model->devices()) {
            QCOMPARE(model->device(d->id()), d);
            for (const NodeId_t& id : d->resourceIds())
                QCOMPARE(model->resource(id), model->resources().value(id));
        }

        const SystemModel::Resources_t ains = model->resourcesOfKind(ResourceKind::Ain);
        for (int i = 0; i + 1 < ains.size(); i += 2) {
            QCOMPARE(ains[i]->partner(), ains[i + 1]);
            QCOMPARE(ains[i + 1]->partner(), ains[i]);
        }
        if (ains.size() % 2)
            QVERIFY(!ains.last()->partner());

        // The ports are listed once, by the controller that is number 0.
        const SystemModel::Resources_t ports = model->serialPorts();
        for (const Device::Ptr_t& d : model->devices()) {
            const bool holder = d->number() == 0 && d->owner().isNull();
            for (const IoResource::Ptr_t& port : ports)
                QCOMPARE(d->resourceIds().count(port->id()), holder ? 1 : 0);
        }
    }

    void registersOfOneController()
    {
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        model.assignRegisters();
        const SystemModel::Resources_t ain = model.resourcesOfKind(ResourceKind::Ain);
        QCOMPARE(offsets(ain, ValueRole::AinValue), series(0, 2, 8));
        QCOMPARE(offsets(ain, ValueRole::AinRaw), series(16, 2, 8));
        QCOMPARE(offsets(ain, ValueRole::RtdFreeze), series(2000, 1, 8));
        QCOMPARE(ain[3]->role(ValueRole::AinRaw), ProtoEntry({4, 0, 22, 2}));
        const SystemModel::Resources_t din = model.resourcesOfKind(ResourceKind::Din);
        QCOMPARE(offsets(din, ValueRole::DinCounter), series(1000, 2, 8));
        QCOMPARE(offsets(din, ValueRole::DinFrequency), series(1016, 1, 8));
        QCOMPARE(offsets(model.resourcesOfKind(ResourceKind::Dout), ValueRole::DoutOverride),
                 series(0, 1, 8));
        QVERIFY(model.serialPorts().first()->roles().isEmpty());
    }

    void registersFollowPreviousRole()
    {
        SettingsProvider& provider = SettingsProvider::instance();
        const QMap<QString, ProtoEntry> saved = provider.protocol;
        provider.protocol["iort/din"] = {2, 0, 100, 1};
        provider.protocol["iort/din-cntr"] = {4, 0, 0xFFFF, 2};
        provider.protocol.remove("iort/din-freq");
        provider.protocol["iort/cntr-rst"] = {1, 5, 0xFFFF, 1};

        SystemModel model;
        const Device::Ptr_t d = Device::create(Device::TavClass, handleOf(kTav1020, 0));
        SystemModel::Resources_t dins;
        for (int i = 1; i <= 3; ++i) {
            dins << IoResource::create(ResourceKind::Din, QUuid::createUuid());
            dins.last()->setOwner(d->id());
            dins.last()->setIndex(i);
        }
        QVERIFY(model.insertDevice(d, {dins[2], dins[0], dins[1]}));
        model.assignRegisters();
        provider.protocol = saved;

        QCOMPARE(offsets(dins, ValueRole::DinState), QList<quint32>({100, 101, 102}));
        QCOMPARE(offsets(dins, ValueRole::DinCounter), QList<quint32>({103, 105, 107}));
        // A role without entry gets nothing and leaves the running offset.
        QCOMPARE(dins[0]->role(ValueRole::DinFrequency), ProtoEntry());
        QCOMPARE(offsets(dins, ValueRole::CounterReset), QList<quint32>({109, 110, 111}));
    }

    // Each kind's register tables run through all devices in resource order (the owner's place on
    // the bus, then the index), whatever order the devices were added in; when the devices are
    // renumbered on themselves, as the editors do, the next assignment follows the new numbers.
    void registersFollowResourceOrder_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("renumbered");
        const QList<QPair<const char*, int>> kinds{{"ain", ResourceKind::Ain},
                                                   {"aout", ResourceKind::Aout},
                                                   {"din", ResourceKind::Din},
                                                   {"dout", ResourceKind::Dout}};
        for (const auto& k : kinds) {
            QTest::addRow("%s", k.first) << k.second << false;
            QTest::addRow("%s after renumbering", k.first) << k.second << true;
        }
    }

    void registersFollowResourceOrder()
    {
        QFETCH(int, kind);
        QFETCH(bool, renumbered);
        SystemModel model;
        const Bus b = buildBus(model);
        model.assignRegisters();
        if (renumbered) {
            b.c0->setNumber(1);
            b.c1->setNumber(0);
            b.m01->setNumber(2);
            b.m02->setNumber(1);
            model.assignRegisters();
        }

        // Id order first, so that ties come out as the model breaks them.
        SystemModel::Resources_t expected;
        for (const IoResource::Ptr_t& r : model.resources()) {
            if (r->kind() == kind)
                expected << r;
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [&model](const IoResource::Ptr_t& x, const IoResource::Ptr_t& y) {
                             const qint64 kx = model.busKey(model.device(x->owner()));
                             const qint64 ky = model.busKey(model.device(y->owner()));
                             return kx != ky ? kx < ky : x->index() < y->index();
                         });
        QVERIFY(!expected.isEmpty());
        QList<int> roles;
        QVERIFY(SettingsProvider::rolesOfKind(kind, &roles));
        quint32 running = 0;
        int checked = 0;
        for (const int role : roles) {
            ProtoEntry entry;
            if (!SettingsProvider::instance().iortEntry(Resource::roleWord(role), &entry))
                continue;
            const quint32 start = entry.offset == 0xFFFF ? running : entry.offset;
            QCOMPARE(offsets(expected, role), series(start, entry.registers, expected.size()));
            running = start + quint32(expected.size()) * entry.registers;
            ++checked;
        }
        QVERIFY(checked > 0);
        QCOMPARE(model.resourcesOfKind(kind), expected);
    }

    // Devices added in one batch share the templates the batch took from the catalogue, each by
    // its own type and revision: the revision names the model and decides the sourcing inputs.
    void batchDevicesTakeTheirOwnRevision_data()
    {
        QTest::addColumn<QList<int>>("revisions");
        QTest::newRow("revision 4, then 0") << QList<int>{4, 0};
        QTest::newRow("revision 0, then 4") << QList<int>{0, 4};
        QTest::newRow("any, then 4, then any") << QList<int>{-1, 4, -1};
    }

    void batchDevicesTakeTheirOwnRevision()
    {
        QFETCH(QList<int>, revisions);
        SystemModel batched;
        QList<Device::Ptr_t> made;
        {
            const SystemModel::Batch batch(&batched);
            const Device::Ptr_t c = batched.addDevice(handleOf(kTav1020, 0));
            for (int i = 0; i < revisions.size(); ++i) {
                DeviceHandle h = handleOf(pexType, i + 1, c->id());
                h.revision = revisions.at(i);
                made << batched.addDevice(h);
            }
        }
        for (int i = 0; i < revisions.size(); ++i) {
            SystemModel alone;
            DeviceHandle h = handleOf(pexType, 1);
            h.revision = revisions.at(i);
            const Device::Ptr_t expected = alone.addDevice(h);
            QVERIFY(made.at(i) && expected);
            QCOMPARE(made.at(i)->name(), expected->name());
            QList<quint32> subs;
            QList<quint32> expectedSubs;
            for (const IoResource::Ptr_t& r : batched.deviceResources(made.at(i)->id(), false))
                subs << r->subType();
            for (const IoResource::Ptr_t& r : alone.deviceResources(expected->id(), false))
                expectedSubs << r->subType();
            QCOMPARE(subs, expectedSubs);
        }
    }

    // Fresh ids are random ids as QUuid makes them (version 4, DCE variant), so that they order
    // after the counted ids of an image read, and never repeat, whether a thread makes one or
    // thousands.
    void freshIdsAreRandomAndDistinct_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("one") << 1;
        QTest::newRow("a large system's worth") << 5000;
    }

    void freshIdsAreRandomAndDistinct()
    {
        QFETCH(int, count);
        QSet<QUuid> seen;
        for (int i = 0; i < count; ++i) {
            const NodeId_t id = SystemModel::newNodeId();
            QCOMPARE(id.version(), QUuid::Random);
            QCOMPARE(id.variant(), QUuid::DCE);
            seen.insert(id);
        }
        QCOMPARE(seen.size(), count);
        QVERIFY(NodeId::nextImageId(3, 1) < SystemModel::newNodeId());
        NodeId::resetImageIds();
    }

    // Resources whose order keys tie (one owner, one index) keep the order of their ids, as
    // QUuid orders them: variant first, then the fields in turn.
    void tiedResourcesKeepIdOrder_data()
    {
        QTest::addColumn<QUuid>("lower");
        QTest::addColumn<QUuid>("higher");
        const auto id = [](uint d1, ushort d2, ushort d3, uchar b0, uchar b7) {
            return QUuid(d1, d2, d3, b0, 0, 0, 0, 0, 0, 0, b7);
        };
        QTest::newRow("first field") << id(1, 9, 9, 0x80, 9) << id(2, 0, 0, 0x80, 0);
        QTest::newRow("second field") << id(5, 1, 9, 0x80, 9) << id(5, 2, 0, 0x80, 0);
        QTest::newRow("third field") << id(5, 5, 1, 0x80, 9) << id(5, 5, 2, 0x80, 0);
        QTest::newRow("last byte") << id(5, 5, 5, 0x80, 1) << id(5, 5, 5, 0x80, 0xF0);
        QTest::newRow("variant before fields") << id(9, 9, 9, 0x01, 9) << id(1, 0, 0, 0x80, 0);
        QTest::newRow("full field range") << id(0x7FFFFFFF, 0, 0, 0x80, 0)
                                          << id(0x80000000, 0, 0, 0x80, 0);
    }

    void tiedResourcesKeepIdOrder()
    {
        QFETCH(QUuid, lower);
        QFETCH(QUuid, higher);
        QVERIFY(lower < higher);
        SystemModel model;
        const Device::Ptr_t d = Device::create(Device::TavClass, handleOf(kTav1020, 0));
        SystemModel::Resources_t tied;
        // The null id, of no variant, goes before both.
        for (const QUuid& rid : {higher, QUuid(), lower}) {
            tied << IoResource::create(ResourceKind::Din, rid);
            tied.last()->setOwner(d->id());
            tied.last()->setIndex(1);
        }
        QVERIFY(model.insertDevice(d, tied));
        QCOMPARE(model.resourcesOfKind(ResourceKind::Din),
                 SystemModel::Resources_t({tied[1], tied[2], tied[0]}));
        QCOMPARE(model.resources().keys(), QList<QUuid>({QUuid(), lower, higher}));
    }

    void busOrderKeysAndPaths()
    {
        SystemModel model;
        QCOMPARE(model.systemKey(), QString());
        const Bus b = buildBus(model);
        const QList<DeviceHandle> handles = model.deviceHandles();
        QCOMPARE(idsOf(handles), QList<NodeId_t>({b.c0->id(), b.m01->id(), b.m02->id(), b.c1->id(),
                                                  b.m11->id(), b.m12->id()}));
        QList<qint64> keys;
        for (const DeviceHandle& h : handles) {
            const Device::Ptr_t owner = model.device(h.owner);
            keys << (owner ? (owner->number() + 1) * 1000 + h.number + 1 : (h.number + 1) * 1000);
        }
        QCOMPARE(keys, QList<qint64>({1000, 1002, 1003, 2000, 2002, 2003}));
        QCOMPARE(model.systemKey(), QString("TAV-1020-10_00000"));

        QCOMPARE(SystemModel::nodePath(handles.mid(0, 5)).keys(),
                 QStringList({"/0", "/0/1", "/0/2", "/1", "/1/1"}));
        QCOMPARE(SystemModel::nodePath(handles.mid(0, 5))["/1/1"].id, b.m11->id());
        // A module listed before any controller does not take the first module's path.
        QCOMPARE(SystemModel::nodePath({handles[1], handles[0], handles[2]}).keys(),
                 QStringList({"/-1/1", "/0", "/0/1"}));

        const SystemModel::Resources_t ain = model.resourcesOfKind(ResourceKind::Ain);
        QCOMPARE(ain.first()->owner(), b.c0->id());
        QCOMPARE(ain.last()->owner(), b.m12->id());
        for (int i = 1; i < ain.size(); ++i)
            QVERIFY(!model.resourceLess(ain[i], ain[i - 1]));

        b.c1->setChildIds({b.m11->id()});
        QCOMPARE(model.deviceHandles().size(), 5);
    }

    void ownersAndUnownedResources()
    {
        SystemModel model;
        const Bus b = buildBus(model);
        const IoResource::Ptr_t c1First = model.deviceResources(b.c1->id(), false).first();
        const IoResource::Ptr_t m01First = model.deviceResources(b.m01->id(), false).first();
        const IoResource::Ptr_t stray = IoResource::create(ResourceKind::Din, QUuid::createUuid());
        QVERIFY(model.resourceLess(m01First, c1First));
        QVERIFY(!model.resourceLess(stray, c1First) && !model.resourceLess(c1First, stray));
        SystemModel::Resources_t mixed{stray, c1First, m01First};
        model.sortResources(mixed);
        QCOMPARE(mixed, SystemModel::Resources_t({m01First, c1First, stray}));

        // Controller 1 and module 1 of controller 0 share a number; both are owners.
        QCOMPARE(model.ownersOf({c1First, stray, m01First, c1First, IoResource::Ptr_t()}),
                 QList<Device::Ptr_t>({b.m01, b.c1}));
    }

    void changeSignals()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        const SystemModel::Resources_t ports = model.serialPorts();
        const NodeId_t ain = model.resourcesOfKind(ResourceKind::Ain).first()->id();
        QSignalSpy resources(&model, &SystemModel::changedResources);
        QSignalSpy deviceValues(&model, &SystemModel::changedDeviceValues);
        QSignalSpy values(&model, &SystemModel::changedValues);
        QSignalSpy control(&model, &SystemModel::controlValues);
        QSignalSpy changed(&model, &SystemModel::changed);
        const auto total = [&] {
            return resources.count() + deviceValues.count() + values.count() + control.count()
                + changed.count();
        };

        model.resourceUpdated({ports[0]->id()});
        model.resourceUpdated({ports[0]->id(), ports[1]->id()});
        model.resourceUpdated({});
        QCOMPARE(changed.count(), 3);
        QCOMPARE(changed.at(0).at(0).value<QList<NodeId_t>>(), QList<NodeId_t>({ports[0]->id()}));
        model.resourceUpdated({ports[0]->id(), ports[1]->id(), ports[0]->id()});
        model.resourceUpdated({ain});
        model.resourceUpdated({QUuid::createUuid()});
        model.resourceUpdated({ports[0]->id(), ain});
        QCOMPARE(resources.count(), 4);
        QCOMPARE(resources.at(1).at(0).value<QList<NodeId_t>>(), QList<NodeId_t>({ain}));

        model.realtimeUpdated({ain}, true);
        model.realtimeUpdated({ain}, false);
        model.realtimeUpdated({ain});
        model.userControl({ain});
        QCOMPARE(deviceValues.count(), 1);
        QCOMPARE(values.count(), 2);
        QCOMPARE(control.at(0).at(0).value<QList<NodeId_t>>(), QList<NodeId_t>({ain}));
        model.systemUpdated();
        QCOMPARE(changed.count(), 4);
        QVERIFY(changed.last().at(0).value<QList<NodeId_t>>().isEmpty());

        // Structural edits leave announcing to their caller.
        const int before = total();
        const Device::Ptr_t m = model.addDevice(handleOf(pexType, 1, c0->id()));
        model.renumber();
        model.moveBus(model.deviceHandles());
        model.changeGroup(model.deviceHandles());
        model.resourceSettingsChanged({c0->id()}, ain);
        const SystemModel::Resources_t kept = model.deviceResources(m->id(), false);
        model.removeDevice(m->id());
        model.insertDevice(m, kept);
        model.copyResourceSettings(kept, m);
        QCOMPARE(total(), before);

        NodeId::nextImageId(1, 2);
        model.clear();
        QVERIFY(model.devices().isEmpty() && model.resources().isEmpty());
        QCOMPARE(changed.count(), 5);
        QCOMPARE(NodeId::nextImageId(1, 2).data1, 1u);

        // The id lists cross queued connections.
        QList<NodeId_t> received;
        connect(&model, &SystemModel::changedValues, this,
                [&received](const QList<NodeId_t>& ids) { received = ids; }, Qt::QueuedConnection);
        model.realtimeUpdated({ain});
        QTRY_COMPARE(received, QList<NodeId_t>({ain}));
    }

    void insertAndRemove()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        const Device::Ptr_t m = model.addDevice(handleOf(pexType, 1, c0->id()));
        const SystemModel::Resources_t kept = model.deviceResources(m->id(), false);
        const int all = model.resources().size();

        QVERIFY(!model.insertDevice(Device::Ptr_t(), {}));
        const IoResource::Ptr_t spare = IoResource::create(ResourceKind::Dout, QUuid::createUuid());
        QVERIFY(!model.insertDevice(m, {spare}));
        QVERIFY(!model.resource(spare->id()));
        model.removeDevice(QUuid::createUuid());
        QCOMPARE(model.resources().size(), all);

        model.removeDevice(m->id());
        QVERIFY(!model.device(m->id()) && !model.resource(kept[0]->id()));
        QCOMPARE(model.resources().size(), all - kept.size());
        // The owner keeps listing it until the undo command rebuilds the bus.
        QCOMPARE(c0->childIds(), QList<NodeId_t>({m->id()}));
        QVERIFY(model.insertDevice(m, kept));
        QCOMPARE(model.deviceResources(m->id(), false), kept);

        // Taken out, and the bus rebuilt without it meanwhile: put back, it is on the bus again.
        model.removeDevice(m->id());
        model.moveBus({c0->handle()});
        QVERIFY(c0->childIds().isEmpty());
        QVERIFY(model.insertDevice(m, kept));
        QCOMPARE(idsOf(model.deviceHandles()), QList<NodeId_t>({c0->id(), m->id()}));

        // A resource already filed is not filed again, and the result says so.
        model.removeDevice(m->id());
        model.insertDevice(Device::create(Device::PexClass, handleOf(pexType, 2)), {kept[0]});
        QVERIFY(!model.insertDevice(m, kept));
        QVERIFY(model.device(m->id()));
        QCOMPARE(model.resources().size(), all);

        // Creating a device under a filed id replaces it; the old one's resources go with it.
        QVERIFY(model.createDevice(c0->handle()));
        QVERIFY(model.device(c0->id()) != c0);
        for (const NodeId_t& id : c0->resourceIds())
            QVERIFY(!model.resource(id));
    }

    void renumberAndMoveBus()
    {
        SystemModel model;
        const Bus b = buildBus(model);
        model.removeDevice(b.c0->id());
        model.removeDevice(b.m02->id());
        // Module 0.1 moves to controller 1, ahead of that controller's modules.
        DeviceHandle moved = b.m01->handle();
        moved.owner = b.c1->id();
        DeviceHandle m11 = b.m11->handle();
        m11.number = 2;
        DeviceHandle m12 = b.m12->handle();
        m12.number = 3;
        model.moveBus({b.c1->handle(), moved, m11, m12, handleOf(pexType, 4, b.c1->id())});
        QCOMPARE(b.m01->owner(), b.c1->id());
        QCOMPARE(b.c1->childIds(), QList<NodeId_t>({b.m01->id(), b.m11->id(), b.m12->id()}));

        model.renumber();
        QCOMPARE(b.c1->number(), 0);
        QCOMPARE(b.m12->number(), 3);
        QCOMPARE(idsOf(model.deviceHandles()),
                 QList<NodeId_t>({b.c1->id(), b.m01->id(), b.m11->id(), b.m12->id()}));

        // Listed alone, a controller loses its modules.
        model.moveBus({b.c1->handle()});
        QVERIFY(b.c1->childIds().isEmpty());

        DeviceHandle grouped = b.m12->handle();
        grouped.group = "pumps";
        model.changeGroup({grouped, handleOf(pexType, 1)});
        QCOMPARE(b.m12->group(), QString("pumps"));
    }

    void deviceWideSettings()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        const QMap<int, SystemModel::Resources_t> kinds = model.ioResources(c0);
        AbstractConfig config;
        kinds[0][3]->exportConfig(config);
        config.ain.pollAin = 2;
        kinds[0][3]->importConfig(config);
        model.resourceSettingsChanged({c0->id(), QUuid::createUuid()}, kinds[0][3]->id());
        kinds[2][5]->exportConfig(config);
        config.din.pollCntr = true;
        kinds[2][5]->importConfig(config);
        model.resourceSettingsChanged({c0->id()}, kinds[2][5]->id());

        AbstractConfig part;
        c0->exportConfig(part);
        QCOMPARE(part.device.pollAin, 2u);
        QCOMPARE(part.device.pollCntr, quint8(1));
        for (const IoResource::Ptr_t& r : kinds[0])
            QCOMPARE(r.staticCast<Ain>()->config().pollAin, 2);
        for (const IoResource::Ptr_t& r : kinds[2])
            QVERIFY(r.staticCast<Din>()->config().pollCntr);

        // Put back, the device takes the settings of its first resources again.
        part.device.pollAin = 1;
        part.device.pollCntr = 0;
        c0->importConfig(part);
        const SystemModel::Resources_t kept = model.deviceResources(c0->id(), false);
        model.removeDevice(c0->id());
        QVERIFY(model.insertDevice(c0, kept));
        c0->exportConfig(part);
        QCOMPARE(part.device.pollAin, 2u);
        QCOMPARE(part.device.pollCntr, quint8(1));
    }

    // A device's counter and frequency polling follow its first discrete input, whatever the
    // later inputs say or the device held before: when a file is read and when a device is put
    // back by an undo.
    void pollingFollowsTheFirstDiscreteInput_data()
    {
        QTest::addColumn<bool>("counter");
        QTest::addColumn<bool>("frequency");
        QTest::newRow("counter polled") << true << false;
        QTest::newRow("frequency polled") << false << true;
    }

    void pollingFollowsTheFirstDiscreteInput()
    {
        QFETCH(bool, counter);
        QFETCH(bool, frequency);
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        const SystemModel::Resources_t dins = model.ioResources(c0)[ResourceKind::Din];
        QVERIFY(dins.size() > 1);
        for (int i = 0; i < dins.size(); ++i) {
            AbstractConfig config;
            dins[i]->exportConfig(config);
            config.din.pollCntr = (i == 0) == counter;
            config.din.pollFreq = (i == 0) == frequency;
            dins[i]->importConfig(config);
        }
        const auto polling = [](const Device::Ptr_t& d) {
            AbstractConfig part;
            if (d)
                d->exportConfig(part);
            return qMakePair(part.device.pollCntr, part.device.pollFreq);
        };
        const auto expected = qMakePair(quint8(counter), quint8(frequency));

        QJsonObject json;
        QVERIFY(model.writeJson(json));
        SystemModel loaded;
        QVERIFY(loaded.readJson(json));
        QCOMPARE(polling(loaded.device(c0->id())), expected);

        AbstractConfig part;
        c0->exportConfig(part);
        part.device.pollCntr = !counter;
        part.device.pollFreq = !frequency;
        c0->importConfig(part);
        const SystemModel::Resources_t kept = model.deviceResources(c0->id(), false);
        model.removeDevice(c0->id());
        QVERIFY(model.insertDevice(c0, kept));
        QCOMPARE(polling(c0), expected);
    }

    void copyResourceSettingsByPosition()
    {
        SystemModel model;
        const Device::Ptr_t old = model.addDevice(handleOf(kTav1020, 0));
        const SystemModel::Resources_t oldResources = model.deviceResources(old->id(), true);
        const SystemModel::Resources_t oldDins = model.ioResources(old)[ResourceKind::Din];
        AbstractConfig config;
        for (int i = 0; i < oldDins.size(); ++i) {
            oldDins[i]->exportConfig(config);
            config.din.filter = quint16(10 + i);
            oldDins[i]->importConfig(config);
        }
        // As the type change does: the old device leaves before the new one is filled.
        model.removeDevice(old->id());
        DeviceHandle h = old->handle();
        h.id = QUuid::createUuid();
        const Device::Ptr_t replacement = model.addDevice(h);
        model.copyResourceSettings(oldResources, replacement);
        const SystemModel::Resources_t dins = model.ioResources(replacement)[ResourceKind::Din];
        QCOMPARE(dins.size(), oldDins.size());
        for (int i = 0; i < dins.size(); ++i)
            QCOMPARE(dins[i].staticCast<Din>()->config().filter, quint16(10 + i));
    }
};

QTEST_GUILESS_MAIN(SystemModelTest)
#include "tst_systemmodel.moc"
