// The analogue input: its device block, live values, JSON settings, value texts and the coupling
// of a three-wire pair.
#include "model/ain.h"
#include "catalogue/settingsprovider.h"
#include "support/isolatedenvironment.h"

#include <QDataStream>
#include <QtTest>

#include <limits>

namespace {

struct BlockFields
{
    quint8 range = 0;
    quint8 tsType = 0;
    qint16 onePole = 0;
    quint8 median = 0;
    quint8 flags = 0;
    float scMin = 0, scMax = 10, scOffset = 0;
    qint32 tref = 0, rref = 0;
    float f1 = 0, f2 = 0, f3 = 0;
};

QByteArray block(const BlockFields& f)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    out << f.range << f.tsType << f.onePole << f.median << f.flags << f.scMin << f.scMax
        << f.scOffset << f.tref << f.rref << f.f1 << f.f2 << f.f3;
    return data;
}

QSharedPointer<Ain> newAin(const QString& textId = QStringLiteral("AIN1"))
{
    const IoResource::Ptr_t r = IoResource::create(ResourceKind::Ain, QUuid::createUuid());
    r->setTextId(textId);
    return r.dynamicCast<Ain>();
}

AbstractConfig withRange(const Ain& ain, qint32 range)
{
    AbstractConfig config;
    ain.exportConfig(config);
    config.ain.range = range;
    return config;
}

} // namespace

class AinTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    SettingsProvider& catalogue() { return SettingsProvider::instance(); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        QVERIFY(!catalogue().templates.isEmpty());
        QCOMPARE(catalogue().mode, 1);
    }

    void newInputEncodesTheDefaultBlock()
    {
        const QSharedPointer<Ain> ain = newAin();
        QByteArray data("stale");
        ain->encode(&data);
        QCOMPARE(data.toHex(), QByteArray("000000000000" "00000000" "00002041" "00000000"
                                          "0000000000000000" "000000000000000000000000"));
    }

    void shortBlockIsRefusedAndChangesNothing()
    {
        const QSharedPointer<Ain> ain = newAin();
        const IoResource::Ptr_t partner = newAin("AIN2");
        IoResource::pairAnalogInputs({ain, partner});
        BlockFields f;
        f.range = 3;
        f.scMax = 55;
        const QByteArray full = block(f);
        for (int size : {0, 19, Ain::BlockSize - 1}) {
            QVERIFY(!ain->decode(full.left(size)));
            QCOMPARE(ain->config(), AinConfig());
            QVERIFY(!ain->isCoupled());
        }
        QVERIFY(ain->decode(full));
        QVERIFY(ain->isCoupled());
        // Only a decoded range 3 sets the flag; range 2 leaves it.
        f.range = 2;
        QVERIFY(ain->decode(block(f)));
        QVERIFY(ain->isCoupled());
    }

    void blockRoundTripKeepsEveryField()
    {
        SensorInfo pt100;
        QVERIFY(catalogue().sensor(2, &pt100));
        BlockFields f{1, 2, -5, 0xFE, 0x03, -1.5f, 20.25f, 0.5f, 25, 1000, 0.004f, 0, 0};
        const QByteArray data = block(f);
        const QSharedPointer<Ain> ain = newAin();
        QVERIFY(ain->decode(data));
        const AinConfig& c = ain->config();
        QCOMPARE(c.median, qint8(-2));
        QVERIFY(c.freq60);
        QCOMPARE(c.pollAin, 2);
        // The block's reference values and factor win over the catalogue's; A, B, C come from it.
        QCOMPARE(c.sensors[0].rref, 1000);
        QCOMPARE(c.sensors[0].abFactor, double(0.004f));
        QCOMPARE(c.sensors[0].b, pt100.b);
        QByteArray back;
        ain->encode(&back);
        QCOMPARE(back.toHex(), data.toHex());
    }

    void emptyUserCoefficientsAreFilledFromTheCatalogue()
    {
        SettingsProvider& p = catalogue();
        const SensorInfo saved = p.sensorTable.value(91);
        p.sensorTable[91].a = 0.5;
        p.sensorTable[91].b = -0.25;
        p.sensorTable[91].c = 0.125;

        const QSharedPointer<Ain> ain = newAin();
        QVERIFY(ain->decode(block({2, 91, 0, 0, 0, 0, 10, 0, 0, 100, 0, 0, 0})));
        QCOMPARE(ain->config().sensors[0].a, 0.5);
        QCOMPARE(ain->config().sensors[0].c, 0.125);
        QVERIFY(ain->decode(block({2, 91, 0, 0, 0, 0, 10, 0, 0, 100, 7.0f, 1.0f, 0})));
        QCOMPARE(ain->config().sensors[0].a, 7.0);
        QCOMPARE(ain->config().sensors[0].b, 1.0);
        p.sensorTable[91] = saved;

        // Only a user thermometer sends its coefficients; beyond single precision the device gets
        // the largest value it can hold.
        AbstractConfig config = withRange(*ain, 2);
        config.ain.sensors[0] = {100, 0, 0.00385, 1.25, -2.5, 3e40};
        ain->importConfig(config);
        QByteArray data;
        ain->encode(&data);
        QCOMPARE(data.mid(26).toHex(), QByteArray("0000a03f000020c0ffff7f7f"));
        config.ain.tsType = 2;
        ain->importConfig(config);
        ain->encode(&data);
        QCOMPARE(data.mid(26).toHex(), QByteArray("48507c3b0000000000000000"));
    }

    void aLinearUserCurveSurvivesTheReadBack()
    {
        // The catalogue's user thermometers carry no coefficients: a curve of A alone, as the
        // device reports it, must come back unchanged in the next write.
        for (const quint8 id : {90, 91, 92, 93}) {
            SensorInfo sensor;
            QVERIFY(catalogue().sensor(id, &sensor));
            QCOMPARE(sensor.a, 0.0);
            const QSharedPointer<Ain> ain = newAin();
            const QByteArray data = block({3, id, 0, 0, 0, 0, 10, 0, 0, 100, 0.5f, 0, 0});
            QVERIFY(ain->decode(data));
            QCOMPARE(ain->config().sensors[0].a, 0.5);
            QByteArray back;
            ain->encode(&back);
            QCOMPARE(back.toHex(), data.toHex());
        }
    }

    void jsonRoundTripAndThermo()
    {
        const QSharedPointer<Ain> ain = newAin();
        AbstractConfig config = withRange(*ain, 4);
        config.ain.pollAin = 2;
        config.ain.median = -3;
        config.ain.tsType = 103;
        config.ain.sensors[0] = {1800, 25, 3456.9, 0, 0, 0};
        ain->importConfig(config);
        QJsonObject json;
        ain->writeJson(json);
        const QJsonObject settings = json.value("settings").toObject();
        QCOMPARE(settings.value("pollAin"), QJsonValue(true));
        QCOMPARE(settings.value("median"), QJsonValue(-3));
        QCOMPARE(settings.value("thermo").toObject().value("rref"), QJsonValue(1800));

        const QSharedPointer<Ain> copy = newAin();
        QVERIFY(copy->readJson(json));
        QVERIFY(copy->flag());
        QCOMPARE(copy->config(), ain->config());

        // Ranges without a sensor write no "thermo".
        ain->importConfig(withRange(*ain, 1));
        QVERIFY(ain->writeJson(json));
        QVERIFY(!json.value("settings").toObject().contains("thermo"));

        QVERIFY(!copy->readJson({{"settings", QJsonObject()}}));
        QVERIFY(!copy->flag());
        QCOMPARE(copy->config().tsType, 103);
    }

    // Numbers at the ends of their fields are taken as they are; one beyond is refused whole.
    void jsonNumbersAtTheEndsOfTheirFields()
    {
        const QSharedPointer<Ain> ain = newAin();
        const double most = std::numeric_limits<float>::max();
        QVERIFY(ain->readJson({{"settings", QJsonObject{{"onePole", -32768},
                                                        {"median", -128},
                                                        {"sc-min", -most},
                                                        {"sc-max", most},
                                                        {"sc-offset", 0.25}}}}));
        QCOMPARE(ain->config().onePole, qint16(-32768));
        QCOMPARE(ain->config().median, qint8(-128));
        QCOMPARE(ain->config().scMin, -std::numeric_limits<float>::max());
        QCOMPARE(ain->config().scMax, std::numeric_limits<float>::max());
        QCOMPARE(ain->config().scOffset, 0.25f);
        QCOMPARE(ain->config().pollAin, 1);
        QJsonObject json;
        ain->writeJson(json);
        QCOMPARE(json.value("settings").toObject().value("median"), QJsonValue(-128));

        const AinConfig before = ain->config();
        QVERIFY(!ain->readJson({{"settings", QJsonObject{{"onePole", 1}, {"median", 200}}}}));
        QVERIFY(!ain->flag());
        QVERIFY(ain->config() == before);
    }

    void jsonReloadsCoefficientsOfCatalogueSensors()
    {
        SensorInfo pt100;
        QVERIFY(catalogue().sensor(2, &pt100));
        const auto settings = [](int tsType, double b, double c) {
            const QJsonObject precision{{"A", 9.0}, {"B", b}, {"C", c}};
            return QJsonObject{{"settings", QJsonObject{{"range", 2}, {"ts-type", tsType},
                                                        {"thermo", QJsonObject{{"precision", precision}}}}}};
        };
        const QSharedPointer<Ain> ain = newAin();
        QVERIFY(ain->readJson(settings(2, 0.5, 0.5)));
        QCOMPARE(ain->config().sensors[0].a, pt100.a);
        QCOMPARE(ain->config().sensors[0].c, pt100.c);
        for (const QJsonObject& kept : {settings(2, 0.0, 0.0), settings(2, 0.5, 0.6),
                                        settings(91, 0.5, 0.5)}) {
            QVERIFY(ain->readJson(kept));
            QCOMPARE(ain->config().sensors[0].a, 9.0);
        }
    }

    void valuesDecodeByRoleAndRefuseShortData()
    {
        const QSharedPointer<Ain> ain = newAin();
        ProtoEntry entry;
        for (int role : {ValueRole::AinValue, ValueRole::AinRaw, ValueRole::RtdFreeze}) {
            QVERIFY(catalogue().iortEntry(Resource::roleWord(role), &entry));
            ain->setRole(role, entry);
        }
        const QByteArray f = QByteArray::fromHex("0000c841"); // 25.0
        QVERIFY(ain->decodeValue(ValueRole::AinValue, f));
        QVERIFY(ain->decodeValue(ValueRole::AinRaw, f + "xx"));
        QCOMPARE(ain->value().value, 25.0);
        QCOMPARE(ain->value().raw, 25.0);
        // Two registers are four bytes.
        QVERIFY(!ain->decodeValue(ValueRole::AinValue, f.left(3)));
        // A catalogue entry too small for the float still cannot make the decoder read past.
        ain->setRole(ValueRole::AinValue, {4, 0, 0, 1});
        QVERIFY(!ain->decodeValue(ValueRole::AinValue, f.left(2)));
        // The freeze coil is one byte; reading it changes nothing.
        QVERIFY(!ain->decodeValue(ValueRole::RtdFreeze, QByteArray()));
        QVERIFY(ain->decodeValue(ValueRole::RtdFreeze, QByteArray(1, '\1')));
        QCOMPARE(ain->value().freeze, quint8(0));
        QVERIFY(ain->decodeValue(ValueRole::AinExtra, QByteArray::fromHex("ffff")));
        QCOMPARE(ain->value().extra, 65535);
        QVERIFY(!ain->decodeValue(ValueRole::AinExtra, QByteArray(1, '\0')));
        QVERIFY(!ain->decodeValue(ValueRole::AoutValue, f));

        AbstractValue v{};
        v.kind = ResourceKind::Ain;
        v.ain = {25.0, 2.0, -2, 3, 1};
        ain->importValue(v);
        const QByteArray expected[] = {"000000400000c841", "feff0300", "01", ""};
        for (int role : {1, 2, 3, 4}) {
            QByteArray data("stale");
            ain->encodeValue(role, &data);
            QCOMPARE(data.toHex(), expected[role - 1]);
        }
    }

    // Each role's bytes as the device sends them: a single-precision float or an unsigned word,
    // low byte first. A refused read leaves the last good values.
    void valueBytesByRole_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("raw");
        QTest::addColumn<int>("extra");

        const double inf = std::numeric_limits<double>::infinity();
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("value") << 1 << QByteArray::fromHex("0000c841") << true << 25.0 << 2.5 << 7;
        QTest::newRow("value negative") << 1 << QByteArray::fromHex("000080bf") << true << -1.0 << 2.5 << 7;
        QTest::newRow("value single precision") << 1 << QByteArray::fromHex("cdcccc3d") << true
                                                << double(0.1f) << 2.5 << 7;
        QTest::newRow("value infinite") << 1 << QByteArray::fromHex("000080ff") << true << -inf << 2.5 << 7;
        QTest::newRow("value not a number") << 1 << QByteArray::fromHex("0000c07f") << true << nan << 2.5 << 7;
        QTest::newRow("raw") << 2 << QByteArray::fromHex("0000a0c1") << true << 1.5 << -20.0 << 7;
        QTest::newRow("raw before spare bytes") << 2 << QByteArray::fromHex("000020417878") << true
                                                << 1.5 << 10.0 << 7;
        QTest::newRow("extra unsigned") << 4 << QByteArray::fromHex("feff") << true << 1.5 << 2.5 << 65534;
        QTest::newRow("extra low byte first") << 4 << QByteArray::fromHex("3412") << true << 1.5 << 2.5
                                              << 0x1234;
        QTest::newRow("value short") << 1 << QByteArray::fromHex("0000c8") << false << 1.5 << 2.5 << 7;
        QTest::newRow("raw short") << 2 << QByteArray::fromHex("0000") << false << 1.5 << 2.5 << 7;
        QTest::newRow("extra short") << 4 << QByteArray::fromHex("ff") << false << 1.5 << 2.5 << 7;
        QTest::newRow("freeze read") << 3 << QByteArray::fromHex("01") << true << 1.5 << 2.5 << 7;
        QTest::newRow("freeze empty") << 3 << QByteArray() << false << 1.5 << 2.5 << 7;
        QTest::newRow("other kind's role") << 5 << QByteArray::fromHex("0000c841") << false << 1.5 << 2.5 << 7;
    }

    void valueBytesByRole()
    {
        QFETCH(int, role);
        QFETCH(QByteArray, data);
        const QSharedPointer<Ain> ain = newAin();
        ProtoEntry entry;
        for (int r : {ValueRole::AinValue, ValueRole::AinRaw, ValueRole::RtdFreeze}) {
            QVERIFY(catalogue().iortEntry(Resource::roleWord(r), &entry));
            ain->setRole(r, entry);
        }
        AbstractValue v{};
        v.kind = ResourceKind::Ain;
        v.ain = {1.5, 2.5, 7, 0, 0};
        ain->importValue(v);

        QTEST(ain->decodeValue(role, data), "ok");
        QTEST(ain->value().value, "value");
        QTEST(ain->value().raw, "raw");
        QTEST(int(ain->value().extra), "extra");
        QCOMPARE(ain->value().freeze, quint8(0));
    }

    void valueTexts()
    {
        const QSharedPointer<Ain> a = newAin("AIN1");
        const QSharedPointer<Ain> b = newAin("AIN2");
        IoResource::pairAnalogInputs({a, b});
        a->importConfig(withRange(*a, 3));
        AbstractValue v;
        v.kind = ResourceKind::Ain;
        v.ain = {21.456, 110.5, 0, 2, 1};
        a->importValue(v);
        QMap<int, QString> t = a->valueText();
        QCOMPARE(t.value(0), QString("AIN1-2 (RTD3W)"));
        QCOMPARE(t.value(1), QString("freeze,under"));
        QCOMPARE(t.value(2), QString("110.50 \u03A9"));
        QCOMPARE(t.value(3), QString("21.46 \u00B0C"));
        QVERIFY(a->statusFlag());

        a->importConfig(withRange(*a, 0));
        v.ain = {1.0, 1234.4, 0, 0, 0};
        a->importValue(v);
        t = a->valueText();
        QCOMPARE(t.value(0), QString("AIN1 (0-10)"));
        QCOMPARE(t.value(1), QString());
        QCOMPARE(t.value(2), QString("1234 mV"));
        QVERIFY(!a->statusFlag());

        a->importConfig(withRange(*a, 5));
        v.ain.raw = 0.01;
        a->importValue(v);
        QCOMPARE(a->valueText().value(2), QString("0"));
        v.ain.raw = 0.02;
        a->importValue(v);
        QCOMPARE(a->valueText().value(2), QString("1"));
    }

    void importCouplesThePairOnEnteringAndLeavingRangeThree()
    {
        const QSharedPointer<Ain> a = newAin("AIN1");
        const QSharedPointer<Ain> b = newAin("AIN2");
        IoResource::pairAnalogInputs({a, b});
        a->importConfig(withRange(*a, 3));
        QVERIFY(a->isCoupled());
        QVERIFY(b->isCoupled());
        a->importConfig(withRange(*a, 3));
        QVERIFY(b->isCoupled());
        b->importConfig(withRange(*b, 2));
        QVERIFY(b->isCoupled()); // b never was in range 3
        a->importConfig(withRange(*a, 1));
        QVERIFY(!a->isCoupled());
        QVERIFY(!b->isCoupled());
        QCOMPARE(a->config().range, 1);

        AbstractConfig other;
        other.kind = ResourceKind::Din;
        other.ain.range = 3;
        a->importConfig(other);
        QCOMPARE(a->config().range, 1);
        AbstractConfig poll = withRange(*a, 1);
        poll.ain.pollAin = 2;
        QVERIFY(a->changesPolling(poll));
    }

    void aCoupledPairDoesNotKeepItselfAlive()
    {
        QSharedPointer<Ain> a = newAin("AIN1");
        QSharedPointer<Ain> b = newAin("AIN2");
        IoResource::pairAnalogInputs({a, b});
        a->importConfig(withRange(*a, 3));
        const QWeakPointer<Ain> watchB = b;
        b.reset();
        QVERIFY(watchB.isNull());
        QCOMPARE(a->valueText().value(0), QString("AIN1 (RTD3W)"));
        const QWeakPointer<Ain> watchA = a;
        a.reset();
        QVERIFY(watchA.isNull());
    }
};

QTEST_GUILESS_MAIN(AinTest)
#include "tst_ain.moc"
