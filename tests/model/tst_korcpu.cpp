// Decoding of the controller's CPU block, the system identity built from it and its log line.
#include "catalogue/settingsprovider.h"
#include "model/korcpu.h"
#include "model/systeminfo.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

namespace {

// Writes little-endian fields with single-precision floats, as the controller does.
class Block
{
public:
    Block() : out(&bytes, QIODevice::WriteOnly)
    {
        out.setByteOrder(QDataStream::LittleEndian);
        out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    }
    template <typename... T> Block& operator()(T... fields)
    {
        (void)std::initializer_list<int>{((out << fields), 0)...};
        return *this;
    }
    operator QByteArray() const { return bytes; }

private:
    QByteArray bytes;
    QDataStream out;
};

QByteArray identity(quint32 type, quint8 byteA, quint8 revision)
{
    return Block()(qint16(0), qint16(44), type, byteA, quint8(1), quint8(17), quint8(0),
                   quint32(11), quint32(12), quint32(13), revision, quint8(0), quint8(0),
                   quint8(0), 1.5f, 2.5f, 12.25f, 3.5f, 5.5f);
}

QByteArray shortIdentity(quint32 type, quint8 revision)
{
    return Block()(qint16(1), qint16(26), type, quint32(21), revision, quint8(0), quint8(0),
                   quint8(0), 12.0f, 3.25f, 40.0f, qint16(0));
}

QByteArray serials(quint32 sn, quint32 id, quint32 aux = 0, quint16 state = 0, qint16 length = 14)
{
    return Block()(qint16(2), length, sn, id, aux, state);
}

QByteArray record(quint32 type, const QList<QByteArray>& subBlocks)
{
    QByteArray b = Block()(type, qint16(subBlocks.size()), qint16(0));
    for (const QByteArray& s : subBlocks)
        b += s;
    return b;
}

QByteArray controller(quint32 type, quint32 sn = 7001)
{
    return record(type, {identity(type, 3, 2), serials(sn, 42, 9, 1)});
}

const ProtoEntry korcpuEntry{4, 0, 40963, 2};

// Both steps as the read request runs them; the result is that of the records step.
bool readBlock(KorCpu& cpu, const QList<QByteArray>& records, int count = -1)
{
    QByteArray body;
    for (const QByteArray& r : records)
        body += r;
    cpu.endRead();
    cpu.setRegisters(korcpuEntry);
    const quint16 n = quint16(count < 0 ? records.size() : count);
    return cpu.decode(Block()(n, quint16(body.size()))) && cpu.decode(body);
}

} // namespace

class KorCpuTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;

    void reload(const QString& df, const QString& vendor)
    {
        env.setVendorChoice(df);
        SettingsProvider::instance(vendor);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& p = SettingsProvider::instance();
        for (DeviceType_t t : p.tavTypes + p.pexTypes) {
            DeviceType_t& slot = deviceKind(t) == 11 ? tav : pex;
            if (!slot && (deviceKind(t) == 11 || deviceKind(t) == 10))
                slot = t;
        }
        QVERIFY(tav && pex);
    }

    void stagesAndBodyEntry()
    {
        KorCpu cpu;
        cpu.setRegisters(korcpuEntry);
        // A short header is refused and leaves the first step to be read again.
        QVERIFY(!cpu.decode(QByteArray(3, '\0')));
        QCOMPARE(cpu.registers(), korcpuEntry);

        QVERIFY(cpu.decode(Block()(quint16(0), quint16(5))));
        QCOMPARE(cpu.registers(), (ProtoEntry{4, 0, 40965, 2}));
        QVERIFY(cpu.hasBlockToRead());
        QVERIFY(!cpu.decode(QByteArray()));
        QVERIFY(!cpu.hasBlockToRead());
        QVERIFY(cpu.registers().isNull());
        QVERIFY(!cpu.decode(Block()(quint16(1), quint16(8))));
        QVERIFY(!cpu.isValid());

        cpu.endRead();
        QCOMPARE(cpu.registers(), korcpuEntry);
        QVERIFY(readBlock(cpu, {controller(tav)}));
        QVERIFY(cpu.isValid());
    }

    void subBlocksFillTheRecord()
    {
        KorCpu cpu;
        const quint32 other = makeDeviceType(10, 1, 2, 3);
        QVERIFY(readBlock(cpu, {
            record(tav, {serials(5, 6, 7, 8), shortIdentity(other, 4)}),
            record(pex, {Block()(qint16(9), qint16(6), 0, qint16(0)), serials(1, 2)}),
            record(tav, {identity(other, 1, 3), identity(pex, 2, 6)}),
            // The controller's length of a known sub-block is not trusted.
            record(tav, {serials(8, 9, 0, 0, -4)}),
        }));
        const QList<CpuRecord>& r = cpu.records();
        QCOMPARE(r.size(), 4);
        QCOMPARE(r[0].type, other);
        QCOMPARE(r[0].revision, 4u);
        QCOMPARE(r[0].value3, 12.0f);
        QCOMPARE(r[0].value1, 0.0f);
        QCOMPARE(r[0].serialNumber, 5u);
        QCOMPARE(r[1].type, pex);
        QCOMPARE(r[1].id, 2u);
        QCOMPARE(r[2].type, pex);
        QCOMPARE(r[2].byteA, quint8(2));
        QCOMPARE(r[3].serialNumber, 8u);
    }

    // Every field of a sub-block lands where the controller put it, spare bytes skipped, and the
    // sub-block after it is read from its own start.
    void subBlockFieldsInWireOrder_data()
    {
        QTest::addColumn<QByteArrayList>("subBlocks");
        QTest::addColumn<QString>("fields");
        const quint8 spare = 0xee;
        const QByteArray full = Block()(qint16(0), qint16(44), quint32(0x01020304), quint8(5),
                                        quint8(6), quint8(7), quint8(8), quint32(0x90000009),
                                        quint32(10), quint32(11), quint8(200), spare, spare, spare,
                                        -1.5f, 2.5f, 12.25f, 3.3f, 1e-3f);
        const QByteArray brief = Block()(qint16(1), qint16(26), quint32(0x0A000001), quint32(21),
                                         quint8(4), spare, spare, spare, 12.0f, -3.25f, 40.0f,
                                         qint16(0x7777));
        const QByteArray unknown = Block()(qint16(9), qint16(6), quint32(0xffffffff), qint16(-1));
        QTest::newRow("identity")
            << QByteArrayList{full, serials(1, 2, 3, 4)}
            << "16909060 5 6 7 8 2415919113 10 11 200 -1.5 2.5 12.25 3.3 0.001 1 2 3 4";
        QTest::newRow("short identity")
            << QByteArrayList{brief, serials(1, 2, 3, 4)}
            << "167772161 0 0 0 0 21 0 0 4 0 0 12 -3.25 40 1 2 3 4";
        QTest::newRow("serials")
            << QByteArrayList{serials(0xfffffff0u, 42, 0x80000000u, 65534, 3), brief}
            << "167772161 0 0 0 0 21 0 0 4 0 0 12 -3.25 40 4294967280 42 2147483648 65534";
        QTest::newRow("unknown, skipped by its length")
            << QByteArrayList{unknown, serials(1, 2, 3, 4)}
            << "header 0 0 0 0 0 0 0 0 0 0 0 0 0 1 2 3 4";
    }

    void subBlockFieldsInWireOrder()
    {
        QFETCH(QByteArrayList, subBlocks);
        KorCpu cpu;
        QVERIFY(readBlock(cpu, {record(tav, subBlocks)}));
        QCOMPARE(cpu.records().size(), 1);
        const CpuRecord& r = cpu.records().first();
        QStringList fields{r.type == tav ? QString("header") : QString::number(r.type)};
        for (quint32 field : {quint32(r.byteA), quint32(r.addressFlag), quint32(r.address),
                              quint32(r.byteD), r.word1, r.word2, r.word3, r.revision})
            fields << QString::number(field);
        for (float field : {r.value1, r.value2, r.value3, r.value4, r.value5})
            fields << QString::number(double(field), 'g', 7);
        for (quint32 field : {r.serialNumber, r.id, r.aux, quint32(r.state)})
            fields << QString::number(field);
        QTEST(fields.join(' '), "fields");
    }

    void eachRecordLogged()
    {
        KorCpu cpu;
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QString("Load Kor: 0 %1 9 42 7001").arg(tav)));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QString("Load Kor: 1 %1 4294967295 6 5").arg(pex)));
        QVERIFY(readBlock(cpu, {controller(tav), record(pex, {serials(5, 6, 0xffffffffu)})}));
    }

    void hostileBlocksEndTheDecoding_data()
    {
        QTest::addColumn<QByteArray>("bad");
        QTest::addColumn<int>("count");
        QTest::newRow("negative length") << record(pex, {Block()(qint16(7), qint16(-2))}) << 2;
        QTest::newRow("skip past end") << record(pex, {Block()(qint16(7), qint16(40), 0)}) << 2;
        QTest::newRow("cut identity") << record(pex, {identity(pex, 0, 0).left(30)}) << 2;
        QTest::newRow("cut sub-header") << record(pex, {QByteArray(2, '\0')}) << 2;
        QTest::newRow("cut record header") << QByteArray(5, '\0') << 2;
        QTest::newRow("missing record") << QByteArray() << 3;
    }

    void hostileBlocksEndTheDecoding()
    {
        QFETCH(QByteArray, bad);
        QFETCH(int, count);
        KorCpu cpu;
        QVERIFY(!readBlock(cpu, {controller(tav), bad}, count));
        QVERIFY(!cpu.hasBlockToRead());
        QCOMPARE(cpu.records().size(), 1);
    }

    void vendorRuleFollowsTheLoadedCatalogue()
    {
        const quint32 second = makeDeviceType(16, 1, 1, 0);
        KorCpu cpu;
        for (int kind : {10, 11, 20})
            QVERIFY(readBlock(cpu, {controller(makeDeviceType(kind, 1, 1, 0))}));
        QVERIFY(!readBlock(cpu, {controller(tav), controller(second)}));
        QCOMPARE(cpu.records().size(), 1);

        reload("vio4", "holmark");
        QVERIFY(!readBlock(cpu, {controller(tav)}));
        QVERIFY(readBlock(cpu, {controller(second), controller(makeDeviceType(17, 1, 1, 0))}));

        // An override catalogue leaves vendorKey empty; the brand it was resolved for still rules.
        QFile builtIn(":/data/resources/data/holmark/settings.json");
        QVERIFY(builtIn.open(QIODevice::ReadOnly));
        env.putOverrideCatalogue("holmark", builtIn.readAll());
        reload("vio4", "override");
        QVERIFY(SettingsProvider::instance().vendorKey.isEmpty());
        QVERIFY(readBlock(cpu, {controller(second)}));
        QVERIFY(!readBlock(cpu, {controller(tav)}));

        env.removeOverrideCatalogue("holmark");
        reload(QString(), "drovanix");
        QCOMPARE(SettingsProvider::activeVendor(), QString("drovanix"));
    }

    void systemInfoAndBusOrder()
    {
        KorCpu cpu;
        const auto bus = [](quint32 type, quint32 id, quint32 aux = 0, quint16 state = 0) {
            return record(type, {shortIdentity(type, 1), serials(id, id, aux, state)});
        };
        // An unknown device cuts the bus list there.
        QVERIFY(readBlock(cpu, {controller(tav), bus(tav, 101), bus(pex, 102, 0, 14), bus(pex, 103),
                                bus(tav, 104), bus(pex, 105, 77),
                                bus(makeDeviceType(10, 250, 250, 250), 106), bus(pex, 107)}));
        QVERIFY(!cpu.allTypesKnown());

        SystemInfo_t info;
        info.uso1 = 55;
        cpu.toSystemInfo(info);
        QCOMPARE(info.kernelSn, 7001u);
        QCOMPARE(info.kernelAux, 9u);
        QCOMPARE(info.cpuId, tav);
        QCOMPARE(info.cpuByte, 3u);
        QCOMPARE(info.address, quint8(17));
        QCOMPARE(info.hw, 2);
        QCOMPARE(info.vcc12, 12.25);
        QCOMPARE(info.uso1, 55u);

        const QList<QPair<int, int>> expected = {{-1, 1}, {1, 1}, {1, 2}, {-1, 2}, {2, 1}};
        QCOMPARE(info.bus.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            QCOMPARE(qMakePair(info.bus[i].controller, info.bus[i].number), expected[i]);
            QCOMPARE(info.bus[i].id, quint32(101 + i));
            QCOMPARE(info.bus[i].present, i != 1);
        }
        QCOMPARE(info.bus[4].aux, 77u);

        QVERIFY(readBlock(cpu, {controller(tav, 0)}));
        QVERIFY(!cpu.isValid());
        cpu.toSystemInfo(info);
        QCOMPARE(info.kernelSn, 7001u);
        QCOMPARE(info.bus.size(), 5);
    }

    void logForm()
    {
        QCOMPARE(describeSystemInfo(SystemInfo_t()),
                 QString("SysInfo [Kernel]: sn=0, id=0. [Cpu]: id=0, uso1=0, uso2=0, hw=-1 "
                         "[Phy]: vcc12=0, vcc33=0. [Bus]: size=0. [Sp]: baud=3750000, addr=0"));
    }
};

QTEST_GUILESS_MAIN(KorCpuTest)
#include "tst_korcpu.moc"
