// The register map file: sections, variable lines, the cutting of requests at the Modbus transfer
// limits, and that an export which cannot be built leaves the target alone.
#include "appfixture.h"
#include "shell/programstart.h"
#include "model/apperror.h"
#include "shell/mapbuilder.h"
#include "shell/requestcollector.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"

#include <QDir>
#include <QtTest>

using namespace AppFixture;

namespace {

using namespace ModelFixture;

QStringList namesOf(const MapRequest& request)
{
    QStringList out;
    for (const MapVariable& v : request.variables)
        out << v.name;
    return out;
}

QList<quint32> addressesOf(const MapRequest& request)
{
    QList<quint32> out;
    for (const MapVariable& v : request.variables)
        out << v.address;
    return out;
}

// The header lines of a section, as the programming environment parses them.
QString header(int index, const char* direction, const char* type, int period)
{
    return QStringLiteral("[Request%1]\nDirection=%2\nType=%3\nBaudrate=115200\nAddress=1\nPeriod=%4\n")
        .arg(index)
        .arg(QLatin1String(direction), QLatin1String(type))
        .arg(period);
}

} // namespace

class MapBuilderTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;

    QString path(const QString& name) const { return QDir(env.path()).filePath(name); }

private slots:
    void initTestCase()
    {
        // As the program starts: past a file-size limit a write fails instead of ending the process.
        ProgramStart::catchTerminationSignals();
        pexType = loadCatalogue();
        QVERIFY(pexType != 0);
    }

    void oneControllerFile()
    {
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        MapBuilder builder;
        QCOMPARE(builder.build(&model), 0);
        QCOMPARE(builder.writeMapFile(path("one.map")), 0);
        const QByteArray bytes = readAll(path("one.map"));
        QVERIFY(!bytes.contains('\r'));
        QVERIFY(!bytes.contains("\n\n"));
        const QString text = QString::fromLocal8Bit(bytes);

        // The sections in file order: system, Ain, Aout, Din values, counters with frequencies,
        // counter resets, counter acknowledges, Dout, then the three alarm requests.
        QString expected = header(0, "read", "reg", 0)
                           + "var0=a00b#long#Module id#System page\n"
                             "var1=a023#long#Serial number#System page\n"
                             "var2=a029#int#System state#System page\n"
                           + header(1, "read", "reg", 1000);
        for (int i = 0; i < 8; ++i)
            expected += QStringLiteral("var%1=%2#real#/AIN%3#Analog input value\n")
                            .arg(i).arg(2 * i, 0, 16).arg(i + 1);
        for (int i = 0; i < 8; ++i)
            expected += QStringLiteral("var%1=%2#real#/AIN%3/Raw#Raw analog input value\n")
                            .arg(i + 8).arg(16 + 2 * i, 0, 16).arg(i + 1);
        expected += header(2, "read/write", "reg", 1000)
                    + "var0=0#int#/AOUT1#Analog output value\n"
                      "var1=1#int#/AOUT2#Analog output value\n"
                    + header(3, "read", "bit", 1000);
        QVERIFY2(text.startsWith(expected), qPrintable(text.left(1200)));

        const QList<MapRequest>& requests = builder.requests();
        QCOMPARE(requests.size(), 11);
        QCOMPARE(requests[4].variables.size(), 16);
        QCOMPARE(addressesOf(requests[4]), series(1000, 2, 8) + series(1016, 1, 8));
        QCOMPARE(requests[4].variables[8].name, QStringLiteral("/DIN1/Freq"));
        QCOMPARE(requests[5].variables[0].name, QStringLiteral("/DIN1/Cntr_reset"));
        QCOMPARE(requests[6].variables[0].description, QStringLiteral("Ack. of counter reset"));
        QVERIFY(text.contains(header(7, "read/write", "bit", 1000)
                              + "var0=0#bool#/DOUT1#Discrete output\n"));
        QVERIFY(text.endsWith(header(10, "read/write", "reg", 5000)
                              + "var0=bb8#int#/ALARM/MASK/SYS#Masking of alarm\n"
                                "var1=bb9#int#/ALARM/MASK/AIN#Masking of alarm\n"
                                "var2=bba#int#/ALARM/MASK/AOUT#Masking of alarm\n"));
        QVERIFY(text.contains(header(8, "read", "reg", 5000)
                              + "var0=bbb#int#/ALARM/LATCH/SYS#latched alarms\n"));
        QVERIFY(text.contains(header(9, "read/write", "reg", 5000)
                              + "var0=bbb#int#/ALARM/CLEAR/SYS#Clear of alarm\n"));
    }

    void fourControllersSplitTheirRequests()
    {
        SystemModel model;
        for (int n = 0; n < 4; ++n)
            model.addDevice(handleOf(kTav1020, n));
        MapBuilder builder;
        QCOMPARE(builder.build(&model), 0);
        const QList<MapRequest>& requests = builder.requests();
        QCOMPARE(requests.size(), 12);

        // 32 scaled and 32 raw values of two registers: 62 fit in one 125-register request, the
        // raw values go on in the same run, and the last two open a second request.
        QCOMPARE(requests[1].variables.size(), 62);
        QCOMPARE(addressesOf(requests[1]), series(0, 2, 62));
        QCOMPARE(requests[1].variables[0].name, QStringLiteral("/00/AIN1"));
        QCOMPARE(requests[1].variables[31].name, QStringLiteral("/03/AIN8"));
        QCOMPARE(requests[1].variables[32].name, QStringLiteral("/00/AIN1/Raw"));
        QCOMPARE(namesOf(requests[2]), QStringList({"/03/AIN7/Raw", "/03/AIN8/Raw"}));
        QCOMPARE(addressesOf(requests[2]), QList<quint32>({124, 126}));
        QCOMPARE(requests[2].direction, qint32(MapRequest::Read));
        QCOMPARE(requests[2].period, 1000u);

        // Counters (64 registers) and frequencies (32) share one request.
        QCOMPARE(requests[5].variables.size(), 64);
        QCOMPARE(requests[5].variables.last().name, QStringLiteral("/03/DIN8/Freq"));
        QCOMPARE(requests[5].variables.last().address, 1000u + 64 + 31);

        for (int r = 9; r < 12; ++r)
            QCOMPARE(requests[r].variables.size(), 12);
        QCOMPARE(requests[9].variables[11].name, QStringLiteral("/03/ALARM/LATCH/AOUT"));
        QCOMPARE(requests[9].variables[11].address, 3000u + 12 + 11);
        QCOMPARE(requests[10].variables[11].address, 3000u + 12 + 11);
        QCOMPARE(requests[11].variables[11].address, 3000u + 11);

        QCOMPARE(builder.writeMapFile(path("four.map")), 0);
        const QString text = QString::fromLocal8Bit(readAll(path("four.map")));
        QVERIFY(text.contains(header(2, "read", "reg", 1000)
                              + "var0=7c#real#/03/AIN7/Raw#Raw analog input value\n"
                                "var1=7e#real#/03/AIN8/Raw#Raw analog input value\n"
                              + header(3, "read/write", "reg", 1000)));
    }

    void moduleNames()
    {
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        model.addDevice(handleOf(pexType, 1, c0->id()));
        MapBuilder builder;
        QCOMPARE(builder.build(&model), 0);
        const QStringList names = namesOf(builder.requests()[1]);
        QVERIFY(names.contains("/00/AIN1"));
        QVERIFY(names.contains("/00-1/AIN1"));
        QVERIFY(names.contains("/00-1/AIN1/Raw"));
        // Alarm words go by the device's own number, a module's included.
        const QStringList alarms = namesOf(builder.requests().last());
        QCOMPARE(alarms.mid(3), QStringList({"/01/ALARM/MASK/SYS", "/01/ALARM/MASK/AIN",
                                             "/01/ALARM/MASK/AOUT"}));
    }

    void collectorCutsAtTheTransferLimit_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("full");
        QTest::addColumn<int>("rest");
        QTest::newRow("62 reals") << int(MapRequest::Registers) << int(MapVariable::Real) << 62 << 62 << 0;
        QTest::newRow("63 longs") << int(MapRequest::Registers) << int(MapVariable::Long) << 63 << 62 << 1;
        QTest::newRow("126 ints") << int(MapRequest::Registers) << int(MapVariable::Int) << 126 << 125 << 1;
        QTest::newRow("2001 bits") << int(MapRequest::Bits) << int(MapVariable::Bool) << 2001 << 2000 << 1;
    }

    void collectorCutsAtTheTransferLimit()
    {
        QFETCH(int, kind);
        QFETCH(int, type);
        QFETCH(int, count);
        QFETCH(int, full);
        QFETCH(int, rest);
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        const IoResource::Ptr_t r = model.resourcesOfKind(ResourceKind::Ain).first();
        SystemModel::Resources_t many;
        for (int i = 0; i < count; ++i)
            many << r;

        RequestCollector collector(&model, SerialPortConfig());
        collector.startLayout(MapRequest::Read, kind, 1000, type, 10);
        collector.setText("d", "/%2%1");
        collector.add(many);
        const QList<MapRequest> completed = collector.takeCompleted();
        const QList<MapRequest> open = collector.takeOpen();
        QCOMPARE(completed.size(), full ? 1 : 0);
        if (full) {
            QCOMPARE(completed[0].variables.size(), full);
            QCOMPARE(completed[0].variables.last().address,
                     10 + quint32(full - 1) * MapVariable::width(type));
        }
        QCOMPARE(open.size(), rest ? 1 : 0);
        if (rest)
            QCOMPARE(open[0].variables.first().address, 10 + quint32(full) * MapVariable::width(type));
        QVERIFY(collector.takeOpen().isEmpty());
    }

    void failedExportsLeaveTheTarget()
    {
        const QString target = path("kept.map");
        QVERIFY(writeAll(target, "old map\n"));

        // Controller 1 alone: the serial ports belong to controller 0 only.
        SystemModel noPort;
        noPort.addDevice(handleOf(kTav1020, 1));
        MapBuilder builder;
        QCOMPARE(builder.build(&noPort), -1);
        QVERIFY(builder.requests().isEmpty());
        QCOMPARE(builder.writeMapFile(target), -1);
        // Such a system breaks the rules of every system, and the export says which.
        App::Error error;
        QVERIFY(!MapBuilder::exportMap(&noPort, target, &error));
        QCOMPARE(error.code, 43);
        QCOMPARE(error.subCode, 20);
        QCOMPARE(error.text, QString("нет контроллера с номером 0"));
        QCOMPARE(readAll(target), QByteArray("old map\n"));
        SystemModel empty;
        QVERIFY(!MapBuilder::exportMap(&empty, target, &error));
        QCOMPARE(error.code, 43);
        QCOMPARE(error.subCode, 1);
        QCOMPARE(readAll(target), QByteArray("old map\n"));

        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        SettingsProvider& provider = SettingsProvider::instance();
        const ProtoEntry cpu = provider.protocol.take(QStringLiteral("sys/korcpu"));
        bool thrown = false;
        MapBuilder failing;
        try {
            failing.build(&model);
        } catch (const App::Error& e) {
            thrown = e.code == 43 && e.subCode == 0 && e.text.isEmpty();
        }
        error = App::Error();
        const bool exported = MapBuilder::exportMap(&model, target, &error);
        provider.protocol.insert(QStringLiteral("sys/korcpu"), cpu);
        QVERIFY(thrown);
        QVERIFY(failing.requests().isEmpty());
        QCOMPARE(failing.writeMapFile(target), -1);
        QVERIFY(!exported);
        QCOMPARE(error.code, 43);
        QCOMPARE(error.subCode, 0);
        QCOMPARE(readAll(target), QByteArray("old map\n"));

        // A target that cannot be written: a folder is in the way.
        QVERIFY(!MapBuilder::exportMap(&model, env.path(), &error));
        QCOMPARE(error.code, 9);
        QCOMPARE(error.subCode, 5);

        QVERIFY(MapBuilder::exportMap(&model, target));
        const QByteArray written = readAll(target);
        QVERIFY(written.startsWith("[Request0]\nDirection=read\nType=reg\n"));

        // A file-size limit met half-way: the map is shorter than the file's write buffer.
        QVERIFY(written.size() < 16384);
        model.addDevice(handleOf(kTav1020, 1));
        bool full = true;
        QVERIFY(withFileSizeLimit(rlim_t(written.size() / 2),
                                  [&] { full = MapBuilder::exportMap(&model, target, &error); }));
        QVERIFY(!full);
        QCOMPARE(error.code, 9);
        QCOMPARE(error.subCode, 13);
        QCOMPARE(readAll(target), written);
        QCOMPARE(QDir(env.path()).entryList({"kept.map*"}, QDir::Files | QDir::Hidden),
                 QStringList({"kept.map"}));
    }
};

QTEST_GUILESS_MAIN(MapBuilderTest)
#include "tst_mapbuilder.moc"
