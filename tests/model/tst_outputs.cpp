// Analogue and discrete outputs: register blocks, live values, JSON settings, value texts and the
// exchange through AbstractConfig and AbstractValue.
#include "model/aout.h"
#include "catalogue/settingsprovider.h"
#include "model/dout.h"
#include "model/resourcevisitor/resourcevisitor.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <tuple>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QJsonObject withSettings(const QJsonObject& settings)
{
    return {{"settings", settings}};
}

// Expected of a setting the reader refuses.
constexpr int kRefused = std::numeric_limits<int>::min();

// Gives each output the register entries the monitoring loop would, from the loaded catalogue.
template<typename Output>
void assignCatalogueRoles(Output& output)
{
    for (int valueRole : output.rolesB()) {
        ProtoEntry entry;
        QVERIFY(SettingsProvider::instance().iortEntry(Resource::roleWord(valueRole), &entry));
        output.setRole(valueRole, entry);
    }
}

class KindRecorder : public ResourceVisitor
{
public:
    using ResourceVisitor::visit;
    void visit(Aout* resource) override { seen << QStringLiteral("aout") << resource->textId(); }
    void visit(Dout* resource) override { seen << QStringLiteral("dout") << resource->textId(); }
    QStringList seen;
};

} // namespace

class OutputsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        QVERIFY(!SettingsProvider::instance().protocol.isEmpty());
    }

    void aoutBlockKeepsSafeValueAndBlockWord()
    {
        Aout aout(QUuid::createUuid());
        QByteArray block("stale bytes that must go");
        aout.encode(&block);
        QCOMPARE(block, QByteArray(10, '\0'));

        AbstractConfig reserved;
        reserved.kind = ResourceKind::Aout;
        reserved.aout.reserved1 = 0x1111;
        reserved.aout.reserved2 = 0x2222;
        aout.importConfig(reserved);

        QVERIFY(aout.decode(hex("01 00 02 00 88 13 05 00 00 00")));
        QCOMPARE(aout.config().save, quint16(5000));
        QCOMPARE(aout.config().blockWord, 5u);
        // The spare words come neither from the device nor go to it.
        QCOMPARE(aout.config().reserved1, quint16(0x1111));
        QCOMPARE(aout.config().reserved2, quint16(0x2222));
        aout.encode(&block);
        QCOMPARE(block, hex("00 00 00 00 88 13 05 00 00 00"));

        // Longer blocks (the device's 6 registers) decode their first 10 bytes.
        QVERIFY(aout.decode(hex("00 00 00 00 ff ff 78 56 34 12 aa bb")));
        QCOMPARE(aout.config().save, quint16(0xffff));
        QCOMPARE(aout.config().blockWord, 0x12345678u);
    }

    void doutBlockKeepsSafeState()
    {
        Dout dout(QUuid::createUuid());
        QByteArray block("stale");
        dout.encode(&block);
        QCOMPARE(block, hex("00 00 00 00"));

        QVERIFY(dout.decode(hex("07 00 01 00")));
        QCOMPARE(dout.config().save, qint16(1));
        dout.encode(&block);
        QCOMPARE(block, hex("00 00 01 00"));

        QVERIFY(dout.decode(hex("00 00 ff ff")));
        QCOMPARE(dout.config().save, qint16(-1));
    }

    void shortBlocksAreRefused_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {0, 1, 3, 6, 9})
            QTest::addRow("%d bytes", size) << size;
    }

    void shortBlocksAreRefused()
    {
        QFETCH(int, size);
        Aout aout(QUuid::createUuid());
        QVERIFY(aout.decode(hex("00 00 00 00 34 12 07 00 00 00")));
        const AoutConfig aoutBefore = aout.config();
        QVERIFY(!aout.decode(QByteArray(size, '\x55')));
        QCOMPARE(aout.config(), aoutBefore);

        if (size >= Dout::BlockSize)
            return;
        Dout dout(QUuid::createUuid());
        QVERIFY(dout.decode(hex("00 00 01 00")));
        QVERIFY(!dout.decode(QByteArray(size, '\x55')));
        QCOMPARE(dout.config().save, qint16(1));
    }

    void jsonSaveIsTakenWhenItFits_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QJsonValue>("save");
        QTest::addColumn<int>("expected");
        // Both outputs take whole numbers; a number beyond the word, or with a fraction, is
        // refused rather than cut down to it.
        QTest::newRow("aout fraction") << 1 << QJsonValue(2499.6) << kRefused;
        QTest::newRow("aout top of the word") << 1 << QJsonValue(65535) << 65535;
        QTest::newRow("aout above 16 bits") << 1 << QJsonValue(70000) << kRefused;
        QTest::newRow("aout negative") << 1 << QJsonValue(-2.9) << kRefused;
        QTest::newRow("aout huge") << 1 << QJsonValue(1e300) << kRefused;
        QTest::newRow("aout text") << 1 << QJsonValue("12") << kRefused;
        QTest::newRow("aout missing") << 1 << QJsonValue(QJsonValue::Undefined) << 0;
        QTest::newRow("aout null") << 1 << QJsonValue(QJsonValue::Null) << 0;
        QTest::newRow("dout true") << 3 << QJsonValue(true) << kRefused;
        QTest::newRow("dout above 16 bits") << 3 << QJsonValue(70000) << kRefused;
        QTest::newRow("dout negative") << 3 << QJsonValue(-1) << -1;
        QTest::newRow("dout fraction") << 3 << QJsonValue(2.5) << kRefused;
        QTest::newRow("dout beyond int") << 3 << QJsonValue(1e10) << kRefused;
        QTest::newRow("dout missing") << 3 << QJsonValue(QJsonValue::Undefined) << 0;
    }

    void jsonSaveIsTakenWhenItFits()
    {
        QFETCH(int, kind);
        QFETCH(QJsonValue, save);
        QFETCH(int, expected);
        QJsonObject settings{{"other", 1}};
        if (!save.isUndefined())
            settings.insert("save", save);
        Aout aout(QUuid::createUuid());
        Dout dout(QUuid::createUuid());
        IoResource& output = kind == 1 ? static_cast<IoResource&>(aout) : dout;
        QVERIFY(output.readJson(withSettings({{"save", 1}})));
        const bool taken = output.readJson(withSettings(settings));
        QCOMPARE(taken, expected != kRefused);
        QCOMPARE(output.flag(), taken);
        QCOMPARE(kind == 1 ? int(aout.config().save) : int(dout.config().save), taken ? expected : 1);
    }

    void emptySettingsChangeNothing()
    {
        Aout aout(QUuid::createUuid());
        Dout dout(QUuid::createUuid());
        QVERIFY(aout.readJson(withSettings({{"save", 300}})));
        QVERIFY(dout.readJson(withSettings({{"save", 1}})));
        for (const QJsonObject& json : {withSettings({}), QJsonObject()}) {
            QVERIFY(!aout.readJson(json));
            QVERIFY(!dout.readJson(json));
            QVERIFY(!aout.flag());
            QVERIFY(!dout.flag());
            QCOMPARE(aout.config().save, quint16(300));
            QCOMPARE(dout.config().save, qint16(1));
        }
    }

    void jsonRoundTrips()
    {
        Aout aout(QUuid::createUuid());
        aout.setTextId("AO2");
        QVERIFY(aout.decode(hex("00 00 00 00 60 ea 00 00 00 00")));
        QJsonObject json;
        QVERIFY(aout.writeJson(json));
        QCOMPARE(json.value("settings").toObject(), QJsonObject({{"save", 60000}}));
        QCOMPARE(json.value("info").toObject(), QJsonObject({{"type", 1}, {"id", "AO2"}}));
        Aout aoutCopy(QUuid::createUuid());
        QVERIFY(aoutCopy.readJson(json));
        QCOMPARE(aoutCopy.config().save, quint16(60000));

        Dout dout(QUuid::createUuid());
        dout.setTextId("DO5");
        QVERIFY(dout.decode(hex("00 00 fe ff")));
        json = {};
        QVERIFY(dout.writeJson(json));
        QCOMPARE(json.value("settings").toObject(), QJsonObject({{"save", -2}}));
        QCOMPARE(json.value("info").toObject(), QJsonObject({{"type", 3}, {"id", "DO5"}}));
        Dout doutCopy(QUuid::createUuid());
        QVERIFY(doutCopy.readJson(json));
        QCOMPARE(doutCopy.config().save, qint16(-2));
    }

    void aoutValuesNeedWholeRegisters()
    {
        Aout aout(QUuid::createUuid());
        assignCatalogueRoles(aout);
        QVERIFY(aout.decodeValue(ValueRole::AoutValue, hex("88 13")));
        QVERIFY(aout.decodeValue(ValueRole::AoutOverride, hex("ff ff")));
        QCOMPARE(aout.value().value, quint16(5000));
        QCOMPARE(aout.value().overrideValue, qint16(-1));

        // One byte of a 16-bit register is a torn reply, not a value.
        QVERIFY(!aout.decodeValue(ValueRole::AoutValue, hex("01")));
        QVERIFY(!aout.decodeValue(ValueRole::AoutOverride, QByteArray()));
        QVERIFY(!aout.decodeValue(ValueRole::DoutState, hex("01 00")));
        aout.setRole(ValueRole::AoutValue, ProtoEntry{3, 16, 0, 2});
        QVERIFY(!aout.decodeValue(ValueRole::AoutValue, hex("01 00 02")));
        QCOMPARE(aout.value().value, quint16(5000));
        QCOMPARE(aout.value().overrideValue, qint16(-1));

        QByteArray data;
        aout.encodeValue(ValueRole::AoutValue, &data);
        QCOMPARE(data, hex("88 13"));
        aout.encodeValue(ValueRole::AoutOverride, &data);
        QCOMPARE(data, hex("ff ff"));
        data = "kept";
        aout.encodeValue(ValueRole::DoutOverride, &data);
        QCOMPARE(data, QByteArray("kept"));
    }

    // One register, low byte first: the output in millivolts unsigned, the forced value signed.
    // A refused read leaves the last good values.
    void aoutValueWords_data()
    {
        QTest::addColumn<int>("role");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("overrideValue");

        QTest::newRow("value") << 5 << hex("88 13") << true << 5000 << -7;
        QTest::newRow("value above the signed range") << 5 << hex("00 80") << true << 32768 << -7;
        QTest::newRow("value all ones") << 5 << hex("ff ff") << true << 65535 << -7;
        QTest::newRow("value before spare byte") << 5 << hex("34 12 ff") << true << 0x1234 << -7;
        QTest::newRow("override negative") << 6 << hex("18 fc") << true << 1234 << -1000;
        QTest::newRow("override positive") << 6 << hex("e8 03") << true << 1234 << 1000;
        QTest::newRow("value short") << 5 << hex("88") << false << 1234 << -7;
        QTest::newRow("override empty") << 6 << QByteArray() << false << 1234 << -7;
        QTest::newRow("other kind's role") << 12 << hex("01 00") << false << 1234 << -7;
    }

    void aoutValueWords()
    {
        QFETCH(int, role);
        QFETCH(QByteArray, data);
        Aout aout(QUuid::createUuid());
        assignCatalogueRoles(aout);
        AbstractValue before;
        before.kind = ResourceKind::Aout;
        before.aout.value = 1234;
        before.aout.overrideValue = -7;
        aout.importValue(before);

        QTEST(aout.decodeValue(role, data), "ok");
        QTEST(int(aout.value().value), "value");
        QTEST(int(aout.value().overrideValue), "overrideValue");
    }

    void doutValuesAreOneBytePerCoil()
    {
        Dout dout(QUuid::createUuid());
        assignCatalogueRoles(dout);
        QVERIFY(dout.decodeValue(ValueRole::DoutState, hex("01")));
        QVERIFY(dout.decodeValue(ValueRole::DoutOverride, hex("ff")));
        QCOMPARE(dout.value().value, quint16(1));
        QCOMPARE(dout.value().overrideValue, quint16(0xff));

        QVERIFY(!dout.decodeValue(ValueRole::DoutState, QByteArray()));
        QVERIFY(!dout.decodeValue(ValueRole::AoutValue, hex("00")));
        // Were the state kept in a holding register, a lone byte would be half of it.
        dout.setRole(ValueRole::DoutState, ProtoEntry{3, 6, 0, 1});
        QVERIFY(!dout.decodeValue(ValueRole::DoutState, hex("00")));
        QVERIFY(dout.decodeValue(ValueRole::DoutState, hex("00 01")));
        QCOMPARE(dout.value().value, quint16(0));

        QByteArray data;
        dout.encodeValue(ValueRole::DoutState, &data);
        QVERIFY(data.isEmpty());
        AbstractValue value;
        value.kind = ResourceKind::Dout;
        value.dout.overrideValue = 1;
        dout.importValue(value);
        dout.encodeValue(ValueRole::DoutOverride, &data);
        QCOMPARE(data, hex("01"));
        value.dout.overrideValue = 0x1fe;
        dout.importValue(value);
        dout.encodeValue(ValueRole::DoutOverride, &data);
        QCOMPARE(data, hex("fe"));
    }

    void valueTexts()
    {
        Aout aout(QUuid::createUuid());
        aout.setTextId("AO1");
        AbstractValue value;
        value.kind = ResourceKind::Aout;
        value.aout.value = 65535;
        aout.importValue(value);
        QMap<int, QString> texts = aout.valueText();
        QCOMPARE(texts.size(), 3);
        QCOMPARE(texts.value(0), QStringLiteral("AO1"));
        QCOMPARE(texts.value(1), QString());
        QCOMPARE(texts.value(2), QStringLiteral("65.535 V"));
        QVERIFY(!aout.statusFlag());

        value.aout.value = 1500;
        aout.importValue(value);
        aout.setStatusFlag(1);
        QVERIFY(aout.statusFlag());
        texts = aout.valueText();
        QCOMPARE(texts.value(1), QStringLiteral("overload"));
        QCOMPARE(texts.value(2), QStringLiteral("1.5 V"));

        Dout dout(QUuid::createUuid());
        dout.setTextId("DO1");
        QVERIFY(dout.decodeValue(ValueRole::DoutState, hex("01")));
        QCOMPARE(dout.valueText(), (QMap<int, QString>{{0, "DO1"}, {1, "1"}}));
    }

    void recordsRoundTrip()
    {
        Aout aout(QUuid::createUuid());
        AbstractConfig config;
        config.kind = ResourceKind::Aout;
        config.aout = {1, 2, 3000, 4};
        aout.importConfig(config);
        AbstractConfig exported;
        aout.exportConfig(exported);
        QCOMPARE(exported.kind, int(ResourceKind::Aout));
        QCOMPARE(exported.aout, config.aout);

        AbstractValue value;
        value.kind = ResourceKind::Aout;
        value.aout = {7, 1, 2500, 3000};
        aout.importValue(value);
        AbstractValue back;
        aout.exportValue(back);
        QCOMPARE(back.kind, int(ResourceKind::Aout));
        QVERIFY(std::tie(back.aout.control, back.aout.overload, back.aout.value, back.aout.overrideValue)
                == std::make_tuple(quint8(7), quint8(1), quint16(2500), qint16(3000)));

        Dout dout(QUuid::createUuid());
        config.kind = ResourceKind::Dout;
        config.dout = {-5, 9};
        dout.importConfig(config);
        dout.exportConfig(exported);
        QCOMPARE(exported.kind, int(ResourceKind::Dout));
        QCOMPARE(exported.dout, config.dout);

        value.kind = ResourceKind::Dout;
        value.dout = {3, 1, 0};
        dout.importValue(value);
        dout.exportValue(back);
        QCOMPARE(back.kind, int(ResourceKind::Dout));
        QVERIFY(std::tie(back.dout.control, back.dout.value, back.dout.overrideValue)
                == std::make_tuple(quint8(3), quint16(1), quint16(0)));
    }

    void recordsOfAnotherKindChangeNothing()
    {
        Aout aout(QUuid::createUuid());
        Dout dout(QUuid::createUuid());
        QVERIFY(aout.decode(hex("00 00 00 00 10 00 20 00 00 00")));
        QVERIFY(dout.decode(hex("00 00 01 00")));
        QVERIFY(aout.decodeValue(ValueRole::AoutValue, hex("10 00")));
        QVERIFY(dout.decodeValue(ValueRole::DoutState, hex("01")));
        const AoutConfig aoutConfig = aout.config();
        const DoutConfig doutConfig = dout.config();

        AbstractConfig foreign;
        foreign.aout = {9, 9, 9, 9};
        foreign.dout = {9, 9};
        AbstractValue foreignValue;
        foreignValue.aout = {9, 9, 9, 9};
        foreignValue.dout = {9, 9, 9};
        for (int kind : {int(ResourceKind::None), int(ResourceKind::Ain), int(ResourceKind::Din),
                         int(ResourceKind::DevicePart)}) {
            foreign.kind = kind;
            foreignValue.kind = kind;
            aout.importConfig(foreign);
            dout.importConfig(foreign);
            aout.importValue(foreignValue);
            dout.importValue(foreignValue);
        }
        foreign.kind = ResourceKind::Dout;
        aout.importConfig(foreign);
        foreign.kind = ResourceKind::Aout;
        dout.importConfig(foreign);

        QCOMPARE(aout.config(), aoutConfig);
        QCOMPARE(dout.config(), doutConfig);
        QCOMPARE(aout.value().value, quint16(0x10));
        QCOMPARE(dout.value().value, quint16(1));

        // Exporting writes only the resource's own member.
        AbstractConfig record;
        record.dout = {42, 43};
        aout.exportConfig(record);
        QCOMPARE(record.dout, (DoutConfig{42, 43}));
    }

    void visitorSeesEachKind()
    {
        IoResource::Ptr_t aout(new Aout(QUuid::createUuid()));
        IoResource::Ptr_t dout(new Dout(QUuid::createUuid()));
        aout->setTextId("AO1");
        dout->setTextId("DO1");
        KindRecorder recorder;
        recorder.visit(aout);
        recorder.visit(dout);
        QCOMPARE(recorder.seen, QStringList({"aout", "AO1", "dout", "DO1"}));
    }
};

QTEST_GUILESS_MAIN(OutputsTest)
#include "tst_outputs.moc"
