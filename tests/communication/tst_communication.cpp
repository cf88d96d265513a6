// The communication object over simulated controllers on pseudo-terminals: stamping and routing,
// the keep-alive timer, dropping channels, and the port scan with found, kept, lost, failed and
// hung ports.
#include "communication/communication.h"
#include "logcapture.h"
#include "proberequest.h"
#include "support/isolatedenvironment.h"
#include "support/ordinaryuser.h"
#include "support/simulatedcontroller.h"

#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <memory>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

using Fault = SimulatedController::Fault;

namespace {

// A pseudo-terminal whose slave side stays locked: opening it fails with EIO, as a USB serial
// device that stopped answering does.
class HungPort
{
public:
    HungPort() : master(posix_openpt(O_RDWR | O_NOCTTY)) {}
    ~HungPort()
    {
        if (master >= 0)
            ::close(master);
    }
    QString path() const { return master >= 0 ? QString::fromLocal8Bit(ptsname(master)) : QString(); }
    bool setLocked(bool locked)
    {
        int flag = locked ? 1 : 0;
        return ioctl(master, TIOCSPTLCK, &flag) == 0;
    }

private:
    int master;
};

void setExtraPorts(const QStringList& paths)
{
    qputenv(PortEnumerator::ExtraPortsVariable, paths.join(':').toLocal8Bit());
}

QList<Channel::Id_t> ids(const QSignalSpy& spy)
{
    QList<Channel::Id_t> result;
    for (const auto& args : spy)
        result.append(args.at(0).value<Channel::Id_t>());
    return result;
}

} // namespace

class CommunicationTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    QList<SerialPortInfo> systemPorts;

    void useSystemPorts(Communication& comm)
    {
        comm.setSystemPortSource([this] { return systemPorts; });
    }

