// The system as the configuration file's "data" object: round trips, matching by key texts, and
// the files the model refuses.
#include "catalogue/settingsprovider.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "model/systemmodel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

namespace {

using namespace ModelFixture;

QJsonObject written(const SystemModel& model)
{
    QJsonObject data;
    return model.writeJson(data) ? data : QJsonObject{{"failed", true}};
}

// Every resource's configuration under its device id and text id.
QMap<QString, AbstractConfig> configs(const SystemModel& model)
{
    QMap<QString, AbstractConfig> out;
    for (const IoResource::Ptr_t& r : model.resources()) {
        AbstractConfig config;
        r->exportConfig(config);
        out.insert(r->owner().toString() + "/" + r->textId(), config);
    }
    return out;
}

void edit(const IoResource::Ptr_t& r, const std::function<void(AbstractConfig&)>& change)
{
    AbstractConfig config;
    r->exportConfig(config);
    change(config);
    r->importConfig(config);
}

using Match = std::function<bool(const QJsonObject&)>;
using Change = std::function<void(QJsonObject&)>;

// Applies `change` to the elements of the array `key` that `match` picks; returns their count.
int editElements(QJsonObject& data, const QString& key, const Match& match, const Change& change)
{
    QJsonArray array = data[key].toArray();
    int count = 0;
    for (int i = 0; i < array.size(); ++i) {
        QJsonObject element = array[i].toObject();
        if (match(element)) {
            change(element);
            array[i] = element;
            ++count;
        }
    }
    data[key] = array;
    return count;
}

// A copy of `data` edited as editElements edits.
QJsonObject editedCopy(QJsonObject data, const QString& key, const Match& match,
                       const Change& change)
{
    editElements(data, key, match, change);
    return data;
}

Match deviceIs(const Device::Ptr_t& d)
{
    return [d](const QJsonObject& e) { return e["nid"].toString() == d->id().toString(); };
}

} // namespace

class SystemJsonTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;

    struct System
    {
        Device::Ptr_t c0, m01, m02, c1, m11;
    };

    // Two controllers with modules, labels, a group and edited settings of every kind.
    System buildSystem(SystemModel& model)
    {
        System s;
        s.c0 = model.addDevice(handleOf(kTav1020, 0));
        s.c1 = model.addDevice(handleOf(kTav1020, 1));
        s.m02 = model.addDevice(handleOf(pexType, 2, s.c0->id()));
        s.m01 = model.addDevice(handleOf(pexType, 1, s.c0->id()));
        s.m11 = model.addDevice(handleOf(pexType, 1, s.c1->id()));
        s.c0->setLabel("boiler room");
        DeviceHandle grouped = s.m01->handle();
        grouped.group = "north";
        model.changeGroup({grouped});

        const QMap<int, SystemModel::Resources_t> c0 = model.ioResources(s.c0);
        edit(c0[0][1], [](AbstractConfig& c) { c.ain.range = 1; c.ain.scMax = 20.0f; });
        edit(c0[1][0], [](AbstractConfig& c) { c.aout.save = 1234; });
        edit(c0[3][7], [](AbstractConfig& c) { c.dout.save = 1; });
        edit(c0[4][1], [](AbstractConfig& c) { c.port.baud = 9600; c.port.address = 7; });
        const IoResource::Ptr_t din = model.ioResources(s.m01)[ResourceKind::Din][0];
        edit(din, [](AbstractConfig& c) { c.din.filter = 7; c.din.pollFreq = true; });
        model.resourceSettingsChanged({s.m01->id()}, din->id());
        const IoResource::Ptr_t ain = model.ioResources(s.c1)[ResourceKind::Ain][2];
        edit(ain, [](AbstractConfig& c) { c.ain.pollAin = 2; });
        model.resourceSettingsChanged({s.c1->id()}, ain->id());
        return s;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        const SettingsProvider& provider = SettingsProvider::instance();
        QVERIFY(provider.templates.contains(kTav1020));
        for (const DeviceType_t type : provider.pexTypes) {
            for (const IoChannel& channel : provider.templates.value(type).channels) {
                if (channel.kind == ResourceKind::Din && !pexType)
                    pexType = type;
            }
        }
        QVERIFY(pexType != 0);
    }

    void roundTripKeepsDevicesTreeAndSettings()
    {
        SystemModel model;
        const System s = buildSystem(model);
        QJsonObject data = written(model);
        QCOMPARE(data.keys(), QStringList({"Devices", "Resources", "dataSize"}));
        QCOMPARE(data["dataSize"].toObject(), SettingsProvider::instance().defaultTypes);
        QCOMPARE(data["Resources"].toArray().size(), model.resources().size());
        QJsonObject element;
        editElements(data, "Devices", deviceIs(s.m01),
                     [&element](QJsonObject& e) { element = e; });
        QCOMPARE(element["key"].toString(), "0.1." + s.m01->name());
        QCOMPARE(element["owner"].toString(), s.c0->name());

        SystemModel copy;
        QSignalSpy changed(&copy, &SystemModel::changed);
        QVERIFY(copy.readJson(data));
        QVERIFY(copy.flag());
        QCOMPARE(changed.count(), 1);
        QVERIFY(changed.at(0).at(0).value<QList<NodeId_t>>().isEmpty());

        const QList<DeviceHandle> before = model.deviceHandles();
        const QList<DeviceHandle> after = copy.deviceHandles();
        QCOMPARE(after.size(), 5);
        for (int i = 0; i < before.size(); ++i) {
            QCOMPARE(after[i].id, before[i].id);
            QCOMPARE(after[i].owner, before[i].owner);
            QCOMPARE(after[i].number, before[i].number);
            QCOMPARE(after[i].type, before[i].type);
            QCOMPARE(after[i].revision, before[i].revision);
            QCOMPARE(after[i].group, before[i].group);
            QCOMPARE(copy.device(after[i].id)->label(), model.device(before[i].id)->label());
        }
        QCOMPARE(configs(copy), configs(model));
        AbstractConfig part;
        copy.device(s.c1->id())->exportConfig(part);
        QCOMPARE(part.device.pollAin, 2u);
        copy.device(s.m01->id())->exportConfig(part);
        QCOMPARE(part.device.pollFreq, quint8(1));

        // Resource ids are not stored: fresh ones, with registers and pairs.
        for (const NodeId_t& id : copy.resources().keys())
            QVERIFY(!model.resource(id));
        const SystemModel::Resources_t ains = copy.resourcesOfKind(ResourceKind::Ain);
        QCOMPARE(ains[1]->role(ValueRole::AinValue).offset, 2u);
        QCOMPARE(ains[1]->partner(), ains[0]);

        QCOMPARE(QJsonDocument(written(copy)).toJson(), QJsonDocument(data).toJson());
    }

    void elementsAreMatchedByKeyTexts()
    {
        SystemModel model;
        const System s = buildSystem(model);
        QJsonObject data = written(model);
        // Without "nid" a device gets a fresh id and still finds its owner and resources.
        QCOMPARE(editElements(data, "Devices", deviceIs(s.m01), [](QJsonObject& e) { e.remove("nid"); }), 1);
        // An element naming no resource is skipped; the resource keeps its template settings.
        const QString edited =
            model.ioResources(s.c0)[ResourceKind::Ain][1]->jsonKey(s.c0->displayName());
        QCOMPARE(editElements(data, "Resources",
                              [&](const QJsonObject& e) { return IoResource::jsonKey(e) == edited; },
                              [](QJsonObject& e) { IoResource::setJsonOwner(e, "nobody"); }),
                 1);

        SystemModel copy;
        QVERIFY(copy.readJson(data));
        QCOMPARE(copy.devices().size(), 5);
        QVERIFY(!copy.device(s.m01->id()));
        Device::Ptr_t fresh;
        for (const Device::Ptr_t& d : copy.devices()) {
            if (!model.device(d->id()))
                fresh = d;
        }
        QCOMPARE(fresh->owner(), s.c0->id());
        QVERIFY(copy.device(s.c0->id())->childIds().contains(fresh->id()));
        QCOMPARE(fresh->group(), QString("north"));
        AbstractConfig config;
        copy.ioResources(fresh)[ResourceKind::Din][0]->exportConfig(config);
        QCOMPARE(config.din.filter, quint16(7));

        QCOMPARE(copy.deviceHandles().size(), 5);

        const QMap<int, SystemModel::Resources_t> c0 = copy.ioResources(copy.device(s.c0->id()));
        c0[ResourceKind::Ain][1]->exportConfig(config);
        QCOMPARE(config.ain.range, 0);
        c0[ResourceKind::Aout][0]->exportConfig(config);
        QCOMPARE(config.aout.save, quint16(1234));
    }

    // However a file orders the resource elements, each one reaches its own resource.
    void resourceElementsAreFoundInAnyOrder_data()
    {
        QTest::addColumn<int>("arrangement");
        QTest::newRow("as written") << 0;
        QTest::newRow("reversed") << 1;
        QTest::newRow("devices taking turns") << 2;
        QTest::newRow("first element last") << 3;
    }

    void resourceElementsAreFoundInAnyOrder()
    {
        QFETCH(int, arrangement);
        SystemModel model;
        buildSystem(model);
        const QJsonObject data = written(model);
        QList<QJsonObject> elements;
        for (const QJsonValue& e : data["Resources"].toArray())
            elements << e.toObject();
        if (arrangement == 1) {
            std::reverse(elements.begin(), elements.end());
        } else if (arrangement == 2) {
            QStringList owners;
            QMap<QString, QList<QJsonObject>> byOwner;
            for (const QJsonObject& e : elements) {
                const QString owner = e["info"].toObject()["owner"].toString();
                if (!owners.contains(owner))
                    owners << owner;
                byOwner[owner] << e;
            }
            elements.clear();
            for (int i = 0; elements.size() < data["Resources"].toArray().size(); ++i) {
                for (const QString& owner : owners) {
                    if (i < byOwner[owner].size())
                        elements << byOwner[owner][i];
                }
            }
        } else if (arrangement == 3) {
            elements.move(0, elements.size() - 1);
        }
        QJsonArray array;
        for (const QJsonObject& e : elements)
            array.append(e);
        QJsonObject arranged = data;
        arranged["Resources"] = array;

        SystemModel copy;
        QVERIFY(copy.readJson(arranged));
        QCOMPARE(QJsonDocument(written(copy)).toJson(QJsonDocument::Compact),
                 QJsonDocument(data).toJson(QJsonDocument::Compact));
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QJsonObject>("file");
        QTest::addColumn<bool>("wrongResource");
        SystemModel model;
        const System s = buildSystem(model);
        const QJsonObject data = written(model);
        const auto changed = [&data](const QString& key, const Match& match, const Change& change) {
            return editedCopy(data, key, match, change);
        };
        int seen = 0;
        const auto first = [&seen](const QJsonObject&) { return seen++ == 0; };
        const auto withArray = [&data](const QString& key, const QJsonValue& value) {
            QJsonObject copy = data;
            copy[key] = value;
            return copy;
        };
        QJsonArray devices = data["Devices"].toArray();
        const QString c0Nid = s.c0->id().toString();

        QTest::newRow("no devices") << withArray("Devices", QJsonArray()) << false;
        QTest::newRow("devices not an array") << withArray("Devices", QJsonObject()) << false;
        QTest::newRow("duplicate nid")
            << changed("Devices", deviceIs(s.c1), [&](QJsonObject& e) { e["nid"] = c0Nid; }) << false;
        devices.append(QJsonObject{{"class", "TAV"}, {"type", 1}});
        QTest::newRow("rejected device") << withArray("Devices", devices) << false;
        devices.last() = QJsonObject{{"class", "tav"}, {"type", 0x7F000001}};
        QTest::newRow("unknown type") << withArray("Devices", devices) << false;
        QTest::newRow("no resources") << withArray("Resources", QJsonArray()) << false;
        QTest::newRow("resources not an array") << withArray("Resources", 5) << false;
        QTest::newRow("empty settings")
            << changed("Resources", first, [](QJsonObject& e) { e["settings"] = QJsonObject(); }) << true;
        // Settings of another kind would land field by field in the wrong record.
        QTest::newRow("another kind")
            << changed("Resources", [](const QJsonObject&) { return true; },
                       [](QJsonObject& e) {
                           QJsonObject info = e["info"].toObject();
                           if (info["type"].toInt() == ResourceKind::Din)
                               info["type"] = ResourceKind::Dout;
                           e["info"] = info;
                       })
            << true;
        // Two controllers under one number would be written under one key, and the next read
        // would give one of them the other's settings.
        QTest::newRow("two devices one number")
            << changed("Devices", deviceIs(s.c1), [](QJsonObject& e) { e["bus"] = 0; }) << false;
        QTest::newRow("two devices one key")
            << changed("Devices", deviceIs(s.c1), [&](QJsonObject& e) {
                   for (const QJsonValue& d : data["Devices"].toArray()) {
                       if (d.toObject()["nid"].toString() == c0Nid)
                           e["key"] = d.toObject()["key"];
                   }
               })
            << false;
        QTest::newRow("empty object") << QJsonObject() << false;
        // An empty system is written, but reading it back fails.
        QTest::newRow("empty system") << written(SystemModel()) << false;
    }

    void refusedFiles()
    {
        QFETCH(QJsonObject, file);
        QFETCH(bool, wrongResource);
        if (wrongResource)
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^resourcesFromJson: \\d+ , wrong resources$"));
        SystemModel model;
        model.setFlag(true);
        QSignalSpy changed(&model, &SystemModel::changed);
        QVERIFY(!model.readJson(file));
        QVERIFY(!model.flag());
        QVERIFY(changed.isEmpty());
    }

    // Files that describe no system the program could have written: each refused with the rule
    // it breaks, named for the user.
    void brokenRulesAreNamed_data()
    {
        QTest::addColumn<QJsonObject>("file");
        QTest::addColumn<QString>("rule");
        SystemModel model;
        const System s = buildSystem(model);
        const QJsonObject data = written(model);
        const auto changed = [&data](const Match& match, const Change& change) {
            return editedCopy(data, "Devices", match, change);
        };
        const QString c0 = s.c0->name();
        const QString c1 = "1." + s.c1->name();
        const QString m01 = "0.1." + s.m01->name();
        const auto keyOf = [&data](const Device::Ptr_t& d) {
            for (const QJsonValue& e : data["Devices"].toArray()) {
                if (e.toObject()["nid"].toString() == d->id().toString())
                    return e.toObject()["key"].toString();
            }
            return QString();
        };

        // Built by the model itself, as a faulty editor would have left them.
        const auto builtWith = [](const std::function<void(SystemModel&)>& build) {
            SystemModel big;
            build(big);
            return written(big);
        };
        DeviceTemplate tav;
        QVERIFY(SettingsProvider::instance().deviceTemplate(kTav1020, -1, &tav, true));
        const int pexBoards = SettingsProvider::instance().templates.value(pexType).boardIds.size();
        QTest::newRow("40 controllers")
            << builtWith([](SystemModel& m) {
                   for (int i = 0; i < 40; ++i)
                       m.addDevice(handleOf(kTav1020, i));
               })
            << QString("слишком много плат ввода-вывода: %1, допустимо не более 22").arg(40 * tav.boardIds.size());
        QTest::newRow("190 modules on one bus")
            << builtWith([this](SystemModel& m) {
                   const Device::Ptr_t c = m.addDevice(handleOf(kTav1020, 0));
                   for (int i = 1; i <= 190; ++i)
                       m.addDevice(handleOf(pexType, i, c->id()));
               })
            << QString("слишком много плат ввода-вывода: %1, допустимо не более 22")
                   .arg(tav.boardIds.size() + 190 * pexBoards);
        QTest::newRow("250 devices outside the board budget")
            << builtWith([](SystemModel& m) {
                   for (int i = 0; i < 250; ++i)
                       m.addDevice(handleOf(kTav1020, i));
               })
            << "слишком много устройств: 250, допустимо не более 245";

        QTest::newRow("two controllers numbered 0")
            << changed(deviceIs(s.c1), [](QJsonObject& e) { e["bus"] = 0; }) << "два контроллера с номером 0";
        QTest::newRow("controller far off")
            << changed(deviceIs(s.c1), [](QJsonObject& e) { e["bus"] = 2147483647; })
            << "нет контроллера с номером 1";
        QTest::newRow("two modules numbered 1")
            << changed(deviceIs(s.m02), [](QJsonObject& e) { e["bus"] = 1; })
            << "у контроллера «" + c0 + "» два модуля с номером 1";
        QTest::newRow("module numbered 0")
            << changed(deviceIs(s.m11), [](QJsonObject& e) { e["bus"] = 0; })
            << "устройство «1." + s.m11->name() + "» имеет недопустимый номер 0";
        QTest::newRow("module owning itself")
            << changed(deviceIs(s.m01), [](QJsonObject& e) { e["owner"] = e["key"]; })
            << "модуль «1." + s.m01->name() + "» не подключён к контроллеру";
        QTest::newRow("module owned by a module")
            << changed(deviceIs(s.m02), [&](QJsonObject& e) { e["owner"] = keyOf(s.m01); })
            << "модуль «1.2." + s.m02->name() + "» не подключён к контроллеру";
        QTest::newRow("module owner names no key")
            << changed(deviceIs(s.m11), [](QJsonObject& e) { e["owner"] = "no such controller"; })
            << "модуль «1." + s.m11->name() + "» не подключён к контроллеру";
        QJsonObject mutual = changed(deviceIs(s.c0), [&](QJsonObject& e) { e["owner"] = keyOf(s.c1); });
        editElements(mutual, "Devices", deviceIs(s.c1), [&](QJsonObject& e) { e["owner"] = keyOf(s.c0); });
        QTest::newRow("controllers owning each other")
            << mutual << QString("контроллер «%1» подключён к другому устройству").arg(s.c0->id() < s.c1->id() ? c0 : c1);
        QJsonObject onlyModule = data;
        QJsonArray devices;
        for (const QJsonValue& e : data["Devices"].toArray()) {
            if (deviceIs(s.m11)(e.toObject()))
                devices.append(e);
        }
        onlyModule["Devices"] = devices;
        QTest::newRow("only a module") << onlyModule << "модуль «1." + s.m11->name() + "» не подключён к контроллеру";
        // Resources find their module by the file's key texts, owners by their own.
        QTest::newRow("two devices one key")
            << changed(deviceIs(s.m02), [&](QJsonObject& e) { e["key"] = keyOf(s.m01); })
            << "два устройства с именем «" + m01 + "»";
    }

    void brokenRulesAreNamed()
    {
        QFETCH(QJsonObject, file);
        QFETCH(QString, rule);
        SystemModel model;
        QSignalSpy changed(&model, &SystemModel::changed);
        QVERIFY(!model.readJson(file));
        QVERIFY(!model.flag());
        QVERIFY(changed.isEmpty());
        QCOMPARE(model.refusedRule(), rule);

        // A read that fails for another reason names no rule; a good one clears it.
        QVERIFY(!model.readJson(QJsonObject()));
        QCOMPARE(model.refusedRule(), QString());
        SystemModel good;
        buildSystem(good);
        model.clear();
        QVERIFY(!model.readJson(file));
        model.clear();
        QVERIFY(model.readJson(written(good)));
        QCOMPARE(model.refusedRule(), QString());
        QCOMPARE(model.brokenRule(), QString());
    }

    void hostileDevices()
    {
        SystemModel model;
        const System s = buildSystem(model);
        QJsonObject data = written(model);
        // A device named as its own owner is not its own module.
        editElements(data, "Devices", deviceIs(s.c0), [](QJsonObject& e) { e["owner"] = e["key"]; });
        editElements(data, "Devices", deviceIs(s.c1), [](QJsonObject& e) {
            e["label"] = QJsonArray{1};
            e["group"] = 3.5;
        });
        SystemModel copy;
        QVERIFY(copy.readJson(data));
        const Device::Ptr_t c0 = copy.device(s.c0->id());
        QVERIFY(!c0->childIds().contains(c0->id()) && c0->owner().isNull());
        QCOMPARE(copy.device(s.c1->id())->label(), QString());
        QCOMPARE(copy.deviceHandles().at(3).id, s.c1->id());
        QJsonObject out;
        QVERIFY(copy.writeJson(out));
    }

    // A read builds the devices of one type from one template of the catalogue, each by its own
    // revision: the revision names the model and decides the sourcing inputs.
    void readDevicesTakeTheirOwnRevision_data()
    {
        QTest::addColumn<QList<int>>("revisions");
        QTest::newRow("revision 4 and 0") << QList<int>{4, 0};
        QTest::newRow("any and 4") << QList<int>{-1, 4};
        QTest::newRow("0, 4 and any") << QList<int>{0, 4, -1};
    }

    void readDevicesTakeTheirOwnRevision()
    {
        QFETCH(QList<int>, revisions);
        SystemModel model;
        const Device::Ptr_t c = model.addDevice(handleOf(kTav1020, 0));
        for (int i = 0; i < revisions.size(); ++i) {
            DeviceHandle h = handleOf(pexType, i + 1, c->id());
            h.revision = revisions.at(i);
            QVERIFY(model.addDevice(h));
        }
        const auto subTypes = [](const SystemModel& m, const Device::Ptr_t& d) {
            QList<quint32> subs;
            for (const IoResource::Ptr_t& r : m.deviceResources(d->id(), false))
                subs << r->subType();
            return subs;
        };
        SystemModel copy;
        QVERIFY(copy.readJson(written(model)));
        for (const Device::Ptr_t& d : model.devices()) {
            const Device::Ptr_t read = copy.device(d->id());
            QVERIFY(read);
            QCOMPARE(read->revision(), d->revision());
            QCOMPARE(read->name(), d->name());
            QCOMPARE(subTypes(copy, read), subTypes(model, d));
        }
    }

    // Systems saved by the program, with settings of every kind away from their defaults, labels
    // and groups, are written back byte for byte once opened: key names, value types and number
    // forms stay what the files hold.
    void savedSystemsAreWrittenBackUnchanged_data()
    {
        QTest::addColumn<QString>("path");
        const QDir saved(QFileInfo(QFINDTESTDATA("../fuzz/corpus/fuzz_systemjson/plant.json")).path());
        const QStringList names = saved.entryList({"*.json"}, QDir::Files);
        QVERIFY(names.size() >= 3);
        for (const QString& name : names)
            QTest::newRow(qPrintable(name)) << saved.filePath(name);
    }

    void savedSystemsAreWrittenBackUnchanged()
    {
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll().trimmed();
        SystemModel model;
        QVERIFY(model.readJson(QJsonDocument::fromJson(text).object()));
        QCOMPARE(QJsonDocument(written(model)).toJson(QJsonDocument::Compact), text);
    }
};

QTEST_GUILESS_MAIN(SystemJsonTest)
#include "tst_systemjson.moc"
