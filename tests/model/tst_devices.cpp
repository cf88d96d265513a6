// Devices: the factory, their JSON, names and identity keys, templates, detected system data and
// the handle that names them.
#include "model/device.h"
#include "model/devicehandle.h"
#include "model/tav.h"

#include <QtTest>

namespace {

DeviceHandle handle(int kind, int number, const NodeId_t& owner = NodeId_t())
{
    DeviceHandle h;
    h.type = makeDeviceType(kind, 1, 2, 3);
    h.revision = 4;
    h.id = QUuid::createUuid();
    h.owner = owner;
    h.number = number;
    h.group = "Шкаф 1";
    return h;
}

Device::Ptr_t named(int deviceClass, const DeviceHandle& h, const QString& name)
{
    DeviceTemplate tpl;
    tpl.name = name;
    Device::Ptr_t d = Device::create(deviceClass, h);
    d->applyTemplate(tpl);
    return d;
}

} // namespace

class DevicesTest : public QObject
{
    Q_OBJECT

private slots:
    void factoryCopiesTheHandle()
    {
        QVERIFY(DeviceHandle().id.isNull());
        QCOMPARE(DeviceHandle().revision, -1);
        QVERIFY(!Device::create(0, handle(11, 0)));
        QVERIFY(!Device::create(4, handle(11, 0)));
        const DeviceHandle h = handle(10, 2, QUuid::createUuid());
        for (int c : {1, 2, 3}) {
            const Device::Ptr_t d = Device::create(c, h);
            QCOMPARE(d->deviceClass(), c);
            const DeviceHandle back = QVariant::fromValue(d->handle()).value<DeviceHandle>();
            QCOMPARE(back.type, h.type);
            QCOMPARE(back.revision, h.revision);
            QCOMPARE(back.id, h.id);
            QCOMPARE(back.owner, h.owner);
            QCOMPARE(back.number, h.number);
            QCOMPARE(back.group, h.group);
            QCOMPARE(d->supplyFlags(), c == 2 ? 0 : -1);
            QCOMPARE(d->systemWord(), 0u);
        }
    }

    void jsonRoundTripOfEveryClass_data()
    {
        QTest::addColumn<int>("deviceClass");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("word");
        // What the object held before the device wrote itself into it.
        QTest::addColumn<QJsonObject>("before");
        QTest::newRow("tav") << 2 << 11 << "tav" << QJsonObject();
        QTest::newRow("pex") << 3 << 10 << "pex" << QJsonObject();
        QTest::newRow("plc") << 1 << 14 << "plc" << QJsonObject();
        QTest::newRow("kind above 127") << 2 << 200 << "tav" << QJsonObject();
        QTest::newRow("beside the file's members")
            << 3 << 10 << "pex" << QJsonObject{{"owner", "TAV-1020-10"}, {"key", "0.3.PEX"}};
        QTest::newRow("over an earlier write")
            << 3 << 10 << "pex" << QJsonObject{{"label", "old"}, {"bus", 9}, {"key", "0.3.PEX"}};
    }

    void jsonRoundTripOfEveryClass()
    {
        QFETCH(int, deviceClass);
        QFETCH(int, kind);
        QFETCH(QString, word);
        QFETCH(QJsonObject, before);
        DeviceHandle h = handle(kind, 3);
        h.revision = -1;
        const Device::Ptr_t d = Device::create(deviceClass, h);
        d->setLabel("Насосная");
        QJsonObject json = before;
        QVERIFY(d->writeJson(json));
        QJsonObject expected{{"class", word}, {"type", qint64(h.type)}, {"revision", -1},
                             {"bus", 3}, {"label", "Насосная"}, {"group", h.group},
                             {"nid", h.id.toString()}};
        for (auto it = before.constBegin(); it != before.constEnd(); ++it) {
            if (!expected.contains(it.key()))
                expected.insert(it.key(), it.value());
        }
        QCOMPARE(json, expected);

        DeviceRecord r;
        QVERIFY(Device::fromJson(r, json));
        QCOMPARE(r.deviceClass, deviceClass);
        QCOMPARE(DeviceType_t(r.type), h.type);
        QCOMPARE(r.revision, -1);
        DeviceHandle back;
        back.type = DeviceType_t(r.type);
        back.revision = r.revision;
        back.id = QUuid(json["nid"].toString());
        back.number = r.bus;
        back.group = r.group;
        const Device::Ptr_t copy = Device::create(r.deviceClass, back);
        QVERIFY(copy->readJson(json));
        QJsonObject again = before;
        QVERIFY(copy->writeJson(again));
        QCOMPARE(again, json);
    }

