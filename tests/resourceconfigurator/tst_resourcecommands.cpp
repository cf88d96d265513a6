// The resource and device undo commands: undo and redo restore the system byte for byte, the
// device-wide settings follow the device's own resources, live values only reach the devices.
#include "resourceconfigurator/changedevice.h"
#include "resourceconfigurator/changeresource.h"
#include "resourceconfigurator/changeresourcevalue.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"

#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using namespace ResourceFixture;

namespace {

using Configs_t = QMap<NodeId_t, AbstractConfig>;

// What an editor and the page hand the command: per resource its edited and its current record.
Tre::ChangeResource* change(SystemModel* model, const QList<IoResource::Ptr_t>& resources,
                            const std::function<void(AbstractConfig&)>& setter)
{
    Configs_t edited, current;
    for (const IoResource::Ptr_t& r : resources) {
        AbstractConfig c;
        r->exportConfig(c);
        current.insert(r->id(), c);
        setter(c);
        edited.insert(r->id(), c);
    }
    auto* command = new Tre::ChangeResource(model);
    command->setNewConfigs(edited);
    command->setOldConfigs(current);
    return command;
}

bool pollCntrOf(const IoResource::Ptr_t& r)
{
    AbstractConfig c;
    r->exportConfig(c);
    return c.din.pollCntr;
}

} // namespace

class ResourceCommandsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { loadCatalogue(); }

    void undoAndRedoRestoreTheSystemByteForByte()
    {
        SystemModel model;
        const System s = build(model);
        const QList<IoResource::Ptr_t> dins = ofKind(model, s.m1, ResourceKind::Din);
        QUndoStack stack;
        const QByteArray before = json(model);

        QSignalSpy resources(&model, &SystemModel::changedResources);
        stack.push(change(&model, {dins[0], dins[4]}, [](AbstractConfig& c) {
            c.din.filter = 42;
        }));
        const QByteArray edited = json(model);
        QVERIFY(edited != before);
        QCOMPARE(resources.count(), 1);
        QCOMPARE(resources.last().first().value<QList<NodeId_t>>().size(), 2);

        // A later edit of other resources must not leak into the first one's undo.
        stack.push(change(&model, {dins[1]}, [](AbstractConfig& c) { c.din.ac = true; }));
        stack.undo();
        QCOMPARE(json(model), edited);
        stack.undo();
        QCOMPARE(json(model), before);
        stack.redo();
        QCOMPARE(json(model), edited);
        // Two edits of one field are two steps.
        stack.push(change(&model, {dins[0]}, [](AbstractConfig& c) { c.din.filter = 43; }));
        stack.push(change(&model, {dins[0]}, [](AbstractConfig& c) { c.din.filter = 44; }));
        QCOMPARE(stack.count(), 3);
    }

    void pollingFollowsEachDevicesOwnResource()
    {
        SystemModel model;
        const System s = build(model);
        // One input of each module; the one whose id sorts first belongs to the device whose
        // polling already has the new value, so its record must not set the other device's.
        IoResource::Ptr_t a = ofKind(model, s.m1, ResourceKind::Din).first();
        IoResource::Ptr_t b = ofKind(model, s.m3, ResourceKind::Din).first();
        if (b->id() < a->id())
            std::swap(a, b);
        const Device::Ptr_t deviceA = model.device(a->owner());
        QUndoStack stack;
        stack.push(change(&model, {a}, [](AbstractConfig& c) { c.din.pollCntr = true; }));
        for (const IoResource::Ptr_t& r : ofKind(model, deviceA, ResourceKind::Din))
            QVERIFY(pollCntrOf(r));
        QVERIFY(!pollCntrOf(b));
        const QByteArray before = json(model);

        stack.push(change(&model, {a, b}, [](AbstractConfig& c) { c.din.pollCntr = true; }));
        const QByteArray edited = json(model);
        for (const IoResource::Ptr_t& r : model.resourcesOfKind(ResourceKind::Din)) {
            if (r->owner() == a->owner() || r->owner() == b->owner())
                QVERIFY(pollCntrOf(r));
        }
        stack.undo();
        QCOMPARE(json(model), before);
        for (const IoResource::Ptr_t& r : ofKind(model, model.device(b->owner()), ResourceKind::Din))
            QVERIFY(!pollCntrOf(r));
        QVERIFY(pollCntrOf(a));
        stack.redo();
        QCOMPARE(json(model), edited);
    }

    void removedResourcesAreSkippedAndPortsAnnouncedAsSystemChange()
    {
        SystemModel model;
        const System s = build(model);
        const IoResource::Ptr_t gone = ofKind(model, s.m3, ResourceKind::Dout).first();
        const IoResource::Ptr_t kept = ofKind(model, s.m1, ResourceKind::Dout).first();
        QUndoStack stack;
        stack.push(change(&model, {gone, kept}, [](AbstractConfig& c) { c.dout.save = 1; }));
        model.removeDevice(s.m3->id());
        QSignalSpy resources(&model, &SystemModel::changedResources);
        stack.undo();
        AbstractConfig c;
        kept->exportConfig(c);
        QCOMPARE(c.dout.save, qint16(0));
        QCOMPARE(resources.count(), 1);

        QSignalSpy system(&model, &SystemModel::changed);
        const QList<IoResource::Ptr_t> ports = model.serialPorts();
        QCOMPARE(ports.size(), 2);
        stack.push(change(&model, ports, [](AbstractConfig& c) { c.port.address = 7; }));
        QCOMPARE(system.count(), 1);
        QCOMPARE(resources.count(), 1);
    }

    void deviceChangeRestoresLabelAndDeviceWideSettings()
    {
        SystemModel model;
        const System s = build(model);
        const QByteArray before = json(model);
        Configs_t edited, current;
        for (const Device::Ptr_t& d : {s.controller, s.m1}) {
            AbstractConfig c;
            d->exportConfig(c);
            current.insert(d->id(), c);
            c.device.label = QStringLiteral("K%1").arg(d->number());
            c.device.pollCntr = 1;
            edited.insert(d->id(), c);
        }
        QUndoStack stack;
        auto* command = new Tre::ChangeDevice(&model);
        command->setNewConfigs(edited);
        command->setOldConfigs(current);
        QSignalSpy resources(&model, &SystemModel::changedResources);
        stack.push(command);
        QCOMPARE(s.controller->label(), QStringLiteral("K0"));
        QVERIFY(pollCntrOf(ofKind(model, s.m1, ResourceKind::Din).last()));
        QCOMPARE(resources.count(), 1);
        const QByteArray edited1 = json(model);
        stack.undo();
        QCOMPARE(json(model), before);
        stack.redo();
        QCOMPARE(json(model), edited1);
    }

    void liveValuesReachTheDevicesOnly()
    {
        SystemModel model;
        const System s = build(model);
        const IoResource::Ptr_t out = ofKind(model, s.m1, ResourceKind::Dout).first();
        QMap<NodeId_t, AbstractValue> edited, current;
        AbstractValue v;
        v.kind = ResourceKind::Block;
        out->exportValue(v);
        current.insert(out->id(), v);
        v.dout.value = 1;
        v.dout.control = 1;
        edited.insert(out->id(), v);
        QSignalSpy control(&model, &SystemModel::controlValues);
        QSignalSpy resources(&model, &SystemModel::changedResources);
        Tre::ChangeResourceValue command(&model);
        command.setNewValues(edited);
        command.setOldValues(current);
        command.redo();
        QCOMPARE(out->valueText().value(1), QStringLiteral("1"));
        QCOMPARE(control.count(), 1);
        QCOMPARE(control.last().first().value<QList<NodeId_t>>(), QList<NodeId_t>{out->id()});
        QCOMPARE(resources.count(), 0);
        command.undo();
        QCOMPARE(out->valueText().value(1), QStringLiteral("0"));
    }
};

QTEST_MAIN(ResourceCommandsTest)
#include "tst_resourcecommands.moc"
