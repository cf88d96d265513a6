// A channel, its worker thread and its priority queue: order, wake-up, drop and close, with the
// link opened on a simulated controller's pseudo-terminal.
#include "communication/channel.h"
#include "communication/channelworker.h"
#include "communication/passwordwindow.h"
#include "model/korcpu.h"
#include "model/resourcekind.h"
#include "monitoredsystem.h"
#include "logcapture.h"
#include "proberequest.h"
#include "support/isolatedenvironment.h"
#include "support/simulatedcontroller.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>
#include <numeric>
#include <thread>

using Fault = SimulatedController::Fault;

class ChannelTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    static QSharedPointer<ProbeRequest> stamped(int tag, int priority, quint64 stamp, RunLog* log)
    {
        auto r = ProbeRequest::make(tag, priority, log);
        r->setStamp(stamp);
        return r;
    }

private slots:
    void initTestCase() { LogCapture::install(); }
    void cleanupTestCase() { LogCapture::uninstall(); }
    void init() { LogCapture::clear(); }

    void idsOfWindowsAndLinuxNames()
    {
        QCOMPARE(Channel::idFor("COM12"), QUuid("{0000000c-0000-0000-0000-000000000000}"));
        QVERIFY(Channel::idFor("COMx").isNull());
        QVERIFY(Channel::idFor("COM").isNull());

        const QStringList names = {"ttyACM0", "ttyACM1", "ttyUSB0", "ttyS0", "pts/3",
                                   "/tmp/a/ttySIM", "/tmp/b/ttySIM", "/tmp/a/ttySIM2"};
        QSet<QUuid> ids;
        for (const QString& name : names) {
            const QUuid id = Channel::idFor(name);
            QVERIFY(!id.isNull());
            QCOMPARE(Channel::idFor(name), id); // stable across scans
            ids.insert(id);
        }
        QCOMPARE(ids.size(), names.size());
        QCOMPARE(Channel::idFor("ttyACM7").data1, 7u);
        QCOMPARE(Channel::idFor("pts/3").data1, 3u);
        QCOMPARE(Channel::idFor("ttySIM").data1, 0u);
    }

    // Higher priority first, then the smaller stamp; but once a password window's password word
    // went out, its frames up to its clear go first, ahead of a check and a tick's reads queued
    // before them.
    void queueTakesPriorityThenStamp_data()
    {
        QTest::addColumn<QVector<int>>("tags"); // in putting order; each its own stamp
        QTest::addColumn<QVector<int>>("priorities");
        // In the window: 1 its password word, 0 a frame, 2 its clear; -1 none.
        QTest::addColumn<QVector<int>>("roles");
        QTest::addColumn<QVector<int>>("order");
        QTest::newRow("priority, then stamp") << QVector<int>{5, 3, 0, 9, 7}
                                              << QVector<int>{0, 0, 0, 1, 0} << QVector<int>(5, -1)
                                              << QVector<int>{9, 0, 3, 5, 7};
        QTest::newRow("an open window's frames ahead of a check and a tick's reads")
            << QVector<int>{0, 1, 2, 3, 4, 5, 6} << QVector<int>{2, 2, 1, 0, 1, 1, 1}
            << QVector<int>{1, -1, -1, -1, 0, 0, 2} << QVector<int>{0, 4, 5, 6, 1, 2, 3};
    }

    void queueTakesPriorityThenStamp()
    {
        QFETCH(QVector<int>, tags);
        QFETCH(QVector<int>, priorities);
        QFETCH(QVector<int>, roles);
        QFETCH(QVector<int>, order);
        // The window reads who answers before its password word: a controller on the line.
        SimulatedController controller;
        QVERIFY(controller.setBus(MonitoredSystem::bus()));
        ModbusDevice link;
        QVERIFY(link.open(Channel::settingsFor(SerialPortInfo::fromPath(controller.portPath()))));
        KorCpu::Ptr_t cpu(new KorCpu());
        ProtoEntry entry;
        QVERIFY(SettingsProvider::instance().protoEntry("sys", ResourceKind::KorCpu, &entry));
        cpu->setRegisters(entry);
        const auto session = std::make_shared<PasswordSession>(
            ControllerIdentity(1001, MonitoredSystem::Controller), cpu, true);
        ChannelWorker worker(&link);
        RunLog log;
        for (int i = 0; i < tags.size(); ++i) {
            const auto request = stamped(tags[i], priorities[i], quint64(tags[i]), &log);
            if (roles[i] >= 0)
                request->setPasswordSession(session, Request::SessionRole(roles[i]));
            QCOMPARE(worker.put(request), i == 0); // idle: the first put wakes
        }
        QCOMPARE(worker.size(), tags.size());
        worker.processQueue();
        QCOMPARE(log.order(), std::vector<int>(order.cbegin(), order.cend()));
        QVERIFY(!worker.isBusy());
        QVERIFY(worker.put(stamped(1, 0, 1, &log))); // ran dry: wakes again
        worker.clear();
        QCOMPARE(worker.size(), 0);
    }

    void higherPriorityOvertakesWaitingRequests()
    {
        SimulatedController controller;
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        RunLog log;
        Completions done;
        Gate gate;
        channel.put(ProbeRequest::make(100, 0, &log, done.callback(), &gate));
        QVERIFY(channel.hasWorker());
        QVERIFY(gate.waitEntered());
        QList<QSharedPointer<ProbeRequest>> all;
        for (int i = 1; i <= 10; ++i) {
            all.append(stamped(i, 0, quint64(i), &log));
            channel.put(all.last());
        }
        auto urgent = ProbeRequest::make(50, 1, &log, done.callback());
        urgent->setStamp(11);
        channel.put(urgent);
        gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(done.tags.size() == 2, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(int(log.order().size()), 12, 5000);
        QCOMPARE(log.order(), (std::vector<int>{100, 50, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        QCOMPARE(urgent->workerThread->objectName(), QStringLiteral("WorkerThread"));
        QCOMPARE(urgent->callbackThread, QThread::currentThread());
    }

    void largeQueueIsReported()
    {
        SimulatedController controller;
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        Gate gate;
        Completions done;
        channel.put(ProbeRequest::make(0, 0, nullptr, done.callback(), &gate));
        QVERIFY(gate.waitEntered());
        const QString warning = "Warning! priority_queue size quite big";
        for (int i = 1; i <= 101; ++i)
            channel.put(ProbeRequest::make(i, 0, nullptr, done.callback()));
        QCOMPARE(LogCapture::count(warning), 0); // the last one was put while 100 waited
        channel.put(ProbeRequest::make(102, 0, nullptr, done.callback()));
        QCOMPARE(LogCapture::count(warning), 1);
        gate.open();
        QTRY_COMPARE_WITH_TIMEOUT(int(done.tags.size()), 103, 10000);
    }

    void droppedChannelRefusesRequests()
    {
        SimulatedController controller;
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        QVERIFY(channel.open());
        channel.setDropped(true);
        channel.close();
        channel.setDropped(false); // a dropped channel stays dropped
        QVERIFY(channel.isDropped());

        auto probe = ProbeRequest::make(1, 1);
        QWeakPointer<ProbeRequest> weak = probe;
        channel.put(probe);
        probe.reset();
        QVERIFY(weak.isNull()); // released at once, so it can neither run nor call back
        QCOMPARE(LogCapture::count("void Channel::put(Request::Ptr_t) Channel is dropped"), 1);
        QVERIFY(!channel.isOpen());
    }

    void completionOfDroppedChannelIsSuppressed()
    {
        SimulatedController controller;
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        Gate gate;
        Completions done;
        auto inFlight = ProbeRequest::make(1, 1, nullptr, done.callback(), &gate);
        auto waiting = ProbeRequest::make(2, 1, nullptr, done.callback());
        channel.put(inFlight);
        QVERIFY(gate.waitEntered());
        channel.put(waiting);
        channel.setDropped(true);
        channel.clearQueue(); // as close does first, but before the gate opens
        gate.open();
        channel.close(); // the running request finishes within the wait
        QTRY_COMPARE_WITH_TIMEOUT(LogCapture::count("Channel [PQ]: Warning! channel is dropped"),
                                  1, 5000);
        QCOMPARE(inFlight->runs.load(), 1);
        QCOMPARE(waiting->runs.load(), 0);
        QVERIFY(done.tags.empty());
    }

    // Completions that pile up while a callback runs are taken in one go: each calls back once,
    // in completion order, unless a callback drops or releases the channel on the way.
    void completionsPiledUpBehindACallback_data()
    {
        QTest::addColumn<int>("acting");   // whose callback drops or releases; -1 none
        QTest::addColumn<bool>("release"); // release the channel, else drop it
        QTest::addColumn<int>("calledBack");
        QTest::addColumn<int>("suppressed");
        QTest::newRow("all call back") << -1 << false << 40 << 0;
        QTest::newRow("dropped half-way") << 9 << false << 10 << 30;
        QTest::newRow("released half-way") << 9 << true << 10 << 0;
        QTest::newRow("released by the last") << 39 << true << 40 << 0;
    }

    void completionsPiledUpBehindACallback()
    {
        QFETCH(int, acting);
        QFETCH(bool, release);
        QFETCH(int, calledBack);
        QFETCH(int, suppressed);
        constexpr int count = 40;
        SimulatedController controller;
        auto* channel = new Channel(SerialPortInfo::fromPath(controller.portPath()));
        QPointer<Channel> alive(channel);
        Gate gate;
        std::vector<int> tags;
        QList<QSharedPointer<ProbeRequest>> probes;
        const Request::Callback_t callback = [&](const Request& r) {
            const int tag = static_cast<const ProbeRequest&>(r).tag;
            tags.push_back(tag);
            // The first callback holds the GUI thread until every other request has run.
            QElapsedTimer clock;
            clock.start();
            while (tag == 0 && probes.last()->runs.load() == 0 && clock.elapsed() < 5000)
                QThread::yieldCurrentThread();
            if (tag != acting)
                return;
            if (release)
                delete channel;
            else
                channel->setDropped(true);
        };
        for (int i = 0; i < count; ++i) {
            probes << ProbeRequest::make(i, 0, nullptr, callback, i == 0 ? &gate : nullptr);
            probes.last()->setStamp(quint64(i) + 1);
            channel->put(probes.last());
        }
        gate.open();
        QTRY_VERIFY_WITH_TIMEOUT(probes.last()->runs.load() == 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(int(tags.size()) + LogCapture::count("Channel [PQ]: Warning! "
                                                                      "channel is dropped"),
                                  calledBack + suppressed, 5000);
        std::vector<int> expected(size_t(calledBack), 0);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(tags, expected);
        QCOMPARE(LogCapture::count("Channel [PQ]: Warning! channel is dropped"), suppressed);
        QCOMPARE(alive.isNull(), release);
        delete alive.data();
    }

    // A callback that waits in an event loop of its own (a message box, say) must not hold up the
    // completions behind it: those still reach their callbacks while it waits.
    void completionsReachTheirCallbacksWhileOneWaits_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("waiting"); // whose callback waits for the last one
        QTest::newRow("first of two") << 2 << 0;
        QTest::newRow("first of five") << 5 << 0;
        QTest::newRow("middle of five") << 5 << 2;
    }

    void completionsReachTheirCallbacksWhileOneWaits()
    {
        QFETCH(int, count);
        QFETCH(int, waiting);
        SimulatedController controller;
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        Gate gate;
        std::vector<int> tags;
        QList<QSharedPointer<ProbeRequest>> probes;
        bool lastSeenWhileWaiting = false;
        const Request::Callback_t callback = [&](const Request& r) {
            const int tag = static_cast<const ProbeRequest&>(r).tag;
            tags.push_back(tag);
            if (tag != waiting)
                return;
            // Every request has run, so the rest are waiting in the completions.
            QElapsedTimer clock;
            clock.start();
            while (probes.last()->runs.load() == 0 && clock.elapsed() < 5000)
                QThread::yieldCurrentThread();
            QEventLoop loop;
            QTimer deadline;
            deadline.setSingleShot(true);
            QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
                if (tags.back() == count - 1)
                    loop.quit();
            });
            deadline.start(3000);
            poll.start(5);
            loop.exec();
            lastSeenWhileWaiting = tags.back() == count - 1;
        };
        for (int i = 0; i < count; ++i) {
            probes << ProbeRequest::make(i, 0, nullptr, callback, i == 0 ? &gate : nullptr);
            probes.last()->setStamp(quint64(i) + 1);
            channel.put(probes.last());
        }
        gate.open();
        QTRY_COMPARE_WITH_TIMEOUT(int(tags.size()), count, 10000);
        QVERIFY(lastSeenWhileWaiting);
        std::vector<int> expected(size_t(count), 0);
        std::iota(expected.begin(), expected.end(), 0);
        QCOMPARE(tags, expected);
    }

    void closeWaitsForTheRequestInFlight()
    {
        SimulatedController controller;
        controller.misbehave(Fault::Delay, 1, 400);
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        Completions done;
        Gate gate;
        auto slow = ProbeRequest::make(1, 1, nullptr, done.callback(), &gate);
        slow->readCount = 1;
        channel.put(slow);
        QVERIFY(gate.waitEntered());
        gate.open();
        QElapsedTimer clock;
        clock.start();
        channel.close();
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(slow->runs.load(), 1); // finished inside the wait, not cut off
        QCOMPARE(slow->error().code, 0);
        QCOMPARE(LogCapture::count("Quit waiting timeout"), 0);
        // Not dropped: the completion still reaches its callback.
        QTRY_COMPARE_WITH_TIMEOUT(int(done.tags.size()), 1, 5000);
    }

    // The transfer waits for a reply that never comes with a time-out far beyond the stop
    // wait: the close makes it fail and joins the worker instead of cutting the thread off.
    void closeInterruptsAStuckTransfer()
    {
        SimulatedController controller;
        controller.misbehave(Fault::NoReply, SimulatedController::Forever);
        Channel channel(SerialPortInfo::fromPath(controller.portPath()));
        Completions done;
        auto stuck = ProbeRequest::make(1, 1, nullptr, done.callback());
        stuck->readCount = 1;
        stuck->setTimeoutUs(20000000);
        channel.put(stuck);
        QVERIFY(controller.waitForServed(1));
        QElapsedTimer clock;
        clock.start();
        channel.close();
        const qint64 took = clock.elapsed();
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));
        QCOMPARE(LogCapture::count("void Channel::closeWorkerThread() Warning! Quit waiting "
                                   "timeout, interrupt the transfer"),
                 1);
        QCOMPARE(LogCapture::count("terminate"), 0);
        QCOMPARE(stuck->runs.load(), 1); // it ran to its end and reported the failure
        QCOMPARE(stuck->error().code, 1);
        QVERIFY(!channel.hasWorker());
        QVERIFY(!channel.isOpen());
        channel.close(); // closed: nothing to do
        // Not dropped: the failure still reaches its callback.
        QTRY_COMPARE_WITH_TIMEOUT(int(done.tags.size()), 1, 5000);

        // The port is free again, and the next channel works.
        controller.clearFault();
        controller.setInputRegisters(0, {0x4242});
        auto next = ProbeRequest::make(2, 1, nullptr, done.callback());
        next->readCount = 1;
        channel.put(next);
        QTRY_COMPARE_WITH_TIMEOUT(int(done.tags.size()), 2, 5000);
        QCOMPARE(next->readData(), QByteArray("\x42\x42", 2));
    }

    void portThatFailsToOpenStartsNoWorker()
    {
        const QString missing = env.path() + "/ttyMISSING";
        Channel channel(SerialPortInfo::fromPath(missing));
        auto probe = ProbeRequest::make(1, 1);
        QWeakPointer<ProbeRequest> weak = probe;
        channel.put(probe);
        probe.reset();
        QVERIFY(weak.isNull());
        QVERIFY(!channel.isOpen());
        QVERIFY(!channel.hasWorker());
        QVERIFY(!channel.isDropped());
        QCOMPARE(channel.lastOpenError().code, 25);
        QCOMPARE(channel.lastOpenError().subCode, ENOENT);
        QVERIFY(!channel.isHangup());
        const QStringList lines = LogCapture::lines();
        const int failed = lines.indexOf(QRegularExpression("^Channel \\[Open\\]: Error! Modbus "
                                                             "opening:  25 2 \".+\"$"));
        QVERIFY2(failed >= 0, qPrintable(lines.join('\n')));
        QCOMPARE(lines.value(failed + 1),
                 QStringLiteral("void Channel::put(Request::Ptr_t) Can't open COM port"));
    }

    // Each producer waits for its own request before it puts the next one, so a request left
    // behind by a worker that went idle without seeing it would never be taken.
    void noRequestWaitsForALaterPut()
    {
        NullIoDevice device;
        QThread thread;
        std::unique_ptr<ChannelWorker> owner(new ChannelWorker(&device));
        ChannelWorker* worker = owner.get();
        worker->moveToThread(&thread);
        thread.start();

        std::atomic<int> stranded{0};
        const auto produce = [&](int rounds) {
            for (int i = 0; i < rounds && stranded.load() == 0; ++i) {
                auto probe = ProbeRequest::make(i, i % 3);
                if (worker->put(probe))
                    QMetaObject::invokeMethod(worker, "processQueue", Qt::QueuedConnection);
                QElapsedTimer clock;
                clock.start();
                while (probe->runs.load() == 0) {
                    if (clock.elapsed() > 3000) {
                        stranded.fetch_add(1);
                        return;
                    }
                    std::this_thread::yield();
                }
            }
        };
        produce(3000);
        std::vector<std::thread> producers;
        for (int p = 0; p < 6; ++p)
            producers.emplace_back(produce, 1500);
        for (auto& t : producers)
            t.join();
        thread.quit();
        QVERIFY(thread.wait(5000));
        QCOMPARE(stranded.load(), 0);
        QCOMPARE(worker->size(), 0);
        QVERIFY(!worker->isBusy());
    }
};

QTEST_GUILESS_MAIN(ChannelTest)
#include "tst_channel.moc"
