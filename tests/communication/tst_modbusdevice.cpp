// The Modbus RTU master against a simulated controller on a real pseudo-terminal: chunking,
// refused calls, retries, exception and broken replies, time-outs and a vanished port.
#include "communication/channel.h"
#include "communication/modbusdevice.h"
#include "support/isolatedenvironment.h"
#include "support/ordinaryuser.h"
#include "support/simulatedcontroller.h"

#include <QElapsedTimer>
#include <QtTest>

#include <modbus/modbus.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>
#include <sys/syscall.h>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Fault = SimulatedController::Fault;

// Time-outs: generous where the transfer must succeed on a loaded machine, short where it must
// time out.
constexpr int SuccessUs = 1000000;
constexpr int TimeoutUs = 80000;

QStringList capturedLines;
QtMessageHandler previousHandler = nullptr;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("IoDevice ")))
        capturedLines.append(message);
    else if (previousHandler)
        previousHandler(type, context, message);
}

QVector<quint16> ramp(int count, quint16 start)
{
    QVector<quint16> v;
    for (int i = 0; i < count; ++i)
        v.append(quint16(start + i * 257));
    return v;
}

// Whether the thread sleeps in the select() of a transfer, or with `poll` in a poll().
bool waitsForReply(long tid, bool poll = false)
{
    QFile file(QStringLiteral("/proc/self/task/%1/syscall").arg(tid));
    if (tid == 0 || !file.open(QIODevice::ReadOnly))
        return false;
    const long number = QString::fromLatin1(file.readAll()).section(' ', 0, 0).toLong();
    if (poll) {
#ifdef SYS_poll
        if (number == SYS_poll)
            return true;
#endif
        return number == SYS_ppoll;
    }
#ifdef SYS_select
    if (number == SYS_select)
        return true;
#endif
    return number == SYS_pselect6;
}

void ignoreSignal(int) {}

QList<QList<int>> shapes(const QList<SimulatedController::Served>& served)
{
    QList<QList<int>> s;
    for (const auto& r : served)
        s.append({r.function, r.address, r.count});
    return s;
}

} // namespace

class ModbusDeviceTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    SimulatedController* controller = nullptr;
    ModbusDevice* device = nullptr;

    PortSettings_t settings(const QString& port) const
    {
        PortSettings_t s;
        s.portName = port;
        return s;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        previousHandler = qInstallMessageHandler(capture);
    }

    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        capturedLines.clear();
        controller = new SimulatedController;
        QVERIFY(controller->isRunning());
        device = new ModbusDevice;
        QVERIFY2(device->open(settings(controller->portPath())), qPrintable(device->errorText()));
    }

    void cleanup()
    {
        delete device;
        device = nullptr;
        delete controller;
        controller = nullptr;
    }

    void devicePathOnThisSystem()
    {
        QCOMPARE(ModbusDevice::devicePath("ttyACM0"), QString("/dev/ttyACM0"));
        QCOMPARE(ModbusDevice::devicePath("/tmp/x/ttyA"), QString("/tmp/x/ttyA"));
    }

    void missingPortFailsWithErrnoAndReleasesContext()
    {
        ModbusDevice d;
        QVERIFY(!d.open(settings("ttyTavNoSuchPort")));
        QVERIFY(!d.isOpen());
        QCOMPARE(d.errorCode(), 25);
        QCOMPARE(d.errorSubCode(), ENOENT);
        QCOMPARE(d.errorText(), QString::fromUtf8(modbus_strerror(ENOENT)));
        QByteArray data;
        QCOMPARE(d.read(3, 0, 1, &data, SuccessUs), -1);

        // The error of the failed open survives a later successful one.
        QVERIFY(d.open(settings(controller->portPath())));
        QCOMPARE(d.errorCode(), 25);
        // Opening again replaces the link instead of leaking it.
        QVERIFY(d.open(settings(controller->portPath())));
        d.close();

        PortSettings_t badAddress = settings(controller->portPath());
        badAddress.slaveAddress = 300;
        QVERIFY(!d.open(badAddress));
        QCOMPARE(d.errorCode(), 21);
        QCOMPARE(d.errorSubCode(), 24);
        QVERIFY(!d.isOpen());
        d.close();
        QVERIFY(!d.isOpen());
        QCOMPARE(controller->servedCount(), 0);
    }

    void readsSplitIntoFramesOf125()
    {
        const QVector<quint16> values = ramp(300, 11);
        controller->setHoldingRegisters(1000, values);
        QByteArray data("xy");
        QCOMPARE(device->read(3, 1000, 300, &data, SuccessUs), 300);
        QCOMPARE(data, QByteArray("xy") + SimulatedController::wordBytes(values));
        QCOMPARE(shapes(controller->served()),
                 (QList<QList<int>>{{3, 1000, 125}, {3, 1125, 125}, {3, 1250, 50}}));
    }

    void everyAreaReadsItsTable()
    {
        controller->setCoils(10, {1, 0, 1});
        controller->setDiscreteInputs(65533, {0, 1, 1});
        controller->setInputRegisters(40963, {0x1234, 0xABCD});
        QByteArray coils, inputs, regs;
        QCOMPARE(device->read(1, 10, 3, &coils, SuccessUs), 3);
        QCOMPARE(device->read(2, 65533, 3, &inputs, SuccessUs), 3);
        QCOMPARE(device->read(4, 40963, 2, &regs, SuccessUs), 2);
        QCOMPARE(coils, QByteArray::fromHex("010001"));
        QCOMPARE(inputs, QByteArray::fromHex("000101"));
        QCOMPARE(regs, QByteArray::fromHex("3412cdab"));
        QCOMPARE(shapes(controller->served()),
                 (QList<QList<int>>{{1, 10, 3}, {2, 65533, 3}, {4, 40963, 2}}));
    }

    void refusedCallsSendNothing()
    {
        QByteArray data;
        const QByteArray words(20, '\1');
        QCOMPARE(device->read(3, 0, 0, &data, SuccessUs), 0);
        QCOMPARE(device->write(6, 0, -1, &words, SuccessUs, 1), 0);
        QCOMPARE(device->read(7, 0, 1, &data, SuccessUs), -1);
        QCOMPARE(device->write(8, 0, 1, &words, SuccessUs, 1), -1);
        QCOMPARE(device->write(16, 0, 1, &words, SuccessUs, 1), -1);
        // A range past the last register would wrap onto register 0 in the frame.
        QCOMPARE(device->read(3, 65500, 100, &data, SuccessUs), -1);
        QCOMPARE(device->write(6, -1, 1, &words, SuccessUs, 1), -1);

        // Short data is refused as a whole, before the first chunk.
        QCOMPARE(device->write(6, 0, 30, &words, SuccessUs, 1), -2);
        QCOMPARE(device->write(6, 0, 250, &words, SuccessUs, 1), -2);
        QCOMPARE(device->write(5, 0, 21, &words, SuccessUs, 1), -2);
        QCOMPARE(device->write(6, 0, 1, nullptr, SuccessUs, 1), -2);
        QVERIFY(data.isEmpty());
        QCOMPARE(controller->servedCount(), 0);
        QCOMPARE(capturedLines.value(0),
                 QString("IoDevice [WRR], Not enough data: offset=0, size=20"));
        QCOMPARE(capturedLines.value(2),
                 QString("IoDevice [WRC], Not enough data: offset=0, size=20"));
    }

    void writesSplitIntoFramesOf100()
    {
        const QVector<quint16> values = ramp(250, 3);
        const QByteArray data = SimulatedController::wordBytes(values);
        QCOMPARE(device->write(6, 4016, 250, &data, SuccessUs, 1), 250);
        QCOMPARE(controller->holdingRegisters(4016, 250), values);
        const auto writes = controller->writes();
        QCOMPARE(shapes(writes), (QList<QList<int>>{{16, 4016, 100}, {16, 4116, 100},
                                                    {16, 4216, 50}}));
        QCOMPARE(writes[2].values, values.mid(200));
        QCOMPARE(capturedLines,
                 (QStringList{"IoDevice [WRR], Write:=100, from=250. raw off=0, off=4016",
                              "IoDevice [WRR], Write:=100, from=250. raw off=100, off=4116",
                              "IoDevice [WRR], Write:=50, from=250. raw off=200, off=4216"}));

        QByteArray bits(150, '\0');
        for (int i = 0; i < bits.size(); i += 3)
            bits[i] = 1;
        QCOMPARE(device->write(5, 2000, 150, &bits, SuccessUs, 1), 150);
        QCOMPARE(shapes(controller->writes().mid(3)),
                 (QList<QList<int>>{{15, 2000, 100}, {15, 2100, 50}}));
        const QVector<quint8> coils = controller->coils(2000, 150);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(coils.constData()), coils.size()), bits);
    }

    void inputRegistersAreTriedThreeTimes()
    {
        controller->setInputRegisters(3000, {7, 8});
        controller->misbehave(Fault::NoReply, 2);
        QByteArray data;
        QCOMPARE(device->read(4, 3000, 2, &data, TimeoutUs), 2);
        QCOMPARE(data, QByteArray::fromHex("07000800"));
        QCOMPARE(controller->servedCount(), 3);

        controller->clearLog();
        capturedLines.clear();
        controller->misbehave(Fault::NoReply, SimulatedController::Forever);
        QCOMPARE(device->read(4, 3000, 2, &data, TimeoutUs), -3);
        QCOMPARE(controller->servedCount(), 3);
        QCOMPARE(capturedLines.size(), 3);
        QCOMPARE(capturedLines.last(),
                 QString("IoDevice [RDIR], Read:=-1, from=3000, count=2, already=0, RESULT[-1]"));
    }

    void otherReadsAreNotRetried()
    {
        controller->setHoldingRegisters(0, ramp(130, 1));
        SimulatedController::Misbehaviour secondChunk;
        secondChunk.fault = Fault::NoReply;
        secondChunk.times = SimulatedController::Forever;
        secondChunk.skip = 1;
        controller->misbehave(secondChunk);
        QByteArray data;
        QCOMPARE(device->read(3, 0, 130, &data, TimeoutUs), -3);
        QCOMPARE(shapes(controller->served()), (QList<QList<int>>{{3, 0, 125}, {3, 125, 5}}));
        // The chunk read before the failure stays in the caller's buffer.
        QCOMPARE(data, SimulatedController::wordBytes(ramp(125, 1)));

        controller->misbehave(Fault::Exception, 1, 2);
        QCOMPARE(device->read(2, 0, 5, &data, SuccessUs), -3);
        controller->misbehave(Fault::Exception, 1, 2);
        QCOMPARE(device->read(1, 7, 5, &data, SuccessUs), -3);
        QCOMPARE(controller->servedCount(), 4);
        QCOMPARE(capturedLines,
                 (QStringList{"IoDevice [RDR], Read:=-1, from=130, off=125, RESULT[-1]",
                              "IoDevice [RDI], Read:=-1, from=5, off=0, RESULT[-1]",
                              "IoDevice [RDC], Read:=-1, from=5, off=7, RESULT[-1]"}));
        QCOMPARE(data.size(), 250);
    }

    void refusedRegisterWriteGivesExceptionCode()
    {
        const QByteArray data = SimulatedController::wordBytes({23517});
        controller->misbehave(Fault::Exception, SimulatedController::Forever, 2);
        QCOMPARE(device->write(6, 4000, 1, &data, SuccessUs, 1), -2);
        QCOMPARE(capturedLines, QStringList{"IoDevice [WRR], Write:=1, from=1. raw off=0, "
                                            "off=4000, RESULT[-1, EXCMB: 2], Try again 0"});
        QCOMPARE(device->write(6, 4000, 1, &data, SuccessUs, 3), -2);
        QCOMPARE(controller->servedCount(), 4);
        QCOMPARE(capturedLines.last(), QString("IoDevice [WRR], Write:=1, from=1. raw off=0, "
                                               "off=4000, RESULT[-1, EXCMB: 2], Try again 2"));
        QCOMPARE(controller->holdingRegisters(4000, 1), QVector<quint16>{0});

        // The second attempt gets through.
        controller->clearLog();
        controller->misbehave(Fault::Exception, 1, 6);
        QCOMPARE(device->write(6, 4000, 1, &data, SuccessUs, 2), 1);
        QCOMPARE(controller->servedCount(), 2);
        QCOMPARE(controller->holdingRegisters(4000, 1), QVector<quint16>{23517});
    }

    void failedWriteResults()
    {
        const QByteArray data = SimulatedController::wordBytes({1, 2});
        controller->misbehave(Fault::NoReply);
        QCOMPARE(device->write(6, 10, 2, &data, TimeoutUs, 1), -ETIMEDOUT);

        capturedLines.clear();
        controller->misbehave(Fault::Exception, 1, 4);
        QCOMPARE(device->write(5, 10, 2, &data, SuccessUs, 3), -3);
        QCOMPARE(controller->servedCount(), 2);
        QCOMPARE(capturedLines,
                 QStringList{"IoDevice [WRC], Write:=2, from=2. raw off=0, off=10, RESULT[-1]"});

        // A failure that leaves no error number behind must still read as a failure.
        QCOMPARE(ModbusDevice::failedWriteResult(0), -3);
        QCOMPARE(ModbusDevice::failedWriteResult(EMBXILADD), -2);
        QCOMPARE(ModbusDevice::failedWriteResult(EMBBADCRC), -12);
        QCOMPARE(ModbusDevice::failedWriteResult(EIO), -EIO);
    }

    void brokenRepliesFailAndTheNextTransferSucceeds_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("parameter");
        QTest::addColumn<int>("area");
        QTest::newRow("bad CRC") << int(Fault::BadCrc) << 0 << 3;
        QTest::newRow("garbage first") << int(Fault::Garbage) << 5 << 3;
        QTest::newRow("truncated") << int(Fault::Truncated) << 0 << 3;
        QTest::newRow("late reply") << int(Fault::Delay) << 400 << 3;
        QTest::newRow("registers, echo of another address") << int(Fault::OtherAddress) << 0 << 6;
        QTest::newRow("coils, echo of another address") << int(Fault::OtherAddress) << 0 << 5;
    }

    void brokenRepliesFailAndTheNextTransferSucceeds()
    {
        QFETCH(int, fault);
        QFETCH(int, parameter);
        QFETCH(int, area);
        controller->setHoldingRegisters(500, ramp(10, 1));
        controller->setHoldingRegisters(600, ramp(10, 100));
        controller->misbehave(Fault(fault), 1, parameter);
        QByteArray data = SimulatedController::wordBytes(ramp(10, 1));
        if (area == 3)
            QCOMPARE(device->read(3, 500, 10, &data, TimeoutUs), -3);
        else
            QVERIFY(device->write(area, 500, 10, &data, TimeoutUs, 1) < 0);
        // Whatever of that reply is still on its way has arrived before the next request.
        QVERIFY(controller->waitForServed(1));
        data.clear();
        QCOMPARE(device->read(3, 600, 10, &data, SuccessUs), 10);
        QCOMPARE(data, SimulatedController::wordBytes(ramp(10, 100)));
    }

    void slowReplyWithinTheTimeoutSucceeds()
    {
        controller->setInputRegisters(7, {42});
        controller->misbehave(Fault::Delay, 1, 100);
        QByteArray data;
        QCOMPARE(device->read(4, 7, 1, &data, SuccessUs), 1);
        QCOMPARE(data, QByteArray::fromHex("2a00"));
        QCOMPARE(controller->servedCount(), 1);
    }

    void portIsTakenExclusively()
    {
        QVERIFY(controller->isPortExclusive());
        ModbusDevice second;
        {
            OrdinaryUser user;
            QVERIFY(!second.open(settings(controller->portPath())));
        }
        QCOMPARE(second.errorCode(), 25);
        QCOMPARE(second.errorSubCode(), EBUSY);
        QVERIFY(!Channel::isHungOpenError(second.lastOpenError()));
        controller->setHoldingRegisters(0, {5});
        QByteArray data;
        QCOMPARE(device->read(3, 0, 1, &data, SuccessUs), 1);

        device->close();
        QVERIFY(!controller->isPortExclusive());
        OrdinaryUser user;
        QVERIFY(second.open(settings(controller->portPath())));
        QVERIFY(controller->isPortExclusive());
    }

    // The reply comes after the time-out, before the next request would go out or while it
    // waits: it must be discarded, never taken for that request's reply (a read's of the same
    // function and length, a write's of the same echo). A frame it could not pass for goes at
    // once, and one it could goes as soon as the late reply has come whole. When the controller
    // is still busy with the failed frame, the next request goes unheard.
    void lateReplyNeverPassesForTheNextOne_data()
    {
        QTest::addColumn<QList<int>>("failed"); // area, address, count
        QTest::addColumn<QList<int>>("next");
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("timeoutUs");
        QTest::addColumn<bool>("soon"); // the next frame is done within half the quiet
        // While the next frame waits for the quiet: 1 the device is interrupted, 2 another
        // process's signal reaches the thread.
        QTest::addColumn<int>("disturbance");
        const QList<int> read10{3, 100, 10};
        const QList<int> read5{3, 200, 5};
        const QList<int> password{6, 4000, 1};
        const QList<int> command{6, 4001, 1};
        const int delay = int(Fault::Delay);
        const int busy = int(Fault::Busy);
        const int none = int(Fault::NoReply);
        QTest::newRow("late by half a time-out")
            << read10 << QList<int>{3, 200, 10} << delay << 450 << 300000 << false << 0;
        QTest::newRow("late by two time-outs")
            << read10 << QList<int>{3, 200, 10} << delay << 900 << 300000 << false << 0;
        QTest::newRow("unanswered password, then the identity read")
            << password << QList<int>{4, 3000, 10} << none << 0 << 600000 << true << 0;
        QTest::newRow("unanswered read, then one of another length")
            << read10 << read5 << none << 0 << 600000 << true << 0;
        QTest::newRow("unanswered password, then the command word")
            << password << command << none << 0 << 600000 << true << 0;
        QTest::newRow("late read come whole, then the same read")
            << read10 << QList<int>{3, 200, 10} << delay << 900 << 600000 << true << 0;
        QTest::newRow("late password echo before a read's answer")
            << password << read5 << delay << 900 << 600000 << true << 0;
        QTest::newRow("late read inside one of another length")
            << read10 << read5 << busy << 900 << 600000 << false << 0;
        QTest::newRow("late password echo inside the command word's")
            << password << command << busy << 900 << 600000 << false << 0;
        QTest::newRow("late password echo, then the clear") << password << password << busy
                                                             << 900 << 600000 << false << 0;
        QTest::newRow("interrupted while the clear waits")
            << password << password << none << 0 << 600000 << false << 1;
        QTest::newRow("another process's signal while the clear waits")
            << password << password << none << 0 << 600000 << false << 2;
    }

    void lateReplyNeverPassesForTheNextOne()
    {
        QFETCH(QList<int>, failed);
        QFETCH(QList<int>, next);
        QFETCH(int, fault);
        QFETCH(int, delayMs);
        QFETCH(int, timeoutUs);
        QFETCH(bool, soon);
        QFETCH(int, disturbance);
        for (int address : {100, 200, 300})
            controller->setHoldingRegisters(address, ramp(10, quint16(address * 10)));
        controller->setInputRegisters(3000, ramp(110, 5));
        const auto transfer = [this](const QList<int>& frame, int shift, int us, QByteArray* data) {
            if (frame[0] <= 4)
                return device->read(frame[0], frame[1] + shift, frame[2], data, us);
            const QByteArray words = SimulatedController::wordBytes(ramp(frame[2], 9));
            return device->write(frame[0], frame[1] + shift, frame[2], &words, us, 1);
        };
        controller->misbehave(Fault(fault), 1, delayMs);
        QByteArray data;
        QVERIFY(transfer(failed, 0, timeoutUs, &data) < 0);
        QElapsedTimer clock;
        clock.start();
        const qint64 quietMs = qint64(timeoutUs) * ModbusDevice::LateAnswerTimeouts / 1000;
        if (disturbance != 0) {
            struct sigaction action = {};
            action.sa_handler = &ignoreSignal;
            sigaction(SIGUSR2, &action, nullptr);
            std::atomic<long> tid{0};
            std::atomic<int> rc{0};
            std::thread worker([&] {
                tid = syscall(SYS_gettid);
                QByteArray none;
                rc = transfer(next, 0, SuccessUs, &none);
            });
            const bool waiting = QTest::qWaitFor([&] { return waitsForReply(tid, true); }, 5000);
            if (waiting && disturbance == 1)
                device->interrupt();
            else if (waiting)
                syscall(SYS_tgkill, getpid(), long(tid), SIGUSR2);
            worker.join();
            signal(SIGUSR2, SIG_DFL);
            QVERIFY(waiting);
            QCOMPARE(rc.load() > 0, disturbance == 2);
            QVERIFY2((clock.elapsed() < quietMs / 2) == (disturbance == 1),
                     qPrintable(QString::number(clock.elapsed())));
            return;
        }
        for (int shift : {0, 100}) {
            const int address = next[1] + shift;
            const QByteArray own = SimulatedController::wordBytes(
                next[0] == 4 ? controller->inputRegisters(address, next[2])
                             : controller->holdingRegisters(address, next[2]));
            const int served = controller->servedCount();
            data.clear();
            const int rc = transfer(next, shift, SuccessUs, &data);
            if (shift == 0 && soon) {
                QCOMPARE(rc, next[2]);
                QVERIFY2(clock.elapsed() < quietMs / 2, qPrintable(QString::number(clock.elapsed())));
            }
            if (rc < 0)
                continue;
            // Passed: the controller heard this very request and answered it.
            QCOMPARE(rc, next[2]);
            const int function = next[0] == 6 ? 16 : next[0];
            QVERIFY(shapes(controller->served().mid(served))
                        .contains(QList<int>{function, address, next[2]}));
            if (next[0] <= 4)
                QCOMPARE(data, own);
        }
        data.clear();
        QCOMPARE(device->read(3, 100, 10, &data, SuccessUs), 10);
        QCOMPARE(data, SimulatedController::wordBytes(controller->holdingRegisters(100, 10)));
    }

    // A configuration write after a short read must wait its own (long) time-out for a slow
    // controller; a closed device answers every write with -1.
    void everyWriteSetsItsOwnTimeout()
    {
        constexpr int ShortUs = 150000;
        constexpr int ConfigurationUs = 5000000;
        const QByteArray words = SimulatedController::wordBytes({7});
        const QByteArray bit(1, '\1');
        QByteArray data;
        QCOMPARE(device->read(3, 0, 1, &data, ShortUs), 1);
        controller->misbehave(Fault::Delay, 1, 500);
        QCOMPARE(device->write(6, 10, 1, &words, ConfigurationUs, 1), 1);
        QCOMPARE(device->read(3, 0, 1, &data, ShortUs), 1);
        controller->misbehave(Fault::Delay, 1, 500);
        QCOMPARE(device->write(5, 10, 1, &bit, ConfigurationUs, 1), 1);
        QCOMPARE(controller->holdingRegisters(10, 1), QVector<quint16>{7});
        QCOMPARE(controller->coils(10, 1), QVector<quint8>{1});

        device->close();
        QCOMPARE(device->write(6, 10, 1, &words, SuccessUs, 1), -1);
        QCOMPARE(device->write(5, 10, 1, &bit, SuccessUs, 1), -1);
        QCOMPARE(controller->servedCount(), 4);
    }

    // Nobody reads the far side and what it buffers is full, so the request of the last
    // transfer stays queued on our side while the transfer waits for a reply. Interrupting it
    // returns the transfer at once and discards that output, which a hung USB device would
    // otherwise hold the close up with for the tty's closing wait.
    void interruptedTransferReturnsAndItsOutputIsDiscarded()
    {
        int master = -1;
        int slave = -1;
        char name[256] = {};
        termios raw{};
        cfmakeraw(&raw);
        QVERIFY(openpty(&master, &slave, name, &raw, nullptr) == 0);
        ::close(slave);
        ModbusDevice d;
        QVERIFY(d.open(settings(QString::fromLocal8Bit(name))));
        const QByteArray words(200, '\1');
        for (int i = 0; i < 30; ++i)
            QVERIFY(d.write(6, 0, 100, &words, 1000, 1) < 0);
        std::atomic<long> tid{0};
        std::atomic<int> rc{0};
        std::thread worker([&] {
            tid = syscall(SYS_gettid);
            rc = d.write(6, 0, 100, &words, 20000000, 1);
        });
        QTRY_VERIFY_WITH_TIMEOUT(waitsForReply(tid), 5000);
        QElapsedTimer clock;
        clock.start();
        d.interrupt();
        worker.join();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(rc < 0);
        d.close();

        int left = 0;
        char buffer[4096];
        pollfd p{master, POLLIN, 0};
        while (::poll(&p, 1, 200) > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            left += int(n);
        }
        ::close(master);
        // What the far side had taken in before the last request, not one byte of that.
        QVERIFY2(left <= 4095, qPrintable(QString::number(left)));
    }

    void vanishedPortFailsAtOnce()
    {
        QByteArray data;
        QCOMPARE(device->read(3, 0, 1, &data, SuccessUs), 1);
        controller->vanish();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(device->read(3, 0, 1, &data, SuccessUs) < 0);
        QVERIFY(device->read(4, 0, 1, &data, SuccessUs) < 0);
        const QByteArray words = SimulatedController::wordBytes({1});
        QVERIFY(device->write(6, 0, 1, &words, SuccessUs, 2) < 0);
        QVERIFY(device->write(5, 0, 1, &words, SuccessUs, 1) < 0);
        QVERIFY2(clock.elapsed() < 900, "a pulled cable must not wait for time-outs");
        device->close();
        QVERIFY(!device->isOpen());
    }
};

QTEST_GUILESS_MAIN(ModbusDeviceTest)
#include "tst_modbusdevice.moc"
