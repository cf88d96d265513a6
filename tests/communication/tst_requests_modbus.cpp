// The requests through a real Modbus RTU master against a simulated controller on a
// pseudo-terminal: what goes over the wire, what comes back into the model, and the error records
// of real failures. The worker half runs on a thread of its own, as in a channel.
#include "catalogue/settingsprovider.h"
#include "communication/changealarmrequest.h"
#include "communication/controlrequest.h"
#include "communication/modbusdevice.h"
#include "communication/multiwriterequest.h"
#include "communication/reqgen.h"
#include "communication/smartreadrequest.h"
#include "model/datablock.h"
#include "model/dout.h"
#include "model/korcpu.h"
#include "model/rawconfiguration.h"
#include "model/systeminfo.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "support/simulatedcontroller.h"

#include <QtTest>

#include <thread>

namespace {

using Fault = SimulatedController::Fault;

constexpr qint32 ShortTimeoutUs = 80000;

QByteArray le16(quint16 v)
{
    return QByteArray(1, char(v & 0xFF)) + QByteArray(1, char(v >> 8));
}

QList<QList<int>> shapes(const QList<SimulatedController::Served>& served)
{
    QList<QList<int>> s;
    for (const auto& r : served)
        s.append({r.function, r.address, r.count});
    return s;
}

int loadKorLines = 0;
QtMessageHandler previousHandler = nullptr;

void countLoadKor(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("Load Kor:")))
        ++loadKorLines;
    previousHandler(type, context, message);
}

QList<int> record(const Request& r)
{
    return {r.error().code, r.error().subCode, r.error().detail};
}

int run(Request& request, IoDevice& device)
{
    int rc = 0;
    std::thread worker([&] { rc = request.doRequest(device); });
    worker.join();
    request.notify();
    return rc;
}

} // namespace

class RequestsModbusTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    SimulatedController* controller = nullptr;
    ModbusDevice* device = nullptr;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

    static ProtoEntry sys(const char* id)
    {
        ProtoEntry e;
        SettingsProvider::instance().sysEntry(id, &e);
        return e;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& p = SettingsProvider::instance();
        tav = ModelFixture::firstOfKind(p.tavTypes, 11);
        pex = ModelFixture::firstOfKind(p.pexTypes, 10);
        QVERIFY(tav && pex);
    }

    void init()
    {
        controller = new SimulatedController;
        QVERIFY(controller->isRunning());
        device = new ModbusDevice;
        PortSettings_t settings;
        settings.portName = controller->portPath();
        QVERIFY2(device->open(settings), qPrintable(device->errorText()));
    }

    void cleanup()
    {
        delete device;
        device = nullptr;
        delete controller;
        controller = nullptr;
    }

    void cpuBlockOfALiveSystem()
    {
        QVERIFY(controller->setBus({{tav, 1, 31337, 9, 0, 0}, {pex, 1, 5, 6, 14, 0}}));
        QSharedPointer<KorCpu> cpu(new KorCpu());
        cpu->setRegisters(sys("korcpu"));
        QList<int> codes;
        Request::Ptr_t request =
            SmartReadRequest::create(cpu, [&](const Request& r) { codes << r.error().code; });

        // The keep-alive sends the same request again and again.
        loadKorLines = 0;
        previousHandler = qInstallMessageHandler(countLoadKor);
        for (int round = 1; round <= 2; ++round) {
            QCOMPARE(run(*request, *device), 0);
            QCOMPARE(codes.size(), round);
            QVERIFY(cpu->isValid());
            SystemInfo_t info;
            cpu->toSystemInfo(info);
            QCOMPARE(info.kernelSn, 31337u);
            QCOMPARE(info.cpuId, tav);
        }
        qInstallMessageHandler(previousHandler);
        // One line per record and read, from the object that keeps the records.
        QCOMPARE(loadKorLines, 4);
        const ProtoEntry k = sys("korcpu");
        const auto served = shapes(controller->served());
        QCOMPARE(served.size(), 4);
        QCOMPARE(served[0], (QList<int>{4, int(k.offset), 2}));
        QCOMPARE(served[1][1], int(k.offset + 2));
        QCOMPARE(served[2], served[0]);

        // A controller that stops answering: the records of the last good read stay.
        controller->misbehave(Fault::NoReply, SimulatedController::Forever);
        request->setTimeoutUs(ShortTimeoutUs);
        QCOMPARE(run(*request, *device), 1);
        QCOMPARE(codes, (QList<int>{0, 0, 1}));
        QCOMPARE(record(*request), (QList<int>{1, 1819, -3}));
        QVERIFY(cpu->isValid());
        QCOMPARE(cpu->stage(), quint8(KorCpu::HeaderNext));
    }

    void configurationAreaWalk()
    {
        const QByteArray table = le16(1) + le16(tav & 0xFFFF) + le16(tav >> 16) + le16(0);
        const QByteArray composed = le16(1) + le16(6) + QByteArray(6, 'i')
            + SimulatedController::section(13, table);
        QVERIFY(controller->setConfiguration(composed, {{7, QByteArray(8, 'x')}}));
        QSharedPointer<RawConfiguration> raw(new RawConfiguration());
        raw->setRegisters(SettingsProvider::instance().iocfgBase());
        Request::Ptr_t request = SmartReadRequest::create(raw, {});

        QCOMPARE(run(*request, *device), 0);
        QCOMPARE(raw->image(), composed.left(10));
        QCOMPARE(raw->table(), table);
        QCOMPARE(shapes(controller->served()),
                 (QList<QList<int>>{{3, 4016, 2}, {3, 4016, 5}, {3, 4021, 3}, {3, 4024, 4},
                                    {3, 4028, 3}, {3, 4031, 4}}));
    }

    void mergedValueReadsIntoResources()
    {
        QSharedPointer<Dout> a(new Dout(QUuid::createUuid()));
        QSharedPointer<Dout> b(new Dout(QUuid::createUuid()));
        a->setRole(ValueRole::DoutState, {1, 5, 10, 1});
        b->setRole(ValueRole::DoutState, {1, 5, 12, 1});
        controller->setCoils(10, {1, 1, 1});
        const QList<Request::Ptr_t> requests = ReqGen::makeMonRequests(
            {{b, b->role(ValueRole::DoutState), ValueRole::DoutState},
             {a, a->role(ValueRole::DoutState), ValueRole::DoutState},
             // A missing catalogue entry costs only its own value.
             {a, ProtoEntry(), ValueRole::DinState}},
            {});
        QCOMPARE(requests.size(), 1);
        QCOMPARE(run(*requests[0], *device), 0);
        QCOMPARE(shapes(controller->served()), (QList<QList<int>>{{1, 10, 3}}));
        QCOMPARE(a->value().value, quint16(1));
        QCOMPARE(b->value().value, quint16(1));
    }

    void imageWriteStopsAtARefusedBlock()
    {
        const QByteArray image(300, 'a');
        QList<QSharedPointer<Resource>> blocks{
            DataBlock::create({3, 6, 4016, 150}, image),
            DataBlock::create({3, 6, 5000, 1}, le16(7)),
            DataBlock::create({3, 6, 5001, 1}, le16(8)),
        };
        QList<int> progress;
        Request::Ptr_t request = MultiWriteRequest::create(
            blocks, {}, [&](int written, int) { progress << written; }, 1);
        request->setTimeoutUs(5000000);
        // The image goes out in two frames; the frame of the second block is refused, and the
        // third block is not sent.
        controller->misbehave({Fault::Exception, 1, 2, 16, 2});
        QCOMPARE(run(*request, *device), 1);
        QCOMPARE(request->error().subCode, 21);
        QCOMPARE(request->error().text,
                 QString("MultiWriteRequest,RS:[12, %1]").arg(blocks[1]->id().toString()));
        QCOMPARE(progress, QList<int>{1});
        QCOMPARE(controller->writes().size(), 3);

        progress.clear();
        QCOMPARE(run(*request, *device), 0);
        QCOMPARE(progress, (QList<int>{1, 2, 3}));
        QCOMPARE(controller->holdingRegisters(4016, 150).first(), quint16(0x6161));
        QCOMPARE(controller->holdingRegisters(5000, 2), (QVector<quint16>{7, 8}));
    }

    void controlHandshakeOnTheWire()
    {
        ControlRequest request({}, 1);
        request.setRegisters(sys("command"), sys("password"));
        request.setSendPassword(true);
        request.setSendCommand(true);
        request.setPassword(ControlRequest::DevicePassword);
        request.setCommand(ControlRequest::ResourcesChanged);
        QCOMPARE(run(request, *device), 0);
        auto writes = controller->writes();
        QCOMPARE(shapes(writes), (QList<QList<int>>{{16, 4000, 1}, {16, 4001, 1}}));
        QCOMPARE(writes[0].values, QVector<quint16>{23517});
        QCOMPARE(writes[1].values, QVector<quint16>{102});

        // A refused password: the command word never reaches the controller.
        controller->clearLog();
        controller->misbehave({Fault::Exception, 1, 4, 16, 0});
        QCOMPARE(run(request, *device), 1);
        QCOMPARE(record(request), (QList<int>{1, 1822, -4}));
        QCOMPARE(controller->writes().size(), 1);
        QCOMPARE(controller->holdingRegisters(4001, 1), QVector<quint16>{102});
    }

    void alarmChangeOnTheWire()
    {
        const ProtoEntry range = sys("alarm-reg-ctrl");
        controller->setHoldingRegisters(3000, {0x0080, 0xFFFF});
        ChangeAlarmRequest request({}, 5);
        request.registers() = range;
        request.changes() = {{3000, 3, 1}, {3001, 15, 0}, {3001, 40, 1}};
        QCOMPARE(run(request, *device), 0);
        QCOMPARE(controller->holdingRegisters(3000, 2), (QVector<quint16>{0x0088, 0x7FFF}));
        QCOMPARE(shapes(controller->served()), (QList<QList<int>>{{3, 3000, 2}, {16, 3000, 2}}));

        // An unanswered read writes nothing.
        controller->clearLog();
        controller->misbehave({Fault::NoReply, 1, 0, 3, 0});
        request.setTimeoutUs(ShortTimeoutUs);
        QCOMPARE(run(request, *device), 1);
        QCOMPARE(request.error().subCode, 1819);
        QVERIFY(controller->writes().isEmpty());
    }
};

QTEST_GUILESS_MAIN(RequestsModbusTest)
#include "tst_requests_modbus.moc"
