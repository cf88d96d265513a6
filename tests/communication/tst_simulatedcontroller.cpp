// The simulated controller that the communication tests talk to: its scripted CPU block and
// configuration area must read back through the real decoders, and its log and waits must be
// exact, or every test built on it would prove nothing.
#include "catalogue/settingsprovider.h"
#include "communication/modbusdevice.h"
#include "model/flatconfiguration.h"
#include "model/korcpu.h"
#include "model/rawconfiguration.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "support/simulatedcontroller.h"
#include "model/systemmodel.h"

#include <QtTest>

namespace {

constexpr int SuccessUs = 1000000;

// Reads a resource block by block, as a smart read request does.
bool readAll(ModbusDevice& device, Resource& target)
{
    while (target.hasBlockToRead()) {
        const ProtoEntry e = target.registers();
        QByteArray data;
        if (device.read(int(e.rcmd), int(e.offset), int(e.registers), &data, SuccessUs) < 0)
            return false;
        if (!target.decode(data))
            return false;
    }
    target.endRead();
    return true;
}

} // namespace

class SimulatedControllerTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

    static PortSettings_t port(const SimulatedController& c)
    {
        PortSettings_t s;
        s.portName = c.portPath();
        return s;
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

    void scriptedBusReadsBackAsSystemInfo()
    {
        SimulatedController c;
        QVERIFY(c.setBus({{tav, 2, 7001, 42, 1, 9}, {pex, 4, 8001, 43, 14, 0}, {pex, 0, 8002, 44, 0, 0}}));
        ModbusDevice device;
        QVERIFY(device.open(port(c)));
        KorCpu cpu;
        ProtoEntry entry;
        QVERIFY(SettingsProvider::instance().sysEntry("korcpu", &entry));
        cpu.setRegisters(entry);
        QVERIFY(readAll(device, cpu));
        QCOMPARE(c.served().first().address, 40963);

        SystemInfo_t info;
        cpu.toSystemInfo(info);
        QCOMPARE(info.cpuId, tav);
        QCOMPARE(info.hw, 2);
        QCOMPARE(info.kernelSn, 7001u);
        QCOMPARE(info.kernelId, 42u);
        QCOMPARE(info.kernelAux, 9u);
        QCOMPARE(info.kernelState, 1u);
        QCOMPARE(int(info.address), 2);
        QCOMPARE(info.vcc12, 12.0);
        QCOMPARE(info.bus.size(), 2);
        QCOMPARE(info.bus[0].type, pex);
        QCOMPARE(info.bus[0].revision, 4);
        QCOMPARE(info.bus[0].present, false);
        QCOMPARE(info.bus[1].id, 44u);
        QCOMPARE(info.bus[1].present, true);
    }

    void configurationAreaWalksToTheDeviceTable()
    {
        SystemModel model;
        DeviceHandle h;
        h.type = tav;
        h.revision = 0;
        h.id = SystemModel::newNodeId();
        QVERIFY(model.addDevice(h));
        QByteArray composed;
        QVERIFY(FlatConfiguration(&model).compose(composed));
        const int imageEnd = 4 + (quint8(composed[2]) | (quint8(composed[3]) << 8));

        SimulatedController c;
        QVERIFY(c.setConfiguration(composed, {{7, QByteArray("abcdef")}}));
        ModbusDevice device;
        QVERIFY(device.open(port(c)));
        RawConfiguration raw;
        raw.setRegisters(SettingsProvider::instance().iocfgBase());
        QVERIFY(readAll(device, raw));
        QCOMPARE(raw.state(), RawConfiguration::Done);
        QCOMPARE(raw.image(), composed.left(imageEnd));
        QCOMPARE(raw.table(), composed.mid(imageEnd + 6));
        // After the image: section 7's header and body, then section 13's header and body.
        const int after = 4016 + imageEnd / 2;
        const auto served = c.served();
        QVERIFY(served.size() > 4);
        QList<QList<int>> tail;
        for (const auto& r : served.mid(served.size() - 4))
            tail.append({r.function, r.address, r.count});
        QCOMPARE(tail, (QList<QList<int>>{{3, after, 3}, {3, after + 3, 3}, {3, after + 6, 3},
                                         {3, after + 9, (composed.size() - imageEnd - 6) / 2}}));
    }

    void writesAreLoggedInOrderWithTheirValues()
    {
        SimulatedController c;
        ModbusDevice device;
        QVERIFY(device.open(port(c)));
        const QByteArray password = QByteArray::fromHex("dd5b");
        const QByteArray command = QByteArray::fromHex("6500");
        QCOMPARE(device.write(6, 4000, 1, &password, SuccessUs, 1), 1);
        QCOMPARE(device.write(6, 4001, 1, &command, SuccessUs, 1), 1);
        const QByteArray coils = QByteArray::fromHex("0001");
        QCOMPARE(device.write(5, 3000, 2, &coils, SuccessUs, 1), 2);

        const auto writes = c.writes();
        QCOMPARE(writes.size(), 3);
        QCOMPARE(writes[0].function, 16);
        QCOMPARE(writes[0].address, 4000);
        QCOMPARE(writes[0].values, QVector<quint16>{23517});
        QCOMPARE(writes[1].address, 4001);
        QCOMPARE(writes[1].values, QVector<quint16>{101});
        QCOMPARE(writes[2].function, 15);
        QCOMPARE(writes[2].values, (QVector<quint16>{0, 1}));
        QCOMPARE(c.sysEntry("password"), password);
        QCOMPARE(c.sysEntry("alarm-ctrl"), coils);
    }

    void catalogueEntriesAndParallelControllers()
    {
        SimulatedController a;
        SimulatedController b;
        QVERIFY(a.portPath() != b.portPath());
        QVERIFY(QFileInfo(a.portPath()).isAbsolute());
        QVERIFY(a.setSysEntry("alarm-reg", QByteArray::fromHex("01800200")));
        QVERIFY(!a.setSysEntry("no-such-entry", QByteArray(2, '\0')));
        QCOMPARE(a.inputRegisters(3000, 2), (QVector<quint16>{0x8001, 2}));

        ModbusDevice da, db;
        QVERIFY(da.open(port(a)));
        QVERIFY(db.open(port(b)));
        QByteArray fromA, fromB;
        QCOMPARE(da.read(4, 3000, 2, &fromA, SuccessUs), 2);
        QCOMPARE(db.read(4, 3000, 2, &fromB, SuccessUs), 2);
        QCOMPARE(fromA, QByteArray::fromHex("01800200"));
        QCOMPARE(fromB, QByteArray(4, '\0'));
        QCOMPARE(a.servedCount(), 1);
        QCOMPARE(b.servedCount(), 1);
    }

    void waitsEndAtTheDeadlineAndTeardownNeverHangs()
    {
        SimulatedController c;
        QVERIFY(c.waitForServed(0, 10));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!c.waitForServed(1, 50));
        QVERIFY(clock.elapsed() >= 40);

        // A reply still being delayed at teardown does not hold the destructor.
        auto* slow = new SimulatedController;
        ModbusDevice device;
        QVERIFY(device.open(port(*slow)));
        slow->misbehave(SimulatedController::Fault::Delay, 1, 60000);
        QByteArray data;
        QCOMPARE(device.read(3, 0, 1, &data, 50000), -3);
        clock.restart();
        delete slow;
        QVERIFY(clock.elapsed() < 2000);
    }
};

QTEST_GUILESS_MAIN(SimulatedControllerTest)
#include "tst_simulatedcontroller.moc"