private slots:
    void initTestCase() { LogCapture::install(); }
    void cleanupTestCase() { LogCapture::uninstall(); }
    void init()
    {
        LogCapture::clear();
        systemPorts.clear();
        setExtraPorts({});
    }

    // First: the stamps of the process start here.
    void stampsWithoutActiveChannel()
    {
        Communication comm;
        auto first = ProbeRequest::make(1, 1);
        QWeakPointer<ProbeRequest> weak = first;
        comm.sendRequest(first);
        QCOMPARE(first->stamp(), quint64(1));
        first.reset();
        QVERIFY(weak.isNull()); // no active channel: released, never run
        auto second = ProbeRequest::make(2, 1);
        comm.sendRequest(second);
        QCOMPARE(second->stamp(), quint64(2));
        QCOMPARE(LogCapture::count("void Communication::sendRequest(Request::Ptr_t) , Index:"), 2);
    }

    void scanFindsKeepsAndLosesControllers()
    {
        SimulatedController a;
        SimulatedController b;
        a.setInputRegisters(0, {0x1234});
        setExtraPorts({a.portPath(), b.portPath()});
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy found(&comm, &Communication::channelWasFound);
        QSignalSpy lost(&comm, &Communication::channelWasLost);

        comm.runComPortScan();
        const Channel::Id_t idA = Channel::idFor(a.portPath());
        const Channel::Id_t idB = Channel::idFor(b.portPath());
        QCOMPARE(found.size(), 2);
        QVERIFY(ids(found).contains(idA) && ids(found).contains(idB));
        QCOMPARE(comm.channelIds().size(), 2);
        QCOMPARE(LogCapture::count("dropped:  false , hangup - TO RESET false"), 2);

        // Straight to a channel: no stamp, and the callback runs here.
        Completions done;
        auto read = ProbeRequest::make(7, 1, nullptr, done.callback());
        read->readCount = 1;
        comm.sendRequestTo(idA, read);
        QTRY_COMPARE_WITH_TIMEOUT(int(done.tags.size()), 1, 5000);
        QCOMPARE(read->stamp(), quint64(0));
        QCOMPARE(read->readData(), QByteArray("\x34\x12", 2));
        QCOMPARE(read->callbackThread, QThread::currentThread());

        LogCapture::clear();
        found.clear();
        comm.runComPortScan(); // nothing changed
        QCOMPARE(found.size(), 0);
        QCOMPARE(lost.size(), 0);
        QCOMPARE(LogCapture::lines(), QStringList{"void Communication::runComPortScan()"});

        setExtraPorts({a.portPath()}); // b no longer listed
        QWeakPointer<Channel> channelB = comm.findChannel(idB);
        comm.runComPortScan();
        QCOMPARE(ids(lost), QList<Channel::Id_t>{idB});
        QVERIFY(channelB.isNull()); // released, so closed, within the scan
        QCOMPARE(LogCapture::count("Remove port:"), 1);

        a.vanish(); // its pty goes, and the link to it dangles
        comm.runComPortScan();
        QCOMPARE(ids(lost), (QList<Channel::Id_t>{idB, idA}));
        QVERIFY(comm.channelIds().isEmpty());
        QCOMPARE(found.size(), 0);
    }

    void portThatFailsToOpenIsAnnouncedAndRetried()
    {
        systemPorts = {SerialPortInfo(env.path() + "/ttyGONE", "USB serial", "SN1")};
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy found(&comm, &Communication::channelWasFound);
        QSignalSpy restart(&comm, &Communication::restartHangupPort);
        comm.runComPortScan();
        comm.runComPortScan();
        QCOMPARE(found.size(), 2);
        QVERIFY(comm.channelIds().isEmpty());
        QCOMPARE(comm.hangupCount(systemPorts[0].portName()), 0);
        QCOMPARE(restart.size(), 0);
        QCOMPARE(LogCapture::count("dropped:  true , hangup - TO RESET false"), 2);
        // Requests to its id find no channel.
        auto probe = ProbeRequest::make(1, 1);
        QWeakPointer<ProbeRequest> weak = probe;
        comm.sendRequestTo(ids(found).at(0), probe);
        probe.reset();
        QVERIFY(weak.isNull());
    }

    void hungPortsAreReportedNineTimes()
    {
        HungPort first;
        HungPort second;
        HungPort anonymous;
        QVERIFY(!first.path().isEmpty() && !second.path().isEmpty());
        systemPorts = {SerialPortInfo(first.path(), "STM32 Virtual ComPort", "S1"),
                       SerialPortInfo(second.path(), "STM32 Virtual ComPort", "S2"),
                       SerialPortInfo(anonymous.path(), "STM32 Virtual ComPort", "")};
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy restart(&comm, &Communication::restartHangupPort);
        for (int scan = 1; scan <= 9; ++scan) {
            comm.runComPortScan();
            QCOMPARE(restart.size(), scan); // both in one report, the anonymous one never
            auto serials = restart.last().at(0).value<QList<QString>>();
            std::sort(serials.begin(), serials.end());
            QCOMPARE(serials, (QList<QString>{"S1", "S2"}));
        }
        comm.runComPortScan();
        comm.runComPortScan();
        QCOMPARE(restart.size(), 9);
        QCOMPARE(comm.hangupCount(first.path()), 11);
        QCOMPARE(LogCapture::count("hangup - TO RESET true"), 33);

        // Once it opens, its count starts again; a restart asked for by a drop leaves it alone.
        QVERIFY(first.setLocked(false));
        comm.runComPortScan();
        QCOMPARE(comm.hangupCount(first.path()), 0);
        const Channel::Id_t id = Channel::idFor(first.path());
        QVERIFY(comm.findChannel(id));
        restart.clear();
        comm.dropChannel(id, true);
        QCOMPARE(restart.size(), 1);
        QCOMPARE(restart.last().at(0).value<QList<QString>>(), QList<QString>{"S1"});
        QCOMPARE(comm.hangupCount(first.path()), 0);

        QVERIFY(first.setLocked(true));
        restart.clear();
        comm.runComPortScan(); // new again (it was dropped) and hung again: count 1
        QCOMPARE(comm.hangupCount(first.path()), 1);
        QCOMPARE(restart.last().at(0).value<QList<QString>>(), QList<QString>{"S1"});
    }

    void dropWithRestartNeedsASerialNumber()
    {
        SimulatedController controller;
        setExtraPorts({controller.portPath()});
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy restart(&comm, &Communication::restartHangupPort);
        QSignalSpy lost(&comm, &Communication::channelWasLost);
        comm.runComPortScan();
        const Channel::Id_t id = Channel::idFor(controller.portPath());
        comm.dropChannel(id, true);
        QCOMPARE(restart.size(), 0);
        QCOMPARE(ids(lost), QList<Channel::Id_t>{id});
        comm.dropChannel(id); // no channel any more: announced all the same
        QCOMPARE(lost.size(), 2);
        QVERIFY(comm.channelIds().isEmpty());
    }

    void keepAliveTicksForAnActiveChannelOnly()
    {
        SimulatedController controller;
        setExtraPorts({controller.portPath()});
        Communication comm;
        useSystemPorts(comm);
        QCOMPARE(comm.keepAliveInterval(), 8000);
        comm.setKeepAliveInterval(50);
        QSignalSpy ticks(&comm, &Communication::needKeepAlive);

        comm.activate(Channel::idFor("ttyNOWHERE0"));
        QTRY_VERIFY_WITH_TIMEOUT(!comm.isKeepAliveRunning(), 2000);
        QCOMPARE(ticks.size(), 0);

        comm.runComPortScan();
        const Channel::Id_t id = Channel::idFor(controller.portPath());
        comm.activate(id);
        QTRY_VERIFY_WITH_TIMEOUT(ticks.size() >= 3, 5000);
        comm.dropChannel(id);
        QVERIFY(!comm.isKeepAliveRunning());
        QCOMPARE(comm.activeChannel(), id);
        comm.dropChannel();
        QVERIFY(comm.activeChannel().isNull());
    }

    void monitoringOffReleasesWaitingRequests()
    {
        SimulatedController controller;
        setExtraPorts({controller.portPath()});
        Communication comm;
        useSystemPorts(comm);
        comm.runComPortScan();
        comm.activate(Channel::idFor(controller.portPath()));

        Gate gate;
        RunLog log;
        Completions done;
        comm.sendRequest(ProbeRequest::make(1, 0, &log, done.callback(), &gate));
        QVERIFY(gate.waitEntered());
        for (int tag = 2; tag <= 4; ++tag)
            comm.sendRequest(ProbeRequest::make(tag, 0, &log, done.callback()));
        comm.monitoringMode(true);
        comm.monitoringMode(false);
        gate.open();
        comm.sendRequest(ProbeRequest::make(5, 0, &log, done.callback()));
        QTRY_COMPARE_WITH_TIMEOUT(done.tags, (std::vector<int>{1, 5}), 5000);
        QCOMPARE(log.order(), (std::vector<int>{1, 5}));
    }

    void droppedChannelSuppressesTheCompletionInFlight()
    {
        SimulatedController controller;
        setExtraPorts({controller.portPath()});
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy found(&comm, &Communication::channelWasFound);
        comm.runComPortScan();
        const Channel::Id_t id = Channel::idFor(controller.portPath());

        Gate gate;
        Completions done;
        auto inFlight = ProbeRequest::make(1, 1, nullptr, done.callback(), &gate);
        comm.sendRequestTo(id, inFlight);
        QVERIFY(gate.waitEntered());
        gate.open();
        comm.dropChannel(id);
        QCOMPARE(comm.droppedChannelCount(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(LogCapture::count("Channel [PQ]: Warning! channel is dropped"),
                                  1, 5000);
        QCOMPARE(inFlight->runs.load(), 1);
        QVERIFY(done.tags.empty());

        // Still listed: the next scan releases the dropped channel and opens the port afresh.
        comm.runComPortScan();
        QCOMPARE(comm.droppedChannelCount(), 0);
        QCOMPARE(ids(found), (QList<Channel::Id_t>{id, id}));
    }

    void changedDescriptionReplacesTheChannel()
    {
        SimulatedController controller;
        systemPorts = {SerialPortInfo(controller.portPath(), "first", "")};
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy found(&comm, &Communication::channelWasFound);
        QSignalSpy lost(&comm, &Communication::channelWasLost);
        comm.runComPortScan();
        const Channel::Id_t id = Channel::idFor(controller.portPath());
        QWeakPointer<Channel> old = comm.findChannel(id);
        systemPorts = {SerialPortInfo(controller.portPath(), "second", "")};
        comm.runComPortScan();
        QCOMPARE(ids(found), (QList<Channel::Id_t>{id, id}));
        QCOMPARE(lost.size(), 0);
        QVERIFY(old.isNull());
        QCOMPARE(comm.portOf(id).description(), QStringLiteral("second"));
    }

    // The port starts in a terminal's cooked mode. An administrator's second open gets past the
    // exclusive flag and the old channel is released under the new one; anyone else's fails
    // while the old channel holds the port, and the old channel goes as a vanished port. Either
    // way the channel found in the end talks raw Modbus: no close put the cooked mode back.
    void replacedChannelKeepsWorking_data()
    {
        QTest::addColumn<bool>("ordinaryUser");
        QTest::newRow("administrator") << false;
        QTest::newRow("ordinary user") << true;
    }

    void replacedChannelKeepsWorking()
    {
        QFETCH(bool, ordinaryUser);
        SimulatedController controller;
        controller.setInputRegisters(0, {0x1234});
        QVERIFY(controller.setCookedMode());
        std::unique_ptr<OrdinaryUser> user(ordinaryUser ? new OrdinaryUser : nullptr);
        systemPorts = {SerialPortInfo(controller.portPath(), "first", "S1")};
        Communication comm;
        useSystemPorts(comm);
        QSignalSpy lost(&comm, &Communication::channelWasLost);
        QSignalSpy restart(&comm, &Communication::restartHangupPort);
        comm.runComPortScan();
        const Channel::Id_t id = Channel::idFor(controller.portPath());
        QVERIFY(comm.findChannel(id));
        QVERIFY(controller.isPortExclusive());

        systemPorts = {SerialPortInfo(controller.portPath(), "second", "S1")};
        comm.runComPortScan();
        if (ordinaryUser) {
            // Busy is a plain failed open, never a hung port to restart.
            QCOMPARE(LogCapture::count("dropped:  true , hangup - TO RESET false"), 1);
            QCOMPARE(ids(lost), QList<Channel::Id_t>{id});
            QVERIFY(!comm.findChannel(id));
            comm.runComPortScan();
        }
        QCOMPARE(restart.size(), 0);
        QVERIFY(comm.findChannel(id));
        QVERIFY(controller.isPortExclusive()); // the old channel's close left it to the new one

        Completions done;
        auto read = ProbeRequest::make(1, 1, nullptr, done.callback());
        read->readCount = 1;
        comm.sendRequestTo(id, read);
        QTRY_COMPARE_WITH_TIMEOUT(int(done.tags.size()), 1, 5000);
        QCOMPARE(read->error().code, 0);
        QCOMPARE(read->readData(), QByteArray("\x34\x12", 2));
    }

    void dropAllChannels()
    {
        SimulatedController a;
        SimulatedController b;
        setExtraPorts({a.portPath(), b.portPath()});
        Communication comm;
        useSystemPorts(comm);
        comm.runComPortScan();
        comm.activate(Channel::idFor(a.portPath()));
        QSignalSpy lost(&comm, &Communication::channelWasLost);
        comm.dropAllChannels();
        QCOMPARE(lost.size(), 2);
        QVERIFY(comm.channelIds().isEmpty());
        QCOMPARE(comm.droppedChannelCount(), 2);
        QVERIFY(comm.activeChannel().isNull());
        QVERIFY(!comm.isKeepAliveRunning());
    }

    void extraPortsAreListedLikeSystemPorts()
    {
        SimulatedController controller;
        setExtraPorts({"", controller.portPath(), env.path() + "/ttyABSENT", controller.portPath()});
        const auto extra = PortEnumerator::extraPorts();
        QCOMPARE(extra.size(), 2);
        QCOMPARE(extra[0].portName(), controller.portPath());
        // The same device listed by the system is not added twice.
        const auto current = PortEnumerator::currentPorts(
            [&] { return QList<SerialPortInfo>{SerialPortInfo(controller.ptyName(), "d", "s")}; });
        QCOMPARE(current.size(), 1);
        QCOMPARE(current[0].serialNumber(), QStringLiteral("s"));
        QVERIFY(SerialPortInfo("ttyACM0", "STM32", "A1") != SerialPortInfo("ttyACM0", "STM32 ", "A1"));
    }
};

QTEST_GUILESS_MAIN(CommunicationTest)
#include "tst_communication.moc"
