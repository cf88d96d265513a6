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
#include <limits>

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

// The element of `r`, found as the reader finds it: by its owner's key and its text id.
Match resourceIs(const Device::Ptr_t& owner, const IoResource::Ptr_t& r)
{
    return [owner, r](const QJsonObject& e) {
        const QJsonObject info = e["info"].toObject();
        return info["owner"].toString() == owner->displayName()
            && info["id"].toString() == r->textId();
    };
}

// A refusal of the value `shown` of `key` in the element named by `place`; with `allowed` empty,
// whatever the field allows.
void refusedAs(const QString& rule, const QString& place, const QString& shown, const QString& key,
               const QString& allowed)
{
    const QString refusal = QString("%1: значение %2 ключа «%3» не помещается в поле: %4")
                                .arg(place, shown, key, allowed);
    if (allowed.isEmpty())
        QVERIFY2(rule.startsWith(refusal), qPrintable(rule));
    else
        QCOMPARE(rule, refusal);
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
        QCOMPARE(editElements(data, "Resources",
                              resourceIs(s.c0, model.ioResources(s.c0)[ResourceKind::Ain][1]),
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

        // Elements the reader cannot take, each named for the user.
        const QString c0Nid = s.c0->id().toString();
        QJsonObject twice = changed(deviceIs(s.c1), [&](QJsonObject& e) { e["nid"] = c0Nid; });
        QString firstKey;
        QString secondKey;
        for (const QJsonValue& e : twice["Devices"].toArray()) {
            if (e.toObject()["nid"].toString() == c0Nid)
                (firstKey.isEmpty() ? firstKey : secondKey) = e.toObject()["key"].toString();
        }
        QTest::newRow("one id on two devices")
            << twice << "устройства «" + firstKey + "» и «" + secondKey + "» записаны с одним идентификатором " + c0Nid;
        QTest::newRow("a type of another catalogue")
            << changed(deviceIs(s.m11), [](QJsonObject& e) { e["type"] = 0x7F000001; })
            << "тип устройства 2130706433 («" + keyOf(s.m11) + "») не входит в каталог этой марки";
        QJsonObject unreadable = data;
        QJsonArray entries = data["Devices"].toArray();
        entries.insert(1, QJsonObject{{"class", "TAV"}, {"type", 1}});
        unreadable["Devices"] = entries;
        QTest::newRow("an entry that is no device")
            << unreadable << "запись 2 списка устройств не описывает устройство";
        const auto resourceOf = [&data](int kind) {
            for (const QJsonValue& e : data["Resources"].toArray()) {
                const QJsonObject info = e.toObject()["info"].toObject();
                if (info["type"].toInt() == kind)
                    return info;
            }
            return QJsonObject();
        };
        const auto inResource = [&data](const QJsonObject& info, const Change& change) {
            return editedCopy(data, "Resources",
                              [info](const QJsonObject& e) { return e["info"].toObject() == info; },
                              change);
        };
        const QJsonObject din = resourceOf(ResourceKind::Din);
        const QString dinNamed = "устройство «" + din["owner"].toString() + "», канал «" + din["id"].toString() + "»: ";
        QTest::newRow("a record of an unknown kind")
            << inResource(din, [](QJsonObject& e) {
                   QJsonObject info = e["info"].toObject();
                   info["type"] = 9;
                   e["info"] = info;
               })
            << dinNamed + "неизвестный вид записи 9";
        QTest::newRow("a record of one kind filed as another")
            << inResource(din, [](QJsonObject& e) {
                   QJsonObject info = e["info"].toObject();
                   info["type"] = ResourceKind::Dout;
                   e["info"] = info;
               })
            << dinNamed + "запись вида dout у канала вида din";
        QTest::newRow("a record without settings")
            << inResource(din, [](QJsonObject& e) { e["settings"] = QJsonObject(); })
            << dinNamed + "нет настроек";
        QTest::newRow("a record whose settings are a list")
            << inResource(din, [](QJsonObject& e) { e["settings"] = QJsonArray{QJsonObject()}; })
            << dinNamed + "значение [{}] ключа «settings» не помещается в поле: допустим только объект в фигурных скобках";
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

        // A read that fails for another reason names that reason; a good one clears it.
        QVERIFY(!model.readJson(QJsonObject()));
        QCOMPARE(model.refusedRule(), QString("в файле нет ни одного устройства"));
        SystemModel good;
        buildSystem(good);
        model.clear();
        QVERIFY(!model.readJson(file));
        model.clear();
        QVERIFY(model.readJson(written(good)));
        QCOMPARE(model.refusedRule(), QString());
        QCOMPARE(model.brokenRule(), QString());
    }

    // The budgets of boards and devices bind the editor: a controller may hold more, and its
    // system opens and is written back as it came.
    void systemsBeyondTheBudgetsOpen_data()
    {
        QTest::addColumn<QJsonObject>("file");
        const auto builtWith = [](const std::function<void(SystemModel&)>& build) {
            SystemModel big;
            build(big);
            return written(big);
        };
        DeviceType_t oneBoard = 0;
        for (const DeviceType_t type : SettingsProvider::instance().pexTypes) {
            if (SettingsProvider::instance().templates.value(type).boardIds.size() == 1)
                oneBoard = type;
        }
        QVERIFY(oneBoard != 0);
        QTest::newRow("a controller and 23 one-board modules")
            << builtWith([oneBoard](SystemModel& m) {
                   const Device::Ptr_t c = m.addDevice(handleOf(kTav1020, 0));
                   for (int i = 1; i <= 23; ++i)
                       m.addDevice(handleOf(oneBoard, i, c->id()));
               });
        QTest::newRow("40 controllers")
            << builtWith([](SystemModel& m) {
                   for (int i = 0; i < 40; ++i)
                       m.addDevice(handleOf(kTav1020, i));
               });
        QTest::newRow("190 modules on one bus")
            << builtWith([this](SystemModel& m) {
                   const Device::Ptr_t c = m.addDevice(handleOf(kTav1020, 0));
                   for (int i = 1; i <= 190; ++i)
                       m.addDevice(handleOf(pexType, i, c->id()));
               });
        QTest::newRow("250 devices")
            << builtWith([](SystemModel& m) {
                   for (int i = 0; i < 250; ++i)
                       m.addDevice(handleOf(kTav1020, i));
               });
    }

    void systemsBeyondTheBudgetsOpen()
    {
        QFETCH(QJsonObject, file);
        SystemModel model;
        QVERIFY(model.readJson(file));
        QCOMPARE(model.refusedRule(), QString());
        QCOMPARE(model.brokenRule(), QString());
        QCOMPARE(QJsonDocument(written(model)).toJson(QJsonDocument::Compact),
                 QJsonDocument(file).toJson(QJsonDocument::Compact));
    }

    // A value its field cannot hold, of every key the reader takes, refuses the file with a
    // message that names the device (and the channel), the key and the value; the ends of each
    // field, and the texts of the singles JSON has no number for, are taken and written back as
    // they came.
    void valuesThatDoNotFitTheirField_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("allowed");
        const double single = std::numeric_limits<float>::max();
        const QString specials = ", «Infinity», «-Infinity», «-0» и «NaN»";
        const QString singles = "допустимы числа от -3.402823466e+38 до 3.402823466e+38" + specials;
        const QString doubles = "допустимы числа от -1.797693135e+308 до 1.797693135e+308" + specials;
        const QString flag = "допустимы true и false";
        const QString byte = "допустимы целые числа от 0 до 255";
        const QString word = "допустимы целые числа от 0 до 65535";
        const QString signedWord = "допустимы целые числа от -32768 до 32767";
        const QString longWord = "допустимы целые числа от -2147483648 до 4294967295";
        const QString signedLong = "допустимы целые числа от -2147483648 до 2147483647";
        const auto row = [](int kind, const QString& key, const QJsonValue& value,
                            const QString& shown, const QString& allowed) {
            const QString text =
                value.isString() ? value.toString() : QString::number(value.toDouble(), 'g', 10);
            const QString owner = kind == ResourceKind::None ? "device" : SettingsProvider::kindKey(kind);
            QTest::addRow("%s %s %s", qPrintable(owner), qPrintable(key),
                          qPrintable(shown.isEmpty() ? "fits: " + text : shown))
                << kind << key << value << shown << allowed;
        };
        row(ResourceKind::Ain, "range", 256, "256", byte);
        row(ResourceKind::Ain, "range", -1, "-1", byte);
        row(ResourceKind::Ain, "range", 255, QString(), QString());
        row(ResourceKind::Ain, "onePole", 32768, "32768", signedWord);
        row(ResourceKind::Ain, "onePole", 1.5, "1.5", signedWord);
        row(ResourceKind::Ain, "onePole", -32768, QString(), QString());
        row(ResourceKind::Ain, "median", 128, "128", "допустимы целые числа от -128 до 127");
        row(ResourceKind::Ain, "median", 127, QString(), QString());
        row(ResourceKind::Ain, "sc-min", -1e39, "-1e+39", singles);
        row(ResourceKind::Ain, "sc-min", -single, QString(), QString());
        row(ResourceKind::Ain, "sc-max", 1e300, "1e+300", singles);
        row(ResourceKind::Ain, "sc-max", single, QString(), QString());
        row(ResourceKind::Ain, "sc-offset", 3.5e38, "3.5e+38", singles);
        row(ResourceKind::Ain, "ts-type", 256, "256", byte);
        row(ResourceKind::Ain, "ts-type", 255, QString(), QString());
        row(ResourceKind::Ain, "thermo/rref", 2147483648.0, "2147483648", signedLong);
        row(ResourceKind::Ain, "thermo/tref", -2147483649.0, "-2147483649", signedLong);
        // A controller's single may hold what JSON has no number for.
        row(ResourceKind::Ain, "sc-min", "NaN", QString(), QString());
        row(ResourceKind::Ain, "sc-max", "NaN 0xffbd1eff", QString(), QString());
        row(ResourceKind::Ain, "sc-offset", "-Infinity", QString(), QString());
        row(ResourceKind::Ain, "sc-max", "-0", QString(), QString());
        row(ResourceKind::Ain, "thermo/ab-factor", "Infinity", QString(), QString());
        row(ResourceKind::Ain, "thermo/ab-factor", "-0", QString(), QString());
        row(ResourceKind::Aout, "save", 70000, "70000", word);
        row(ResourceKind::Aout, "save", -1, "-1", word);
        row(ResourceKind::Aout, "save", 9800.5, "9800.5", word);
        row(ResourceKind::Aout, "save", 65535, QString(), QString());
        row(ResourceKind::Din, "filter", -3, "-3", word);
        row(ResourceKind::Din, "filter", 65536, "65536", word);
        row(ResourceKind::Din, "filter", 65535, QString(), QString());
        row(ResourceKind::Dout, "save", 70000, "70000", signedWord);
        row(ResourceKind::Dout, "save", -32769, "-32769", signedWord);
        row(ResourceKind::Dout, "save", -32768, QString(), QString());
        row(ResourceKind::SerialPort, "address", 256, "256", byte);
        row(ResourceKind::SerialPort, "address", 255, QString(), QString());
        row(ResourceKind::SerialPort, "delay", 1e9, "1000000000", word);
        row(ResourceKind::SerialPort, "delay", 65535, QString(), QString());
        row(ResourceKind::SerialPort, "mode", -1, "-1", byte);
        row(ResourceKind::SerialPort, "baud", 4294967296.0, "4294967296", longWord);
        row(ResourceKind::SerialPort, "baud", -2147483648.0, QString(), QString());
        row(ResourceKind::SerialPort, "parity", 256, "256", byte);
        row(ResourceKind::SerialPort, "sbits", 1000, "1000", byte);
        row(ResourceKind::SerialPort, "safeTime", -2147483649.0, "-2147483649", longWord);
        row(ResourceKind::SerialPort, "safeTime", 2147483647, QString(), QString());
        // A value of another JSON type would read as 0 or false.
        row(ResourceKind::Ain, "range", "3", "\"3\"", byte);
        row(ResourceKind::Ain, "median", "1e2", "\"1e2\"", "допустимы целые числа от -128 до 127");
        row(ResourceKind::Ain, "onePole", true, "true", signedWord);
        row(ResourceKind::Ain, "freq60", 1, "1", flag);
        row(ResourceKind::Ain, "pollAin", "true", "\"true\"", flag);
        row(ResourceKind::Ain, "freq60", true, QString(), QString());
        row(ResourceKind::Ain, "sc-min", "NaN 0x7f800000", "\"NaN 0x7f800000\"", singles);
        row(ResourceKind::Ain, "sc-min", "nan", "\"nan\"", singles);
        row(ResourceKind::Ain, "sc-max", "Inf", "\"Inf\"", singles);
        row(ResourceKind::Ain, "sc-max", "NaN 0x7fc00000", "\"NaN 0x7fc00000\"", singles);
        row(ResourceKind::Ain, "sc-offset", "NaN 0xFFBD1EFF", "\"NaN 0xFFBD1EFF\"", singles);
        row(ResourceKind::Ain, "sc-offset", false, "false", singles);
        row(ResourceKind::Ain, "thermo/ab-factor", "0.00385", "\"0.00385\"", doubles);
        row(ResourceKind::Ain, "thermo/precision/A", "Infinity ", "\"Infinity \"", doubles);
        row(ResourceKind::Ain, "thermo/precision/C", "-Infinity", QString(), QString());
        row(ResourceKind::Ain, "thermo/rref", "100", "\"100\"", signedLong);
        row(ResourceKind::Aout, "save", "70000", "\"70000\"", word);
        row(ResourceKind::Aout, "save", "Infinity", "\"Infinity\"", word);
        row(ResourceKind::Din, "filter", true, "true", word);
        row(ResourceKind::Din, "ac", 1, "1", flag);
        row(ResourceKind::Din, "filterOn", "false", "\"false\"", flag);
        row(ResourceKind::Din, "pollCntr", QJsonArray{true}, "[true]", flag);
        row(ResourceKind::Din, "pollFreq", true, QString(), QString());
        row(ResourceKind::Dout, "save", false, "false", signedWord);
        row(ResourceKind::SerialPort, "baud", "19200", "\"19200\"", longWord);
        row(ResourceKind::SerialPort, "parity", QJsonObject(), "{}", byte);
        // The second device element: its values would read as device 0, the first revision, an
        // unnamed device or a new id.
        const QString bus = "допустимы целые числа от 0 до 2147483647";
        row(ResourceKind::None, "bus", "1", "\"1\"", bus);
        row(ResourceKind::None, "bus", 1.5, "1.5", bus);
        row(ResourceKind::None, "bus", -1, "-1", bus);
        row(ResourceKind::None, "revision", true, "true", signedLong);
        row(ResourceKind::None, "type", "1", "\"1\"", longWord);
        row(ResourceKind::None, "label", 12, "12", "допустим только текст в кавычках");
        row(ResourceKind::None, "nid", "no id", QString(), QString());
        // Every key the program writes has a form, and a list fits none of them.
        const std::function<void(int, const QJsonObject&, const QString&)> everyKey =
            [&](int kind, const QJsonObject& object, const QString& prefix) {
                for (auto it = object.begin(); it != object.end(); ++it) {
                    row(kind, prefix + it.key(), QJsonArray{}, "[]", QString());
                    if (it->isObject())
                        everyKey(kind, it->toObject(), prefix + it.key() + "/");
                }
            };
        for (int kind = ResourceKind::Ain; kind <= ResourceKind::SerialPort; ++kind) {
            const IoResource::Ptr_t r = IoResource::create(kind, QUuid::createUuid());
            // A thermometer's sensor object is written too.
            edit(r, [](AbstractConfig& c) { c.ain.range = 2; });
            QJsonObject json;
            QVERIFY(r->writeJson(json));
            everyKey(kind, json["settings"].toObject(), QString());
        }
        SystemModel model;
        buildSystem(model);
        for (const QJsonValue& e : written(model)["Devices"].toArray()) {
            if (e.toObject().contains("owner")) {
                everyKey(ResourceKind::None, e.toObject(), QString());
                break;
            }
        }
    }

    void valuesThatDoNotFitTheirField()
    {
        QFETCH(int, kind);
        QFETCH(QString, key);
        QFETCH(QJsonValue, value);
        QFETCH(QString, shown);
        QFETCH(QString, allowed);
        SystemModel model;
        buildSystem(model);
        QJsonObject data = written(model);
        if (kind == ResourceKind::None) {
            QJsonArray devices = data["Devices"].toArray();
            QJsonObject device = devices[1].toObject();
            device[key] = value;
            devices[1] = device;
            data["Devices"] = devices;
            SystemModel copy;
            QCOMPARE(copy.readJson(data), shown.isEmpty());
            if (!shown.isEmpty())
                refusedAs(copy.refusedRule(), "запись 2 списка устройств", shown, key, allowed);
            return;
        }
        const QStringList path = key.split('/');
        QJsonObject info;
        const auto firstOfKind = [kind, &info](const QJsonObject& e) {
            if (!info.isEmpty() || e["info"].toObject()["type"].toInt() != kind)
                return false;
            info = e["info"].toObject();
            return true;
        };
        const auto setValue = [&](QJsonObject& e) {
            QJsonObject settings = e["settings"].toObject();
            const std::function<QJsonObject(QJsonObject, int)> set = [&](QJsonObject o, int step) {
                o[path[step]] = step + 1 == path.size()
                                    ? value
                                    : QJsonValue(set(o[path[step]].toObject(), step + 1));
                return o;
            };
            settings = set(settings, 0);
            // A thermometer's range, whose sensor the file carries.
            if (path.size() > 1)
                settings["range"] = 2;
            e["settings"] = settings;
        };
        QCOMPARE(editElements(data, "Resources", firstOfKind, setValue), 1);

        SystemModel copy;
        if (shown.isEmpty()) {
            QVERIFY(copy.readJson(data));
            QJsonValue back;
            for (const QJsonValue& e : written(copy)["Resources"].toArray()) {
                if (e.toObject()["info"].toObject() != info)
                    continue;
                back = e.toObject()["settings"];
                for (const QString& step : path)
                    back = back.toObject()[step];
            }
            QCOMPARE(back.type(), value.type());
            QCOMPARE(back.toString(), value.toString());
            QCOMPARE(back.toDouble(), value.toDouble());
            return;
        }
        QTest::ignoreMessage(QtDebugMsg, "resourcesFromJson: 1 , wrong resources");
        QVERIFY(!copy.readJson(data));
        QVERIFY(!copy.flag());
        refusedAs(copy.refusedRule(),
                  QString("устройство «%1», канал «%2»").arg(info["owner"].toString(), info["id"].toString()),
                  shown, path.last(), allowed);
    }

    void hostileDevices()
    {
        SystemModel model;
        const System s = buildSystem(model);
        QJsonObject data = written(model);
        // A device named as its own owner is not its own module.
        editElements(data, "Devices", deviceIs(s.c0), [](QJsonObject& e) { e["owner"] = e["key"]; });
        SystemModel copy;
        QVERIFY(copy.readJson(data));
        const Device::Ptr_t c0 = copy.device(s.c0->id());
        QVERIFY(!c0->childIds().contains(c0->id()) && c0->owner().isNull());
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
