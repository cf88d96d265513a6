// The request family against a scripted register device: what each request sends, what its
// error record says, and that the model's resources are touched in notify() only.
#include "catalogue/settingsprovider.h"
#include "communication/changealarmrequest.h"
#include "communication/controlrequest.h"
#include "communication/multireadrequest.h"
#include "communication/multiwriterequest.h"
#include "communication/reqgen.h"
#include "communication/smartreadrequest.h"
#include "logcapture.h"
#include "scriptediodevice.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

#include <thread>

namespace {

QByteArray le16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

// Remembers every thread a model-side object was used from; a scratch copy may be used anywhere.
class ThreadSpy
{
public:
    void touched() const
    {
        if (!scratch)
            threads.insert(QThread::currentThread());
    }
    bool onlyFrom(QThread* thread) const
    {
        return threads.isEmpty() || threads == QSet<QThread*>{thread};
    }

    bool scratch = false;
    mutable QSet<QThread*> threads;
};

// Two blocks: a one-register header at 100 whose word gives the size of the body right after it.
class TwoBlocks : public Resource, public ThreadSpy
{
public:
    TwoBlocks() : Resource(QUuid::createUuid()) {}

    int kind() const override { return 12; }
    bool decode(const QByteArray& data) override
    {
        touched();
        decoded.append(data);
        if (stage == 0) {
            if (data.size() < 2)
                return false;
            bodyCount = quint8(data[0]) | (quint8(data[1]) << 8);
            stage = 1;
            return true;
        }
        stage = 2;
        return !refuseBody;
    }
    void encode(QByteArray*) const override {}
    bool hasBlockToRead() const override
    {
        touched();
        return stage != 2;
    }
    void endRead() override
    {
        touched();
        ++endReads;
        stage = 0;
    }
    const ProtoEntry& registers() const override
    {
        touched();
        current = stage == 0 ? ProtoEntry{3, 0, 100, 1} : ProtoEntry{3, 0, 101, bodyCount};
        return current;
    }
    QSharedPointer<Resource> scratchReader() const override
    {
        touched();
        QSharedPointer<TwoBlocks> copy(new TwoBlocks());
        copy->stage = stage;
        copy->bodyCount = bodyCount;
        copy->refuseBody = refuseBody;
        copy->scratch = true;
        return copy;
    }

    int stage = 0;
    quint32 bodyCount = 0;
    bool refuseBody = false;
    int endReads = 0;
    QList<QByteArray> decoded;
    mutable ProtoEntry current;
};

// A block or a value holder that takes or refuses what it is given.
class Spy : public Resource, public ThreadSpy
{
public:
    explicit Spy(const ProtoEntry& entry = ProtoEntry()) : Resource(QUuid::createUuid())
    {
        setRegisters(entry);
    }

    int kind() const override { return 3; }
    bool decode(const QByteArray& data) override
    {
        touched();
        decoded.append(data);
        return !refuse;
    }
    void encode(QByteArray* data) const override
    {
        touched();
        *data = le16(value);
    }
    const ProtoEntry& registers() const override
    {
        touched();
        return Resource::registers();
    }
    bool decodeValue(int role, const QByteArray& data) override
    {
        touched();
        values.insert(role, data);
        return !refuse;
    }
    void encodeValue(int, QByteArray* data) const override
    {
        touched();
        *data = le16(value);
    }

    bool refuse = false;
    quint16 value = 0;
    QList<QByteArray> decoded;
    QMap<int, QByteArray> values;
};

RequestItem item(const QSharedPointer<Resource>& r, quint32 rcmd, quint32 offset, quint32 count,
                 int role = 1)
{
    return {r, ProtoEntry{rcmd, 0, offset, count}, role};
}

QSharedPointer<MultiResourceRead> mrr(const Request::Ptr_t& request)
{
    return request.dynamicCast<MultiResourceRead>();
}

// Runs the worker half on a thread of its own, as a channel does, then the GUI half here.
QList<int> record(const Request& r)
{
    return {r.error().code, r.error().subCode, r.error().detail};
}

int runOnWorker(Request& request, IoDevice& device)
{
    int rc = 0;
    std::thread worker([&] { rc = request.doRequest(device); });
    worker.join();
    request.notify();
    return rc;
}

} // namespace

Q_DECLARE_METATYPE(QList<AlarmBitChange>)

class RequestsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    ProtoEntry password;
    ProtoEntry command;

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& p = SettingsProvider::instance();
        QVERIFY(p.sysEntry("password", &password));
        QVERIFY(p.sysEntry("command", &command));
        LogCapture::install();
    }
    void cleanupTestCase() { LogCapture::uninstall(); }

    void pointerTravelsThroughQueuedSignals()
    {
        const int id = QMetaType::type("Request::Ptr_t");
        QVERIFY(id != QMetaType::UnknownType);
        const Request::Ptr_t r(new ControlRequest({}, 1));
        QCOMPARE(QVariant::fromValue(r).value<Request::Ptr_t>(), r);
    }

    void smartReadReplaysTheBlocksInNotify()
    {
        ScriptedIoDevice device;
        device.setWords(3, 100, le16(2) + le16(0x1111) + le16(0x2222));
        QSharedPointer<TwoBlocks> target(new TwoBlocks());
        int calls = 0;
        QList<int> seen;
        Request::Ptr_t request = SmartReadRequest::create(target, [&](const Request& r) {
            ++calls;
            // The target is complete and ready for the next read when the callback runs.
            seen << target->decoded.size() << target->endReads << r.error().code;
        });
        QCOMPARE(request->priority(), 1);
        QCOMPARE(request->resources(), QList<QSharedPointer<Resource>>{target});

        target->threads.clear();
        QCOMPARE(runOnWorker(*request, device), 0);
        QCOMPARE(calls, 1);
        QCOMPARE(seen, (QList<int>{2, 1, 0}));
        QVERIFY(target->onlyFrom(QThread::currentThread()));
        QCOMPARE(device.calls.size(), 2);
        QCOMPARE(device.calls[1].offset, 101);
        QCOMPARE(device.calls[1].count, 2);
        QVERIFY(device.calls[1].thread != QThread::currentThread());
        QCOMPARE(target->decoded, (QList<QByteArray>{le16(2), le16(0x1111) + le16(0x2222)}));
        // The read data was cleared before the second block.
        QCOMPARE(request->readData(), le16(0x1111) + le16(0x2222));

        // Sent again, it starts from the header once more.
        QCOMPARE(runOnWorker(*request, device), 0);
        QCOMPARE(device.calls.size(), 4);
        QCOMPARE(device.calls[2].offset, 100);
        QCOMPARE(target->decoded.size(), 4);
    }

    void smartReadFailures()
    {
        ScriptedIoDevice device;
        device.setWords(3, 100, le16(1));
        QSharedPointer<TwoBlocks> target(new TwoBlocks());
        Request::Ptr_t request = SmartReadRequest::create(target, {});

        // A failed second block: the header stays decoded, the sequence still ends.
        device.failures.insert(1, -3);
        QCOMPARE(request->doRequest(device), 1);
        QVERIFY(target->decoded.isEmpty());
        request->notify();
        QCOMPARE(record(*request), (QList<int>{1, 1819, -3}));
        QCOMPARE(target->decoded.size(), 1);
        QCOMPARE(target->endReads, 1);

        // A later run that succeeds does not carry the failure along.
        device.failures.clear();
        request->doRequest(device);
        request->notify();
        QVERIFY(request->error().ok());

        target->refuseBody = true;
        request->prepare();
        request->doRequest(device);
        request->notify();
        QCOMPARE(record(*request), (QList<int>{1, 18, 20}));
        QCOMPARE(target->stage, 0);

        // No target: -1, success, no transfer.
        const int before = device.calls.size();
        Request::Ptr_t empty = SmartReadRequest::create({}, {});
        QCOMPARE(empty->doRequest(device), -1);
        QVERIFY(empty->error().ok());
        QCOMPARE(device.calls.size(), before);
    }

    void multiReadStopsAtTheFirstRefusal()
    {
        ScriptedIoDevice device;
        device.setWords(3, 10, le16(0xAAAA));
        QList<QSharedPointer<Spy>> spies;
        QList<QSharedPointer<Resource>> resources;
        for (int i = 0; i < 3; ++i) {
            spies.append(QSharedPointer<Spy>::create(ProtoEntry{3, 0, quint32(10 + i), 1}));
            resources.append(spies.last());
        }
        spies[1]->refuse = true;
        Request::Ptr_t request = MultiReadRequest::create(resources, {});
        QCOMPARE(request->priority(), 0);
        QCOMPARE(request->resources(), resources);
        for (const auto& s : spies)
            s->threads.clear();

        runOnWorker(*request, device);
        QCOMPARE(record(*request), (QList<int>{1, 18, 20}));
        QCOMPARE(request->error().text,
                 QString("MultiReadRequest,RS:[3, %1]").arg(spies[1]->id().toString()));
        QCOMPARE(spies[0]->decoded, QList<QByteArray>{le16(0xAAAA)});
        QCOMPARE(spies[1]->decoded.size(), 1);
        QVERIFY(spies[2]->decoded.isEmpty());
        for (const auto& s : spies)
            QVERIFY(s->onlyFrom(QThread::currentThread()));

        // A failed read keeps the blocks before it and reads no further.
        spies[1]->refuse = false;
        device.calls.clear();
        device.failures.insert(1, -3);
        request->doRequest(device);
        request->notify();
        QCOMPARE(device.calls.size(), 2);
        QCOMPARE(record(*request), (QList<int>{1, 1819, -3}));
        QCOMPARE(spies[0]->decoded.size(), 2);
        QCOMPARE(spies[1]->decoded.size(), 1);
    }

    void reqGenMergesByFunctionAndOffset()
    {
        QSharedPointer<Spy> a(new Spy), b(new Spy), c(new Spy);
        QTest::ignoreMessage(QtDebugMsg, "ReqGen [Make KOR Request] Items= 2 , cmd = 4 , "
                                         "offset = 0 , regs = 12");
        QTest::ignoreMessage(QtDebugMsg, "ReqGen [Make KOR Request] Items= 1 , cmd = 4 , "
                                         "offset = 200 , regs = 2");
        const QList<Request::Ptr_t> requests = ReqGen::makeMonRequests(
            {item(c, 4, 200, 2), item(b, 4, 10, 2), item(a, 4, 0, 2)}, {});
        QCOMPARE(requests.size(), 2);
        QCOMPARE(mrr(requests[0])->registers(), (ProtoEntry{4, 0, 0, 12}));
        QCOMPARE(mrr(requests[0])->list().size(), 2);
        QCOMPARE(mrr(requests[0])->list()[1].resource, QSharedPointer<Resource>(b));
        QCOMPARE(mrr(requests[1])->registers(), (ProtoEntry{4, 0, 200, 2}));
        QCOMPARE(requests[0]->priority(), 0);

        // Bits and registers never share a range, even at one offset.
        const QList<Request::Ptr_t> mixed =
            ReqGen::makeMonRequests({item(a, 4, 0, 1), item(b, 2, 0, 1)}, {});
        QCOMPARE(mixed.size(), 2);
        QCOMPARE(mrr(mixed[0])->registers().rcmd, 2u);
        QCOMPARE(mrr(mixed[0])->bytesPerItem(), 1);
        QCOMPARE(mrr(mixed[0])->maxCount(), 2000);
        QCOMPARE(mrr(mixed[1])->bytesPerItem(), 2);

        // A first item beyond one transfer leaves an empty range before its own.
        const QList<Request::Ptr_t> longFirst =
            ReqGen::makeMonRequests({item(a, 3, 0, 130), item(b, 3, 130, 2)}, {});
        QCOMPARE(longFirst.size(), 3);
        QVERIFY(mrr(longFirst[0])->list().isEmpty());
        QCOMPARE(mrr(longFirst[0])->registers().registers, 0u);
        QCOMPARE(mrr(longFirst[1])->registers(), (ProtoEntry{3, 0, 0, 130}));
        QCOMPARE(mrr(longFirst[2])->registers(), (ProtoEntry{3, 0, 130, 2}));

        // An item without a usable read function is left out; the others are still read.
        const QList<Request::Ptr_t> skipped = ReqGen::makeMonRequests(
            {item(a, 0, 0, 0), item(b, 3, 5, 1), item(c, 7, 1, 1)}, {});
        QCOMPARE(skipped.size(), 1);
        QCOMPARE(mrr(skipped[0])->list().size(), 1);
        QCOMPARE(mrr(skipped[0])->list()[0].resource, QSharedPointer<Resource>(b));
        QVERIFY(ReqGen::makeMonRequests({item(a, 5, 0, 1)}, {}).isEmpty());
        QVERIFY(ReqGen::makeMultiResourceRead(ProtoEntry{5, 0, 0, 1}, {}).isNull());
    }

    void multiResourceReadCutsTheValuesInNotify()
    {
        QSharedPointer<Spy> a(new Spy), b(new Spy), c(new Spy);
        ScriptedIoDevice device;
        device.setWords(4, 0, le16(0x0102) + le16(0x0304));
        device.setWords(4, 10, le16(0x0A0B) + le16(0x0C0D));
        int calls = 0;
        const QList<Request::Ptr_t> requests = ReqGen::makeMonRequests(
            {item(a, 4, 0, 2, 1), item(b, 4, 10, 2, 2), item(c, 4, 11, 1, 7)},
            [&](const Request&) { ++calls; });
        QCOMPARE(requests.size(), 1);
        Request& request = *requests[0];
        for (auto* s : {a.data(), b.data(), c.data()})
            s->threads.clear();

        QCOMPARE(request.doRequest(device), 0);
        QVERIFY(a->values.isEmpty());
        request.notify();
        QCOMPARE(calls, 1);
        QCOMPARE(device.calls.size(), 1);
        QCOMPARE(device.calls[0].count, 12);
        QCOMPARE(a->values.value(1), le16(0x0102) + le16(0x0304));
        QCOMPARE(b->values.value(2), le16(0x0A0B) + le16(0x0C0D));
        QCOMPARE(c->values.value(7), le16(0x0C0D));

        b->refuse = true;
        a->values.clear();
        c->values.clear();
        request.doRequest(device);
        request.notify();
        QCOMPARE(request.error().code, 1);
        QCOMPARE(request.error().subCode, 18);
        QCOMPARE(request.error().text, QString("MRR [doRequest] Res 3 at 20 size 4 from 24"));
        QVERIFY(a->values.contains(1));
        QVERIFY(c->values.isEmpty());

        // A failed read decodes nothing; the next good one clears the error.
        a->values.clear();
        device.failures.insert(device.calls.size(), -3);
        request.doRequest(device);
        request.notify();
        QCOMPARE(request.error().subCode, 1819);
        QVERIFY(a->values.isEmpty());
        b->refuse = false;
        request.doRequest(device);
        request.notify();
        QVERIFY(request.error().ok());
        for (auto* s : {a.data(), b.data(), c.data()})
            QVERIFY(s->onlyFrom(QThread::currentThread()));
    }

    void multiWriteOfValues()
    {
        QSharedPointer<Spy> s(new Spy), none(new Spy);
        s->setRole(13, ProtoEntry{1, 5, 3300, 1});
        s->value = 1;
        ScriptedIoDevice device;
        // The item's own entry is not where the value goes; the role's entry is.
        Request::Ptr_t request =
            MultiWriteRequest::createSimple({{s, ProtoEntry{9, 9, 9, 9}, 13}}, {});
        QCOMPARE(request->priority(), 1);
        QVERIFY(request->resources().isEmpty());
        // The value was taken when the request was made, not when it runs.
        s->value = 0;
        s->threads.clear();
        QCOMPARE(runOnWorker(*request, device), 0);
        QVERIFY(s->threads.isEmpty());
        QCOMPARE(device.calls.size(), 1);
        QCOMPARE(device.calls[0].area, 5);
        QCOMPARE(device.calls[0].offset, 3300);
        QCOMPARE(device.calls[0].data, le16(1));

        // A role without an entry goes to function 0, which the device refuses.
        Request::Ptr_t bad = MultiWriteRequest::createSimple({{none, ProtoEntry(), 13}}, {});
        QCOMPARE(bad->doRequest(device), 1);
        QCOMPARE(device.calls.last().area, 0);
        QCOMPARE(bad->error().subCode, 21);
        QCOMPARE(bad->error().text,
                 QString("MultiWriteRequest,RI:[3, %1]").arg(none->id().toString()));
    }

    void controlFlagsAndFailures()
    {
        ScriptedIoDevice device;
        int calls = 0;
        ControlRequest request([&](const Request&) { ++calls; }, 1);
        request.setRegisters(command, password);
        request.setSendPassword(true);
        request.setPassword(ControlRequest::DevicePassword);
        request.setCommand(ControlRequest::MonitoringStarted);
        QVERIFY(request.resources().isEmpty());

        // A refused command word after an accepted password.
        device.failures.insert(1, -4);
        QCOMPARE(request.doRequest(device), 1);
        request.notify();
        QCOMPARE(calls, 1);
        QCOMPARE(device.calls.size(), 2);
        QCOMPARE(device.calls[1].offset, 4001);
        QCOMPARE(device.calls[1].data, QByteArray::fromHex("6700"));
        QCOMPARE(record(request), (QList<int>{1, 1822, -4}));

        // The password alone, cleared; then nothing at all. Each run reports on itself.
        device.calls.clear();
        device.failures.clear();
        request.setSendCommand(false);
        request.setPassword(ControlRequest::ClearPassword);
        QCOMPARE(request.doRequest(device), 0);
        QVERIFY(request.error().ok());
        QCOMPARE(device.calls.size(), 1);
        QCOMPARE(device.calls[0].offset, 4000);
        QCOMPARE(device.calls[0].data, QByteArray(2, '\0'));
        request.setSendPassword(false);
        QCOMPARE(request.doRequest(device), 0);
        QCOMPARE(device.calls.size(), 1);
    }

    // The handshake's lines are how a write that went wrong is traced in the field: word for word,
    // with the word sent and the device's answer.
    void controlLogLines_data()
    {
        QTest::addColumn<bool>("sendPassword");
        QTest::addColumn<int>("failAt");
        QTest::addColumn<QStringList>("lines");
        const QString pass = "ControlRequest PASS [Command=6, Offset=4000, Register =1], Data= dd5b";
        const QString cmd = "ControlRequest CMD [Command=6, Offset=4001, Register =1], Data= 6700";
        QTest::newRow("password and command")
            << true << -1
            << QStringList{pass, "ControlRequest PASS [Command=6, Result=1]:", cmd,
                           "ControlRequest CMD [Command=6, Result=1]:"};
        QTest::newRow("password refused")
            << true << 0 << QStringList{pass, "ControlRequest PASS [Command=6, Result=-4]:"};
        QTest::newRow("command refused")
            << false << 0 << QStringList{cmd, "ControlRequest CMD [Command=6, Result=-4]:"};
    }

    void controlLogLines()
    {
        QFETCH(bool, sendPassword);
        QFETCH(int, failAt);
        QFETCH(QStringList, lines);
        ScriptedIoDevice device;
        if (failAt >= 0)
            device.failures.insert(failAt, -4);
        ControlRequest request({}, 1);
        request.setRegisters(command, password);
        request.setSendPassword(sendPassword);
        request.setPassword(ControlRequest::DevicePassword);
        request.setCommand(ControlRequest::MonitoringStarted);
        LogCapture::clear();
        request.doRequest(device);
        QCOMPARE(LogCapture::lines(), lines);
    }

    void alarmChangeReadModifyWrite_data()
    {
        QTest::addColumn<QByteArray>("image");
        QTest::addColumn<QList<AlarmBitChange>>("changes");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("one bit") << QByteArray::fromHex("80000000")
                                 << QList<AlarmBitChange>{{3000, 3, 1}}
                                 << QByteArray::fromHex("88000000");
        QTest::newRow("clear top bit") << QByteArray::fromHex("0000ffff")
                                       << QList<AlarmBitChange>{{3001, 15, 0}}
                                       << QByteArray::fromHex("0000ff7f");
        QTest::newRow("two bits") << QByteArray::fromHex("00000000")
                                  << QList<AlarmBitChange>{{3000, 0, 1}, {3000, 1, 1}}
                                  << QByteArray::fromHex("03000000");
        QTest::newRow("no change") << QByteArray::fromHex("12345678") << QList<AlarmBitChange>{}
                                   << QByteArray::fromHex("12345678");
        QTest::newRow("outside") << QByteArray::fromHex("00000000")
                                 << QList<AlarmBitChange>{{2999, 0, 1}, {3002, 0, 1}, {3000, 16, 1},
                                                          {3000, -1, 1}, {3000, 31, 1}}
                                 << QByteArray::fromHex("00000000");
    }

    void alarmChangeReadModifyWrite()
    {
        QFETCH(QByteArray, image);
        QFETCH(QList<AlarmBitChange>, changes);
        QFETCH(QByteArray, written);
        ScriptedIoDevice device;
        device.setWords(3, 3000, image);
        ChangeAlarmRequest request({}, 5);
        request.registers() = ProtoEntry{3, 6, 3000, 2};
        request.changes() = changes;
        // Sent twice: each run reads afresh and writes exactly the range.
        for (int run = 0; run < 2; ++run) {
            QCOMPARE(request.doRequest(device), 0);
            QCOMPARE(device.calls.last().area, 6);
            QCOMPARE(device.calls.last().data, written);
        }
        QCOMPARE(request.readData(), written);
        QCOMPARE(device.calls.size(), 4);
    }

    void alarmChangeFailures()
    {
        ScriptedIoDevice device;
        ChangeAlarmRequest request({}, 5);
        request.registers() = ProtoEntry{3, 6, 3000, 2};
        request.changes() = {{3000, 0, 1}};
        device.failures.insert(0, -3);
        QCOMPARE(request.doRequest(device), 1);
        QCOMPARE(device.calls.size(), 1);
        QCOMPARE(request.error().subCode, 1819);

        device.failures.insert(2, -2);
        QCOMPARE(request.doRequest(device), 1);
        QCOMPARE(record(request), (QList<int>{1, 1822, -2}));
    }
};

QTEST_GUILESS_MAIN(RequestsTest)
#include "tst_requests.moc"