    void fromJsonRules()
    {
        DeviceRecord r;
        QVERIFY(!Device::fromJson(r, QJsonObject()));
        const QJsonObject good{{"class", "pex"}, {"type", 0x0A010203}, {"bus", 2},
                               {"key", "0.2.M"}, {"owner", "K"}, {"group", "g"}};
        QVERIFY(Device::fromJson(r, good));
        QCOMPARE(r.revision, 0);
        QCOMPARE(r.key, QString("0.2.M"));
        QCOMPARE(r.owner, QString("K"));

        // Rejected objects leave the record as it was.
        const QList<QPair<QString, QJsonValue>> bad = {
            {"class", "Tav"}, {"class", "pex "}, {"class", "none"}, {"bus", -1},
            {"type", QJsonValue()}, {"type", 1.5}, {"type", 1e12}};
        for (const auto& change : bad) {
            QJsonObject o = good;
            o[change.first] = change.second;
            o["key"] = "other";
            QVERIFY(!Device::fromJson(r, o));
            QCOMPARE(r.key, QString("0.2.M"));
        }
    }

    void namesAndIdentityKeys()
    {
        const Device::Ptr_t k = named(2, handle(11, 0), "K");
        const Device::Ptr_t m = named(3, handle(10, 2, k->id()), "M");
        QCOMPARE(k->displayName(), QString("K"));
        QCOMPARE(m->displayName(k->number()), QString("0.2.M"));
        QCOMPARE(m->displayName(), QString("2.M"));
        QCOMPARE(named(2, handle(11, 1), "K")->displayName(5), QString("1.K"));

        SystemInfo_t info;
        info.kernelSn = 42;
        k->setSystemInfo(info);
        m->setSystemInfo(info);
        QCOMPARE(k->identityKey(), QString("K_00042"));
        QCOMPARE(m->identityKey(), QString());
        info.kernelSn = 1234567;
        k->setSystemInfo(info);
        QCOMPARE(k->identityKey(), QString("K_1234567"));
        QCOMPARE(named(1, handle(14, 0), "P")->identityKey(), QString("P_00000"));
    }

    void systemInfoReachesControllersOnly()
    {
        SystemInfo_t info;
        info.kernelSn = 1;
        info.kernelState = 4;
        info.phy1 = 20.5;
        info.vcc12 = 12.0;
        info.address = 17;
        info.cpuByte = 3;
        info.spare = {{9, 10, 11, 12}};

        const Device::Ptr_t tav = Device::create(2, handle(11, 0));
        tav->setSystemInfo(info);
        const Tav& t = static_cast<const Tav&>(*tav);
        QCOMPARE(t.serialNumber(), 1u);
        QCOMPARE(t.kernelState(), 4u);
        QCOMPARE(t.address(), quint8(17));
        QCOMPARE(tav->supplyFlags(), 3);
        QCOMPARE(tav->systemWord(), 10u);
        QCOMPARE(tav->readings(), (Device::Readings_t{{20.5, 0.0, 12.0, 0.0, 0.0}}));

        for (int c : {1, 3}) {
            const Device::Ptr_t d = Device::create(c, handle(10, 1));
            d->setSystemInfo(info);
            d->setSupplyFlags(1);
            QCOMPARE(d->supplyFlags(), -1);
            QCOMPARE(d->readings()[0], 0.0);
        }
    }

    void devicePartAndLists()
    {
        const Device::Ptr_t d = Device::create(2, handle(11, 0));
        // The device part is taken whatever kind the record names.
        AbstractConfig config;
        config.kind = 0;
        config.device.pollCntr = 1;
        config.device.label = "L";
        d->importConfig(config);
        AbstractConfig out;
        d->exportConfig(out);
        QCOMPARE(out.kind, 11);
        QCOMPARE(out.device, config.device);

        const NodeId_t id = QUuid::createUuid();
        d->addChild(id);
        d->addChild(id);
        d->addResource(id);
        d->addResource(id);
        QCOMPARE(d->childIds().size(), 1);
        QCOMPARE(d->resourceIds().size(), 2);
    }
};

QTEST_GUILESS_MAIN(DevicesTest)
#include "tst_devices.moc"
