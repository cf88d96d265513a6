// Discrete inputs and serial ports: register blocks, live values, JSON settings, records, visitor.
#include "catalogue/settingsprovider.h"
#include "model/din.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "model/serialport.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

namespace {

Din* makeDin(quint32 subType = 0)
{
    Din* din = new Din(QUuid::createUuid());
    din->setSubType(subType);
    din->setTextId(QStringLiteral("DI3"));
    din->setRole(ValueRole::DinState, {2, 0, 0, 1});          // discrete inputs: a byte each
    din->setRole(ValueRole::DinCounter, {4, 0, 1000, 2});     // input registers: two bytes each
    din->setRole(ValueRole::CounterReset, {1, 5, 1000, 1});
    return din;
}

QByteArray encoded(const Resource& resource)
{
    QByteArray out("stale bytes of an earlier block");
    resource.encode(&out);
    return out;
}

class KindRecorder : public ResourceVisitor
{
public:
    using ResourceVisitor::visit;
    void visit(Din* resource) override { seen << resource->typeName(); }
    void visit(SerialPort* resource) override { seen << resource->typeName(); }
    QStringList seen;
};

} // namespace

class DinSerialPortTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        QVERIFY(!SettingsProvider::instance().templates.isEmpty());
    }

    void newDinTakesCatalogueFilterDefaults()
    {
        SettingsProvider& provider = SettingsProvider::instance();
        const int state = provider.filterState, value = provider.filterValue;
        provider.filterState = 3;
        provider.filterValue = 9;
        QScopedPointer<Din> din(new Din(QUuid::createUuid()));
        provider.filterState = state;
        provider.filterValue = value;
        QCOMPARE(din->config(), DinConfig({true, 9, false, false, false}));
    }

    void configBlocks()
    {
        QScopedPointer<Din> din(makeDin());
        QVERIFY(din->decode(QByteArray::fromHex("0f000500")));
        QCOMPARE(din->config(), DinConfig({true, 5, true, true, true}));
        // The polling switches are not the channel's to send.
        QCOMPARE(encoded(*din), QByteArray::fromHex("03000500"));

        SerialPort port(QUuid::createUuid());
        QCOMPARE(encoded(port), QByteArray::fromHex("70383900 00 02 0000 0000 00 01 d0070000"));
        const QByteArray block = QByteArray::fromHex("00c20100 01 01 3412 e803 12 02 b80b0000");
        QVERIFY(port.decode(block));
        QCOMPARE(port.config().blockWord, quint16(0x1234));
        QCOMPARE(encoded(port), block);

        for (int size = 0; size < SerialPort::BlockSize; ++size) {
            QVERIFY(!port.decode(QByteArray(size, '\0')));
            QVERIFY(size >= Din::BlockSize || !din->decode(QByteArray(size, '\0')));
        }
        QCOMPARE(encoded(*din), QByteArray::fromHex("03000500"));
        QCOMPARE(encoded(port), block);
    }

    void dinValueDecoding_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("shown");  // value texts 1 and 2

        QTest::newRow("state") << 7 << QByteArray::fromHex("01") << true << "1/0";
        QTest::newRow("counter unsigned") << 8 << QByteArray::fromHex("ffffffff") << true
                                          << "0/4294967295";
        // Two registers are four bytes, not two.
        QTest::newRow("counter low word first") << 8 << QByteArray::fromHex("78563412") << true
                                                << "0/305419896";
        QTest::newRow("state whole byte") << 7 << QByteArray::fromHex("ff") << true << "255/0";
        QTest::newRow("counter short") << 8 << QByteArray::fromHex("0102") << false << "0/0";
        QTest::newRow("state empty") << 7 << QByteArray() << false << "0/0";
        QTest::newRow("frequency never") << 9 << QByteArray::fromHex("01") << false << "0/0";
    }

    void dinValueDecoding()
    {
        QFETCH(int, role);
        QFETCH(QByteArray, data);
        QFETCH(bool, ok);
        QFETCH(QString, shown);
        QScopedPointer<Din> din(makeDin());
        QCOMPARE(din->decodeValue(role, data), ok);
        const QMap<int, QString> text = din->valueText();
        QCOMPARE(text.value(1) + "/" + text.value(2), shown);
    }

    void dinValueRecord()
    {
        // Without a register entry the value still needs its own bytes; with one, the whole area.
        QScopedPointer<Din> bare(new Din(QUuid::createUuid()));
        QVERIFY(!bare->decodeValue(ValueRole::DinCounter, QByteArray::fromHex("010203")));
        bare->setRole(ValueRole::DinState, {3, 0, 0, 2});
        QVERIFY(!bare->decodeValue(ValueRole::DinState, QByteArray::fromHex("0100")));
        QVERIFY(bare->decodeValue(ValueRole::DinState, QByteArray::fromHex("01000000")));

        QScopedPointer<Din> din(makeDin());
        QVERIFY(din->decodeValue(ValueRole::CounterReset, QByteArray::fromHex("02")));
        AbstractValue value;
        din->exportValue(value);
        QCOMPARE(value.din.reset, quint16(1));
        QByteArray out("xy");
        din->encodeValue(ValueRole::DinState, &out);
        din->encodeValue(ValueRole::CounterReset, &out);
        QCOMPARE(out, QByteArray::fromHex("01"));

        value.din = {0x10001, 77, 500, 0x0100};
        din->importValue(value);
        QCOMPARE(din->state(), quint16(1));
        QCOMPARE(din->frequency(), 500u);
        QVERIFY(!din->resetRequested());
        // Releasing the reset writes 0: a 1 would clear the counter again on release.
        din->encodeValue(ValueRole::CounterReset, &out);
        QCOMPARE(out, QByteArray::fromHex("00"));
        value.din.reset = 1;
        din->importValue(value);
        din->encodeValue(ValueRole::CounterReset, &out);
        QCOMPARE(out, QByteArray::fromHex("01"));
        value.kind = ResourceKind::Dout;
        value.din.counter = 5;
        din->importValue(value);
        QCOMPARE(din->counter(), 77u);
    }

    void dinConfigRecord()
    {
        AbstractConfig config;
        config.kind = ResourceKind::Din;
        config.din = {false, 12, true, true, false};
        QScopedPointer<Din> slow(makeDin(1));
        slow->importConfig(config);
        QCOMPARE(slow->config(), DinConfig({true, 12, true, true, false}));
        QCOMPARE(slow->valueText().value(0), QStringLiteral("DI3 (Slow)"));
        // Given back by an undo, the record is taken as it was, filter off included.
        slow->restoreConfig(config);
        QCOMPARE(slow->config(), config.din);
        slow->restoreConfig(AbstractConfig());
        QCOMPARE(slow->config(), config.din);

        QScopedPointer<Din> din(makeDin());
        QVERIFY(din->changesPolling(config));
        din->importConfig(config);
        QCOMPARE(din->config(), config.din);
        QCOMPARE(din->valueText().value(0), QStringLiteral("DI3"));
        config.din.filter = 40;
        QVERIFY(!din->changesPolling(config));
        config.kind = ResourceKind::Ain;
        config.din.pollFreq = true;
        QVERIFY(!din->changesPolling(config));
        din->importConfig(config);
        QCOMPARE(din->config().filter, quint16(12));
    }

    void dinJson()
    {
        QScopedPointer<Din> din(makeDin());
        QVERIFY(din->decode(QByteArray::fromHex("0b000700")));
        QJsonObject json;
        QVERIFY(din->writeJson(json));
        QCOMPARE(json.value("info").toObject(), QJsonObject({{"type", 2}, {"id", "DI3"}}));
        QScopedPointer<Din> copy(makeDin());
        QVERIFY(copy->readJson(json) && copy->flag());
        QCOMPARE(copy->config(), din->config());

        QVERIFY(copy->readJson({{"settings", QJsonObject{{"filter", 65535}, {"ac", false}}}}));
        QCOMPARE(copy->config(), DinConfig({false, 65535, false, false, false}));
        // A number is no answer to a yes-or-no key.
        QVERIFY(!copy->readJson({{"settings", QJsonObject{{"ac", 1}}}}));
        QVERIFY(!copy->flag());
        QVERIFY(!copy->readJson({{"settings", QJsonObject()}}));
        QVERIFY(!copy->flag());
        // A window beyond the field is refused, not cut down to it.
        QVERIFY(!copy->readJson({{"settings", QJsonObject{{"filter", 70000}, {"ac", true}}}}));
        QVERIFY(!copy->flag());
        QCOMPARE(copy->config(), DinConfig({false, 65535, false, false, false}));
    }

    void portJsonRefusesWideValuesAndZeroesMissingKeys_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("json");
        QTest::addColumn<qint64>("stored");

        // -1 stored: the value does not fit its field and the settings are refused.
        QTest::newRow("address 300") << "address" << 300.0 << qint64(-1);
        QTest::newRow("address 255") << "address" << 255.0 << qint64(255);
        QTest::newRow("delay 70000") << "delay" << 70000.0 << qint64(-1);
        QTest::newRow("parity -1") << "parity" << -1.0 << qint64(-1);
        QTest::newRow("only baud") << "baud" << 19200.0 << qint64(19200);
        // A word above INT_MAX is written as a negative int and read back whole.
        QTest::newRow("safeTime written as -1") << "safeTime" << -1.0 << qint64(4294967295);
        QTest::newRow("baud above INT_MAX") << "baud" << 3e9 << qint64(3000000000);
        QTest::newRow("baud above 32 bits") << "baud" << 5e9 << qint64(-1);
    }

    void portJsonRefusesWideValuesAndZeroesMissingKeys()
    {
        QFETCH(QString, key);
        QFETCH(double, json);
        QFETCH(qint64, stored);
        SerialPort port(QUuid::createUuid());
        const SerialPortConfig before = port.config();
        const bool taken = port.readJson({{"settings", QJsonObject{{key, json}}}});
        QCOMPARE(taken, stored >= 0);
        if (!taken) {
            QVERIFY(port.config() == before);
            return;
        }
        const SerialPortConfig& c = port.config();
        const QMap<QString, qint64> fields{
            {"address", c.address}, {"delay", c.delay}, {"mode", c.mode}, {"baud", c.baud},
            {"parity", c.parity},   {"sbits", c.sbits}, {"safeTime", c.safeTime}};
        for (auto it = fields.cbegin(); it != fields.cend(); ++it)
            QCOMPARE(it.value(), it.key() == key ? stored : 0);
    }

    void portJsonAndRecords()
    {
        SerialPort port(QUuid::createUuid());
        port.setTextId("Serial port1");
        AbstractValue live;
        live.kind = ResourceKind::SerialPort;
        live.port.words = {{1, 2, 3}};
        port.importValue(live);
        QVERIFY(port.decode(QByteArray::fromHex("00d0dd06 02 01 3412 0500 03 07 10270000")));
        QJsonObject json;
        QVERIFY(port.writeJson(json));
        SerialPort copy(QUuid::createUuid());
        QVERIFY(copy.readJson(json));
        SerialPortConfig expected = port.config();
        expected.blockWord = 0;  // the file does not carry it
        QCOMPARE(copy.config(), expected);
        QVERIFY(!copy.readJson(QJsonObject()));
        QVERIFY(!copy.flag());

        AbstractConfig config;
        port.exportConfig(config);
        copy.importConfig(config);
        QCOMPARE(copy.config(), port.config());
        AbstractValue out;
        port.exportValue(out);
        QCOMPARE(out.port.words, live.port.words);
        QCOMPARE(port.valueText(), (QMap<int, QString>{{0, "Serial port1"}}));
    }

    void visitorReachesEachKind()
    {
        KindRecorder recorder;
        recorder.visit(IoResource::Ptr_t(makeDin()));
        recorder.visit(IoResource::Ptr_t(new SerialPort(QUuid::createUuid())));
        QCOMPARE(recorder.seen, QStringList({"DIN", "Serial port"}));
    }
};

QTEST_GUILESS_MAIN(DinSerialPortTest)
#include "tst_din_serialport.moc"
