// The device pool's decisions against a stand-in for the communication object: the test takes the
// requests the pool sends, answers them from a scripted register device and hands them back as a
// channel would, in the GUI thread.
#include "catalogue/settingsprovider.h"
#include "communication/controlrequest.h"
#include "communication/devicepool.h"
#include "communication/smartreadrequest.h"
#include "scriptediodevice.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "support/simulatedcontroller.h"

#include <QtTest>

namespace {

using Bus = QList<SimulatedController::BusDevice>;

QStringList logLines;
QtMessageHandler previousHandler = nullptr;

void keepLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    logLines.append(message);
    previousHandler(type, context, message);
}

bool logged(const QString& line)
{
    return logLines.contains(line);
}

Channel::Id_t channelId(uint n)
{
    return Channel::Id_t(n, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
}

struct Sent
{
    Channel::Id_t channel;
    Request::Ptr_t request;
};

} // namespace

class DevicePoolTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    ProtoEntry korcpu;
    DevicePool* pool = nullptr;
    QList<Sent> sent;

    Bus bus(quint32 serial) const
    {
        return {{tav, 1, serial, 9, 0, 77}, {pex, 1, 5, 6, 0, 1}};
    }

    ScriptedIoDevice device(const Bus& b) const
    {
        ScriptedIoDevice d;
        d.setWords(4, int(korcpu.offset), SimulatedController::cpuBlock(b));
        return d;
    }

    // What a channel does with a request: run it on its device, then notify.
    static void answer(const Sent& s, ScriptedIoDevice& d)
    {
        s.request->run(d);
        s.request->notify();
    }

    LiveSystem::Id_t detect(const Channel::Id_t& channel, quint32 serial)
    {
        pool->channelOpened(channel);
        ScriptedIoDevice d = device(bus(serial));
        answer(sent.takeLast(), d);
        return pool->findSystemId(channel);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& p = SettingsProvider::instance();
        tav = ModelFixture::firstOfKind(p.tavTypes, 11);
        pex = ModelFixture::firstOfKind(p.pexTypes, 10);
        QVERIFY(tav && pex);
        QVERIFY(p.sysEntry("korcpu", &korcpu));
        previousHandler = qInstallMessageHandler(keepLog);
    }

    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        pool = new DevicePool;
        sent.clear();
        logLines.clear();
        connect(pool, &DevicePool::sendRequest,
                [this](Channel::Id_t c, Request::Ptr_t r) { sent.append({c, r}); });
    }

    void cleanup()
    {
        delete pool;
        pool = nullptr;
        sent.clear();
    }

    void liveSystemIdentity()
    {
        LiveSystem a;
        LiveSystem b;
        QCOMPARE(b.id().data1, a.id().data1 + 1);
        QCOMPARE(a.id().data2, ushort(0));
        QCOMPARE(a.id().data4[0], uchar(3));
        QCOMPARE(describeSystemInfo(a.info()),
                 QStringLiteral("SysInfo [Kernel]: sn=0, id=0. [Cpu]: id=0, uso1=0, uso2=0, hw=-1 "
                                "[Phy]: vcc12=0, vcc33=0. [Bus]: size=0. [Sp]: baud=3750000, "
                                "addr=0"));
        QVERIFY(!a.isValid());
        QVERIFY(!a.isSameSystem());
        QVERIFY(a.prepareSysBlock());
        QCOMPARE(a.cpu()->registers(), korcpu);
    }

    void detectionFilesARealSystem()
    {
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);
        pool->channelOpened(channelId(3));
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0].channel, channelId(3));
        QCOMPARE(sent[0].request->priority(), 1);
        QCOMPARE(sent[0].request->stamp(), quint64(0));
        QVERIFY(pool->systems().isEmpty());

        ScriptedIoDevice d = device(bus(31337));
        answer(sent[0], d);
        QCOMPARE(updated.count(), 1);
        QCOMPARE(dropped.count(), 0);
        QCOMPARE(pool->systems().size(), 1);
        const LiveSystem::Ptr_t system = pool->systems().first();
        QCOMPARE(pool->findSystemId(channelId(3)), system->id());
        QCOMPARE(system->info().kernelSn, 31337u);
        QCOMPARE(system->info().cpuId, tav);
        QCOMPARE(system->info().bus.size(), 1);
        QVERIFY(logged("LiveSystem [Loaded]: After collection \""
                       + describeSystemInfo(system->info()) + '"'));
        QVERIFY(logged(QStringLiteral("LiveSystem [Loaded]: -1 0 %1").arg(tav)));
        QVERIFY(logged(QStringLiteral("LiveSystem [Loaded]: 0 1 %1").arg(pex)));
        QVERIFY(!pool->activeSystem());

        // A second controller on another port is a system of its own.
        const LiveSystem::Id_t second = detect(channelId(4), 4242);
        QVERIFY(!second.isNull());
        QVERIFY(second != system->id());
        QCOMPARE(pool->systems().size(), 2);
    }

    void detectionRefusesWhatIsNoSystem_data()
    {
        QTest::addColumn<quint32>("serial");
        QTest::addColumn<bool>("readFails");
        QTest::newRow("serial number 0") << 0u << false;
        QTest::newRow("no answer") << 31337u << true;
    }

    void detectionRefusesWhatIsNoSystem()
    {
        QFETCH(quint32, serial);
        QFETCH(bool, readFails);
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);
        pool->channelOpened(channelId(3));
        ScriptedIoDevice d = device(bus(serial));
        if (readFails)
            d.failures.insert(0, -5);
        answer(sent.takeFirst(), d);
        QVERIFY(pool->systems().isEmpty());
        QCOMPARE(updated.count(), 0);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped[0][0].value<Channel::Id_t>(), channelId(3));
        QCOMPARE(dropped[0][1].toBool(), false);
        QVERIFY(logged("DevPool [detected], Error! system was not detected"));
    }

    void detectionRefusesABlockRejectedPartWay()
    {
        // The controller's own record is fine, the second is of no known family: the block as a
        // whole is refused, so its first record must not make a system.
        pool->channelOpened(channelId(3));
        ScriptedIoDevice d = device({{tav, 1, 31337, 9, 0, 77}, {0x99000000u, 1, 5, 6, 0, 1}});
        answer(sent.takeFirst(), d);
        QCOMPARE(sent.size(), 0);
        QVERIFY(pool->systems().isEmpty());
    }

    void detectionAfterLossOrReopen()
    {
        QSignalSpy updated(pool, &DevicePool::systemsUpdated);
        // The channel went away before the controller answered.
        pool->channelOpened(channelId(3));
        const Sent late = sent.takeFirst();
        pool->channelClosed(channelId(3));
        ScriptedIoDevice d = device(bus(31337));
        answer(late, d);
        QVERIFY(pool->systems().isEmpty());

        // A port reported again keeps one system.
        const LiveSystem::Id_t first = detect(channelId(3), 31337);
        pool->selectSystem(first);
        QSignalSpy removed(pool, &DevicePool::activeRemoved);
        const LiveSystem::Id_t again = detect(channelId(3), 31337);
        QVERIFY(again != first);
        QCOMPARE(pool->systems().size(), 1);
        QCOMPARE(pool->findSystemId(channelId(3)), again);
        QCOMPARE(removed.count(), 1);
        QVERIFY(!pool->activeSystem());
        QCOMPARE(updated.count(), 2);
    }

    void selection()
    {
        const LiveSystem::Id_t first = detect(channelId(3), 31337);
        const LiveSystem::Id_t second = detect(channelId(7), 4242);
        QStringList order;
        connect(pool, &DevicePool::activateChannel, [&](Channel::Id_t c) {
            order << QStringLiteral("activate %1").arg(c.data1);
        });
        connect(pool, &DevicePool::systemSelected, [&](LiveSystem::Ptr_t s) {
            order << QStringLiteral("selected %1").arg(s->info().kernelSn);
        });

        pool->selectSystem(LiveSystem::Id_t::createUuid());
        QVERIFY(order.isEmpty());
        QVERIFY(!pool->activeSystem());

        pool->selectSystem(second);
        QCOMPARE(order, (QStringList{"activate 7", "selected 4242"}));
        QCOMPARE(pool->activeSystem()->id(), second);
        pool->selectSystem(first);
        QCOMPARE(pool->activeSystem()->id(), first);
    }

    void keepAliveChecksTheSelectedSystem()
    {
        QSignalSpy checked(pool, &DevicePool::systemChecked);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);

        pool->needKeepAlive();
        QCOMPARE(sent.size(), 0);
        QVERIFY(logged("DevPool [Keep Alive], Warning! There are no active system "
                       "QUuid(\"{00000000-0000-0000-0000-000000000000}\")"));

        const LiveSystem::Id_t id = detect(channelId(3), 31337);
        pool->selectSystem(id);
        ScriptedIoDevice same = device(bus(31337));
        for (int tick = 1; tick <= 2; ++tick) {
            pool->needKeepAlive();
            QCOMPARE(sent.size(), 1);
            QCOMPARE(sent[0].channel, channelId(3));
            QCOMPARE(sent[0].request->stamp(), quint64(0));
            answer(sent.takeFirst(), same);
            QCOMPARE(checked.count(), tick);
        }

        pool->enableKeepAlive(false);
        QVERIFY(logged("DevPool [Keep Alive], state enabled= false"));
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 0);
        // Two senders hold it off: the checks resume when the last lets go, and a release
        // nobody held leaves no hold behind.
        pool->enableKeepAlive(false);
        pool->enableKeepAlive(true);
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 0);
        pool->enableKeepAlive(true);
        pool->enableKeepAlive(true);
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(dropped.count(), 0);
    }

    void keepAliveDropsAChannelThatChanged_data()
    {
        QTest::addColumn<quint32>("serial");
        QTest::addColumn<bool>("readFails");
        QTest::addColumn<QString>("flags");
        QTest::newRow("another controller") << 4242u << false << "true false";
        QTest::newRow("no answer") << 31337u << true << "false true";
    }

    void keepAliveDropsAChannelThatChanged()
    {
        QFETCH(quint32, serial);
        QFETCH(bool, readFails);
        QFETCH(QString, flags);
        const LiveSystem::Id_t id = detect(channelId(3), 31337);
        pool->selectSystem(id);
        const SystemInfo_t before = pool->activeSystem()->info();
        QSignalSpy checked(pool, &DevicePool::systemChecked);
        QSignalSpy dropped(pool, &DevicePool::dropChannel);

        pool->needKeepAlive();
        ScriptedIoDevice d = device(bus(serial));
        if (readFails)
            d.failures.insert(0, -5);
        answer(sent.takeFirst(), d);
        QCOMPARE(checked.count(), 0);
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped[0][0].value<Channel::Id_t>(), channelId(3));
        QCOMPARE(dropped[0][1].toBool(), false);
        QVERIFY(logged("DevPool [KA], Error! Check system [R:S]= " + flags + " \""
                       + describeSystemInfo(before) + '"'));
        // Filed until the loss of its channel comes back.
        QCOMPARE(pool->activeSystem()->id(), id);
        QCOMPARE(pool->activeSystem()->info().kernelSn, 31337u);
    }

    void oneKeepAliveReadAtATime()
    {
        const LiveSystem::Id_t id = detect(channelId(3), 31337);
        pool->selectSystem(id);
        ScriptedIoDevice d = device(bus(31337));

        // Ticks while a read is on its way add nothing.
        pool->needKeepAlive();
        QVERIFY(pool->isCheckPending(id));
        pool->needKeepAlive();
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 1);
        answer(sent.takeFirst(), d);
        QVERIFY(!pool->isCheckPending(id));
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 1);

        // A read released unanswered (its queue was emptied) must not silence the keep-alive.
        sent.clear();
        QVERIFY(!pool->isCheckPending(id));
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 1);

        // Nor does one whose channel was lost, once the system comes back.
        pool->channelClosed(channelId(3));
        const LiveSystem::Id_t back = detect(channelId(3), 31337);
        pool->selectSystem(back);
        pool->needKeepAlive();
        QCOMPARE(sent.size(), 2);

        // The stale read of the lost system finds nothing to check or drop.
        QSignalSpy dropped(pool, &DevicePool::dropChannel);
        QSignalSpy checked(pool, &DevicePool::systemChecked);
        d.failures.insert(d.calls.size(), -5);
        answer(sent.takeFirst(), d);
        QCOMPARE(dropped.count(), 0);
        QCOMPARE(checked.count(), 0);
        QVERIFY(pool->isCheckPending(back));
    }

    void loss()
    {
        const LiveSystem::Id_t first = detect(channelId(3), 31337);
        detect(channelId(7), 4242);
        pool->selectSystem(first);
        QStringList order;
        connect(pool, &DevicePool::activeRemoved, [&] { order << "activeRemoved"; });
        connect(pool, &DevicePool::systemsUpdated, [&] { order << "systemsUpdated"; });

        pool->channelClosed(channelId(9));
        QVERIFY(order.isEmpty());
        pool->channelClosed(channelId(7));
        QCOMPARE(order, QStringList{"systemsUpdated"});
        QCOMPARE(pool->activeSystem()->id(), first);
        order.clear();
        pool->channelClosed(channelId(3));
        QCOMPARE(order, (QStringList{"activeRemoved", "systemsUpdated"}));
        QVERIFY(pool->systems().isEmpty());
        QVERIFY(!pool->activeSystem());
    }

    void forceDropWithRestart()
    {
        QSignalSpy dropped(pool, &DevicePool::dropChannel);
        pool->forceDropWithRestart();
        QCOMPARE(dropped.count(), 0);
        pool->selectSystem(detect(channelId(3), 31337));
        pool->forceDropWithRestart();
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped[0][0].value<Channel::Id_t>(), channelId(3));
        QCOMPARE(dropped[0][1].toBool(), true);
    }

    // An owed clear goes out on the controller's channel only once nobody works under the
    // password any more; one that fails is tried again after the next check it answers.
    void owedClearIsPaidOnItsChannel_data()
    {
        QTest::addColumn<bool>("refusedFirst");
        QTest::newRow("taken") << false;
        QTest::newRow("refused, then taken after a check") << true;
    }

    void owedClearIsPaidOnItsChannel()
    {
        QFETCH(bool, refusedFirst);
        const LiveSystem::Id_t id = detect(channelId(3), 31337);
        pool->selectSystem(id);
        pool->enableKeepAlive(false);
        pool->owePasswordClear(pool->activeSystem());
        QCOMPARE(pool->owedClearCount(), 1);
        QTRY_VERIFY(logged("DevPool [debt], Owed password clears wait for the keep-alive"));
        QCOMPARE(sent.size(), 0);

        pool->enableKeepAlive(true);
        QTRY_COMPARE(sent.size(), 1);
        QCOMPARE(sent[0].channel, channelId(3));
        const auto* clear = dynamic_cast<const ControlRequest*>(sent[0].request.data());
        QVERIFY(clear && clear->sendPassword() && !clear->sendCommand());
        QCOMPARE(clear->passwordData(), QByteArray(2, '\0'));
        ScriptedIoDevice controller = device(bus(31337));
        if (refusedFirst) {
            ScriptedIoDevice refusing = device(bus(31337));
            // The controller's identity is read first, twice in two blocks, as after a failed
            // frame: the pool cannot know what is still on its way. Then the clear is refused,
            // and the identity read again before each of its tries.
            for (int i = 0; i < ControlRequest::ClearTries; ++i)
                refusing.failures.insert(5 * i + 4, -1);
            answer(sent.takeFirst(), refusing);
            QCOMPARE(refusing.calls.size(), 5 * ControlRequest::ClearTries);
            for (int i = 0; i < refusing.calls.size(); ++i) {
                QCOMPARE(refusing.calls[i].write, i % 5 == 4);
                QVERIFY(!refusing.calls[i].write || refusing.calls[i].attempts == 1);
            }
            QCOMPARE(pool->owedClearCount(), 1);
            pool->needKeepAlive();
            QCOMPARE(sent.size(), 1);
            answer(sent.takeFirst(), controller);
            QTRY_COMPARE(sent.size(), 1);
        }
        answer(sent.takeFirst(), controller);
        QCOMPARE(pool->owedClearCount(), 0);
        const QString paid = "DevPool [debt], Owed password clear paid:";
        QVERIFY(std::any_of(logLines.cbegin(), logLines.cend(),
                            [&paid](const QString& line) { return line.startsWith(paid); }));
    }

    // From the hold a sender takes before its password goes out, the controller it works on, the
    // active one, is owed ahead with the debts to be kept, and so is one made active during the
    // hold; the pool never pays them, and they go with the last hold unless a clear is owed.
    void controllerIsOwedAheadWhileAHoldLasts_data()
    {
        QTest::addColumn<bool>("clearOwed");
        QTest::addColumn<bool>("otherSelected");
        QTest::newRow("clear confirmed") << false << false;
        QTest::newRow("clear owed") << true << false;
        QTest::newRow("another controller selected during the hold") << false << true;
    }

    void controllerIsOwedAheadWhileAHoldLasts()
    {
        QFETCH(bool, clearOwed);
        QFETCH(bool, otherSelected);
        const LiveSystem::Id_t id = detect(channelId(3), 31337);
        const LiveSystem::Id_t other = detect(channelId(4), 4242);
        pool->selectSystem(id);
        QSignalSpy changed(pool, &DevicePool::owedClearsChanged);
        pool->enableKeepAlive(false);
        QCOMPARE(changed.count(), 1);
        QList<ControllerIdentity> ahead{{31337, tav}};
        if (otherSelected) {
            pool->selectSystem(other);
            ahead.prepend({4242, tav});
        }
        QCOMPARE(pool->owedClears(), ahead);
        QCOMPARE(pool->owedClearCount(), 0);
        pool->payOwedClearsNow();
        QCOMPARE(sent.size(), 0);

        if (clearOwed) {
            for (const LiveSystem::Ptr_t& system : pool->systems())
                if (system->id() == id)
                    pool->owePasswordClear(system);
        }
        pool->enableKeepAlive(true);
        const QList<ControllerIdentity> owed =
            clearOwed ? QList<ControllerIdentity>{{31337, tav}} : QList<ControllerIdentity>();
        QCOMPARE(pool->owedClears(), owed);
        pool->payOwedClearsNow();
        QCOMPARE(sent.size(), clearOwed ? 1 : 0);
    }

    void catalogueWithoutTheCpuBlock()
    {
        // The vendor's catalogue from the working folder, with the CPU block's entry removed.
        QFile file(":/data/resources/data/drovanix/settings.json");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QByteArray text = file.readAll();
        QVERIFY(text.contains("\"korcpu\""));
        text.replace("\"korcpu\"", "\"korcpx\"");
        env.putOverrideCatalogue("drovanix", text);
        // A key other than the loaded one makes the provider load again, from the override.
        SettingsProvider::instance("override");
        ProtoEntry entry;
        QVERIFY(!SettingsProvider::instance().sysEntry("korcpu", &entry));

        pool->channelOpened(channelId(3));
        QCOMPARE(sent.size(), 0);
        QVERIFY(logged("DevPool [opened], System wasn't created properly"));

        env.removeOverrideCatalogue("drovanix");
        SettingsProvider::instance("drovanix");
        QVERIFY(SettingsProvider::instance().sysEntry("korcpu", &entry));
    }
};

QTEST_GUILESS_MAIN(DevicePoolTest)
#include "tst_devicepool.moc"
