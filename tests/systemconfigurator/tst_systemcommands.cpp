// The system edit commands: each one's undo gives back the system file byte for byte, and a
// redo after it the very same objects with every setting made meanwhile; the system's serial
// ports stay with whichever controller is number 0.
#include "model/din.h"
#include "model/flatconfiguration.h"
#include "model/resourcekind.h"
#include "model/serialport.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/adddevice.h"
#include "systemconfigurator/changegroup.h"
#include "systemconfigurator/changetype.h"
#include "systemconfigurator/duplicatedevice.h"
#include "systemconfigurator/movebus.h"
#include "systemconfigurator/removedevice.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemfixture.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QSignalSpy>
#include <QUndoStack>
#include <QWindow>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <functional>

using namespace ModelFixture;
using namespace SystemFixture;

namespace {

struct Objects
{
    QList<Device::Ptr_t> devices;
    QList<NodeId_t> resources;
    bool operator==(const Objects& o) const { return devices == o.devices && resources == o.resources; }
};

Objects objectsOf(const SystemModel& model)
{
    return {model.devices().values(), model.resources().keys()};
}

IoResource::Ptr_t firstOfKind(const SystemModel& model, const NodeId_t& device, int kind)
{
    for (const IoResource::Ptr_t& r : model.deviceResources(device, false)) {
        if (r->kind() == kind)
            return r;
    }
    return IoResource::Ptr_t();
}

void setDinFilter(const SystemModel& model, const NodeId_t& device, quint16 filter)
{
    const IoResource::Ptr_t din = firstOfKind(model, device, ResourceKind::Din);
    QVERIFY(din);
    AbstractConfig config;
    din->exportConfig(config);
    config.din.filter = filter;
    din->importConfig(config);
}

// Serial-port records in each device block of the image, by device id.
QMap<NodeId_t, int> portRecordsPerBlock(SystemModel& model)
{
    QByteArray image;
    QMap<NodeId_t, QByteArray> blocks;
    FlatConfiguration(&model).compose(image, &blocks);
    QMap<NodeId_t, int> out;
    for (auto it = blocks.cbegin(); it != blocks.cend(); ++it) {
        QDataStream in(it.value().mid(8));
        in.setByteOrder(QDataStream::LittleEndian);
        int ports = 0;
        while (!in.atEnd()) {
            qint16 kind = 0, count = 0, size = 0;
            quint16 length = 0;
            in >> kind >> length >> count >> size;
            in.skipRawData(length);
            if (kind == ResourceKind::SerialPort)
                ports += count;
        }
        out.insert(it.key(), ports);
    }
    return out;
}

} // namespace

class SystemCommandsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t otherTav = 0;
    DeviceType_t pex = 0;
    QList<DeviceHandle> c0;
    QList<DeviceHandle> c1;

    // C0 with two modules, C1 with one.
    void build(SystemModel& model)
    {
        c0 = controllerWithModules(tav, pex, 0, 2);
        c1 = controllerWithModules(tav, pex, 1, 1);
        addAll(model, c0 + c1);
    }

    // Redo, a setting changed on `edited`, undo, redo: undo restores the file byte for byte,
    // the second redo the same objects with the setting.
    void roundTrip(SystemModel& model, QUndoCommand* command, const NodeId_t& edited = NodeId_t())
    {
        QUndoStack stack;
        const QByteArray before = jsonOf(model);
        QSignalSpy changed(&model, &SystemModel::changed);
        stack.push(command);
        QCOMPARE(changed.count(), 1);
        if (!edited.isNull())
            setDinFilter(model, edited, 77);
        const QByteArray after = jsonOf(model);
        const Objects objects = objectsOf(model);
        QVERIFY(after != before);

        stack.undo();
        QCOMPARE(changed.count(), 2);
        QCOMPARE(jsonOf(model), before);
        stack.redo();
        QCOMPARE(changed.count(), 3);
        QVERIFY(objectsOf(model) == objects);
        QCOMPARE(jsonOf(model), after);
        QVERIFY(command->text().isEmpty());
    }

    void setPorts(SystemModel& model, quint32 baud, quint8 address)
    {
        for (const IoResource::Ptr_t& port : model.serialPorts()) {
            AbstractConfig config;
            port->exportConfig(config);
            config.port.baud = baud;
            config.port.address = address;
            port->importConfig(config);
        }
    }

    // Two ports, with the settings given, listed by the controller that is number 0 and nowhere
    // else: once in the file under that controller and once in every block of the image.
    void checkPorts(SystemModel& model, const NodeId_t& first)
    {
        const SystemModel::Resources_t ports = model.serialPorts();
        QCOMPARE(ports.size(), 2);
        for (const IoResource::Ptr_t& port : ports) {
            QCOMPARE(port->owner(), first);
            QCOMPARE(port.staticCast<SerialPort>()->config().baud, 9600u);
            QCOMPARE(port.staticCast<SerialPort>()->config().address, quint8(7));
        }
        QCOMPARE(model.device(first)->number(), 0);
        QCOMPARE(model.ioResources(model.device(first)).value(ResourceKind::SerialPort), ports);
        for (const Device::Ptr_t& d : model.devices()) {
            const SystemModel::Resources_t own = model.deviceResources(d->id(), true);
            QCOMPARE(own.count(ports[0]), 1);
        }
        for (const int count : portRecordsPerBlock(model))
            QCOMPARE(count, 2);
        QJsonObject data;
        QVERIFY(model.writeJson(data));
        int written = 0;
        for (const QJsonValue& r : data["Resources"].toArray())
            written += r.toObject()["info"].toObject()["type"].toInt() == ResourceKind::SerialPort;
        QCOMPARE(written, 2);

        // Saved and opened again.
        SystemModel reopened;
        QVERIFY(reopened.readJson(data));
        QCOMPARE(reopened.serialPorts().size(), 2);
        for (const IoResource::Ptr_t& port : reopened.serialPorts()) {
            QCOMPARE(port->owner(), first);
            QCOMPARE(port.staticCast<SerialPort>()->config().baud, 9600u);
            QCOMPARE(port.staticCast<SerialPort>()->config().address, quint8(7));
        }
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        // Types with discrete inputs, whose filter is the setting changed between redo and undo.
        const QList<DeviceType_t> tavs = typesWith(2, ResourceKind::Din);
        const QList<DeviceType_t> pexes = typesWith(3, ResourceKind::Din);
        QVERIFY(tavs.size() >= 2 && !pexes.isEmpty());
        tav = tavs[0];
        otherTav = tavs[1];
        pex = pexes[0];
    }

    void addDevice()
    {
        SystemModel model;
        build(model);
        const DeviceHandle added = handleOf(pex, 3, c0[0].id);
        roundTrip(model, new AddDevice({added, handleOf(tav, 2)}, &model), added.id);
        QCOMPARE(model.device(c0[0].id)->childIds().last(), added.id);
    }

    void removeDevice()
    {
        SystemModel model;
        build(model);
        setDinFilter(model, c0[1].id, 55);
        // The filter set before the removal is part of the file that undo must give back.
        roundTrip(model, new RemoveDevice({c0[0], c0[1], c0[2]}, &model));
        QCOMPARE(model.device(c1[0].id)->number(), 0);
        QVERIFY(!model.device(c0[1].id));
    }

    void duplicateDevice()
    {
        SystemModel model;
        build(model);
        setDinFilter(model, c0[0].id, 42);
        DeviceHandle clone = handleOf(tav, 2);
        DeviceHandle module = handleOf(pex, 1, clone.id);
        // Controller 0 lists the system's ports; its clone is still a match.
        roundTrip(model, new DuplicateDevice({c0[0], c0[1]}, {clone, module}, &model), module.id);
        QCOMPARE(firstOfKind(model, clone.id, ResourceKind::Din).staticCast<Din>()->config().filter,
                 quint16(42));
        QCOMPARE(model.serialPorts().size(), 2);
    }

    void aCloneThatDoesNotMatchIsTakenOutAgain()
    {
        SystemModel model;
        build(model);
        const QByteArray before = jsonOf(model);
        const int resources = model.resources().size();
        DeviceHandle missing = handleOf(tav, 9);
        const DeviceHandle good = handleOf(pex, 2, c1[0].id);
        const DeviceHandle orphan = handleOf(tav, 2);
        QUndoStack stack;
        QSignalSpy changed(&model, &SystemModel::changed);
        stack.push(new DuplicateDevice({c1[1], missing}, {good, orphan}, &model));
        QVERIFY(model.device(good.id));
        QVERIFY(!model.device(orphan.id));
        QCOMPARE(changed.count(), 1);
        stack.undo();
        QCOMPARE(model.resources().size(), resources);
        QCOMPARE(jsonOf(model), before);
    }

    void changeType()
    {
        SystemModel model;
        build(model);
        setDinFilter(model, c0[0].id, 33);
        setPorts(model, 9600, 7);
        DeviceHandle retyped = c0[0];
        retyped.type = otherTav;
        roundTrip(model, new ChangeType({c0[0]}, {retyped}, &model), retyped.id);
        const Device::Ptr_t d = model.device(c0[0].id);
        QCOMPARE(d->type(), otherTav);
        QCOMPARE(d->childIds(), QList<NodeId_t>({c0[1].id, c0[2].id}));
        checkPorts(model, c0[0].id);
    }

    void changeGroup()
    {
        SystemModel model;
        build(model);
        QList<DeviceHandle> grouped = c1;
        for (DeviceHandle& h : grouped)
            h.group = "pumps";
        roundTrip(model, new ChangeGroup(grouped, &model));
        QCOMPARE(model.device(c1[1].id)->group(), QString("pumps"));
    }

    void moveBus()
    {
        SystemModel model;
        build(model);
        setPorts(model, 9600, 7);
        // Controller 0 and its modules behind controller 1.
        QList<DeviceHandle> order = c1 + c0;
        SystemConfiguration::Model::renumberBus(order);
        roundTrip(model, new MoveBus(order, &model));
        QCOMPARE(model.device(c1[0].id)->number(), 0);
        checkPorts(model, c1[0].id);
    }

    void portsOutliveControllerZero()
    {
        SystemModel model;
        build(model);
        setPorts(model, 9600, 7);
        const QByteArray before = jsonOf(model);
        QUndoStack stack;
        stack.push(new RemoveDevice({c0[0], c0[1], c0[2]}, &model));
        checkPorts(model, c1[0].id);
        stack.undo();
        checkPorts(model, c0[0].id);
        QCOMPARE(jsonOf(model), before);

        // The last device takes the ports with it, and brings them back.
        stack.push(new RemoveDevice(model.deviceHandles(), &model));
        QVERIFY(model.resources().isEmpty());
        stack.undo();
        checkPorts(model, c0[0].id);
    }

    void commandsThatCannotActChangeNothing()
    {
        SystemModel model;
        build(model);
        const QByteArray before = jsonOf(model);
        QSignalSpy changed(&model, &SystemModel::changed);
        QUndoStack stack;
        // A type the catalogue does not know: the module stays as it was.
        DeviceHandle unknown = c1[1];
        unknown.type = makeDeviceType(99, 1, 2, 3);
        stack.push(new ChangeType({c1[1]}, {unknown}, &model));
        QCOMPARE(jsonOf(model), before);
        stack.push(new AddDevice({}, &model));
        stack.push(new MoveBus({}, &model));
        stack.push(new ChangeGroup({}, &model));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(stack.count(), 4);
        stack.undo();
        QCOMPARE(changed.count(), 1);
    }

    void longAdditionsLetTheWindowPaintButNotTakeInput()
    {
        SystemModel model;
        build(model);
        QWindow window;
        window.show();
        bool running = false;
        int keysDuring = 0;
        int keysAfter = 0;
        int repaintsDuring = 0;
        struct Filter : QObject
        {
            std::function<void(QEvent*)> seen;
            bool eventFilter(QObject*, QEvent* e) override
            {
                seen(e);
                return false;
            }
        } filter;
        filter.seen = [&](QEvent* e) {
            if (e->type() == QEvent::KeyPress)
                ++(running ? keysDuring : keysAfter);
            else if (e->type() == QEvent::User && running)
                ++repaintsDuring;
        };
        window.installEventFilter(&filter);

        QList<DeviceHandle> handles;
        for (int i = 0; i < 45; ++i)
            handles << handleOf(tav, i + 2);
        QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
            &window, QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QCoreApplication::postEvent(&window, new QEvent(QEvent::User));
        QUndoStack stack;
        running = true;
        stack.push(new AddDevice(handles, &model));
        running = false;
        QCOMPARE(repaintsDuring, 1);
        QCOMPARE(keysDuring, 0);
        QTRY_COMPARE(keysAfter, 1);
        QCOMPARE(model.devices().size(), 50);
    }
};

int main(int argc, char** argv)
{
    // The glib event loop keeps an input event that an input-free pass left queued until the next
    // window-system event arrives; the plain loop hands it over on the next full pass, which is
    // what the input test waits for. The minimal platform, unlike offscreen, frees its screen at
    // exit, so the leak checker stays quiet.
    qputenv("QT_NO_GLIB", "1");
    qputenv("QT_QPA_PLATFORM", "minimal");
    QGuiApplication app(argc, argv);
    SystemCommandsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_systemcommands.moc"
