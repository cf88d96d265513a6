// Configuration files: what a save writes, what a load accepts, and that neither a failed save nor
// a failed load costs the user the configuration they had.
#include "model/ain.h"
#include "appfixture.h"
#include "shell/configurationstorage.h"
#include "support/isolatedenvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>


using namespace AppFixture;

namespace {

QByteArray systemJson(const SystemModel& model)
{
    QJsonObject data;
    return model.writeJson(data) ? QJsonDocument(data).toJson() : "write failed";
}

// The "data" object as the file holds it, found in the text and moved back to column 0, so the
// checksum is checked without the JSON writer that made the file.
QByteArray dataText(const QByteArray& file)
{
    const QByteArray open = "        \"data\": {\n";
    const int from = file.indexOf(open);
    const int to = file.indexOf("\n        }\n", from);
    if (from < 0 || to < 0)
        return QByteArray();
    QByteArray text = "{\n";
    for (const QByteArray& line : file.mid(from + open.size(), to - from - open.size()).split('\n'))
        text += line.mid(8) + '\n';
    return text + "}\n";
}

QByteArray withConfiguration(const QJsonObject& configuration,
                             QJsonDocument::JsonFormat format = QJsonDocument::Indented)
{
    return QJsonDocument(QJsonObject{{"Configuration", configuration}}).toJson(format);
}

QString md5(const QByteArray& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex());
}

} // namespace

class ConfigurationStorageTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;

    QString path(const QString& name) const { return QDir(env.path()).filePath(name); }

    // Controller 0 with a module and controller 1, with settings away from the defaults.
    void buildSystem(SystemModel& model)
    {
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        model.addDevice(handleOf(pexType, 1, c0->id()));
        model.addDevice(handleOf(kTav1020, 1))->setLabel(QStringLiteral("Насосная 2"));
        const IoResource::Ptr_t ain = model.resourcesOfKind(ResourceKind::Ain).at(1);
        AbstractConfig config;
        ain->exportConfig(config);
        config.ain.range = Ain::Current;
        config.ain.scMax = 16.5f;
        ain->importConfig(config);
    }

    QJsonObject savedData()
    {
        SystemModel model;
        buildSystem(model);
        ConfigurationStorage storage(&model);
        storage.setFileName(path("source.tavc"));
        return storage.save() ? storage.lastData() : QJsonObject();
    }

private slots:
    void initTestCase()
    {
        pexType = loadCatalogue();
        QVERIFY(pexType != 0);
        QCOMPARE(SettingsProvider::instance().mode, 1);
    }

    void saveThenLoadGivesTheSameSystem()
    {
        SystemModel model;
        buildSystem(model);
        ConfigurationStorage storage(&model);
        QCOMPARE(storage.fileName(), QStringLiteral("untitled"));
        storage.setFileName(path("plant.tavc"));
        QVERIFY(storage.save());

        const QByteArray file = readAll(storage.fileName());
        QVERIFY(file.startsWith("{\n    \"Configuration\": {\n        \"cs\": \""));
        const QJsonObject root = QJsonDocument::fromJson(file).object();
        QCOMPARE(root.keys(), QStringList({"Configuration", "Vendor"}));
        QCOMPARE(root["Vendor"].toString(), QStringLiteral("drovanix"));
        const QJsonObject configuration = root["Configuration"].toObject();
        const QByteArray data = dataText(file);
        QVERIFY(data.contains("\"Devices\": ["));
        QCOMPARE(configuration["cs"].toString(), md5(data));
        QCOMPARE(storage.lastData(), configuration["data"].toObject());

        // Loading replaces whatever system the model held.
        SystemModel loaded;
        loaded.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage reader(&loaded);
        QVERIFY(reader.load(storage.fileName()));
        QCOMPARE(reader.fileName(), storage.fileName());
        QCOMPARE(reader.lastData(), storage.lastData());
        QCOMPARE(systemJson(loaded), systemJson(model));
        QCOMPARE(loaded.devices().keys(), model.devices().keys());

        QVERIFY(reader.save());
        QCOMPARE(readAll(storage.fileName()), file);

        // Outside mode 1 files carry no checksum.
        SettingsProvider::instance().mode = 0;
        const bool saved = reader.save();
        SettingsProvider::instance().mode = 1;
        QVERIFY(saved);
        QVERIFY(readAll(storage.fileName()).contains("\"cs\": \"skip_checking_cs\""));
    }

    void integrityCheck()
    {
        const QJsonObject data = savedData();
        const QString sum = md5(QJsonDocument(data).toJson());
        QByteArray edited = withConfiguration({{"data", data}, {"cs", sum}});
        const int at = edited.indexOf("16.5");
        QVERIFY(at > edited.indexOf("\"data\""));
        edited[at + 3] = '6';
        QVERIFY(writeAll(path("edited.tavc"), edited));

        SystemModel model;
        ConfigurationStorage storage(&model);
        QVERIFY(!storage.load(path("edited.tavc")));
        QCOMPARE(storage.lastErrorCode(), 10);
        QCOMPARE(storage.lastErrorSubCode(), 7);
        QCOMPARE(ConfigurationStorage::loadErrorMessage(storage.lastError(), "edited.tavc"),
                 QStringLiteral("Не могу открыть файл, Ошибка целостности\nedited.tavc"));

        // A file edited on purpose loads with the check switched off; layout never matters.
        QVERIFY(writeAll(path("skipped.tavc"), edited.replace(sum.toLatin1(), "skip_checking_cs")));
        QVERIFY(storage.load(path("skipped.tavc")));
        QCOMPARE(model.devices().size(), 3);
        QVERIFY(writeAll(path("compact.tavc"),
                         withConfiguration({{"data", data}, {"cs", sum}}, QJsonDocument::Compact)));
        QVERIFY(storage.load(path("compact.tavc")));
        QVERIFY(writeAll(path("upper.tavc"),
                         withConfiguration({{"data", data}, {"cs", sum.toUpper()}})));
        QVERIFY(!storage.load(path("upper.tavc")));
        QCOMPARE(storage.lastErrorSubCode(), 7);
    }

    void loadErrors_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("subCode");
        const QJsonObject data = savedData();
        const QString skip = QStringLiteral("skip_checking_cs");

        QTest::newRow("missing file") << QByteArray() << 8 << 1;
        QTest::newRow("directory") << QByteArray() << 8 << 1;
        QTest::newRow("truncated") << withConfiguration({{"data", data}}).left(300) << 8 << 2;
        QTest::newRow("array") << QByteArray("[1, 2]") << 10 << 4;
        QTest::newRow("no data") << withConfiguration({{"cs", skip}}) << 10 << 5;
        QTest::newRow("empty data") << withConfiguration({{"data", QJsonObject()}, {"cs", skip}}) << 10 << 11;
        QTest::newRow("data not an object") << withConfiguration({{"data", 5}, {"cs", skip}}) << 10 << 11;
        QTest::newRow("no cs") << withConfiguration({{"data", data}}) << 10 << 6;
        QTest::newRow("cs not a string") << withConfiguration({{"data", data}, {"cs", 7}}) << 10 << 7;
        QTest::newRow("no devices")
            << withConfiguration({{"data", QJsonObject{{"Devices", QJsonArray()}}}, {"cs", skip}}) << 14 << 12;

        // The reader fails half-way: devices built, then a resource of the wrong kind.
        QJsonObject broken = data;
        QJsonArray resources = broken["Resources"].toArray();
        QJsonObject resource = resources[0].toObject();
        QJsonObject info = resource["info"].toObject();
        info["type"] = (info["type"].toInt() + 1) % 4;
        resource["info"] = info;
        resources[0] = resource;
        broken["Resources"] = resources;
        QTest::newRow("bad resource") << withConfiguration({{"data", broken}, {"cs", skip}}) << 14 << 12;
    }

    // A failed load leaves the model, the file name and the last data as they were.
    void loadErrors()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(int, subCode);
        QString file = path("load.tavc");
        QFile::remove(file);
        if (QByteArray(QTest::currentDataTag()) == "directory")
            file = env.path();
        else if (!content.isEmpty())
            QVERIFY(writeAll(file, content));

        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        storage.setFileName(path("current.tavc"));
        QVERIFY(storage.save());
        const QByteArray before = systemJson(model);
        const QList<NodeId_t> resources = model.resources().keys();
        const QJsonObject lastData = storage.lastData();
        QSignalSpy changed(&model, &SystemModel::changed);

        QVERIFY(!storage.load(file));
        QCOMPARE(storage.lastErrorCode(), code);
        QCOMPARE(storage.lastErrorSubCode(), subCode);
        QCOMPARE(systemJson(model), before);
        QCOMPARE(model.resources().keys(), resources);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(storage.fileName(), path("current.tavc"));
        QCOMPARE(storage.lastData(), lastData);
        QCOMPARE(ConfigurationStorage::loadErrorText(code, subCode),
                 QStringLiteral("Не могу открыть файл, ")
                     + (code == 8 ? "Неправильный формат"
                                  : subCode == 7 ? "Ошибка целостности" : "Неизвестная ошибка"));
    }

    // In English the message is one sentence: what failed, then why.
    void englishLoadErrorIsOneSentence_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("subCode");
        QTest::addColumn<QString>("text");
        QTest::newRow("format") << 8 << 1 << "Cannot open the file: its format is not recognised.";
        QTest::newRow("integrity") << 10 << 7 << "Cannot open the file: its contents are damaged.";
        QTest::newRow("other") << 27 << 12 << "Cannot open the file: the reason is unknown.";
    }

    void englishLoadErrorIsOneSentence()
    {
        QFETCH(int, code);
        QFETCH(int, subCode);
        QFETCH(QString, text);
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(TAV_I18N_DIR "/tavcfg_en.qm")));
        QCoreApplication::installTranslator(&english);
        const QString shown = ConfigurationStorage::loadErrorText(code, subCode);
        QCoreApplication::removeTranslator(&english);
        QCOMPARE(shown, text);
    }

    void parseErrorQuotesAroundTheError()
    {
        // The error sits early in a long file: the message quotes 30 bytes, not the rest.
        const QByteArray content = "{\"Configuration\": {\"cs\": 12 13, \"data\": \""
                                   + QByteArray(5000, 'a') + "\"}}";
        QVERIFY(writeAll(path("syntax.tavc"), content));
        SystemModel model;
        ConfigurationStorage storage(&model);
        QVERIFY(!storage.load(path("syntax.tavc")));
        QJsonParseError parse;
        QJsonDocument::fromJson(content, &parse);
        QCOMPARE(storage.lastErrorText(), parse.errorString()
                                              + QStringLiteral(", offset=%1, data: ").arg(parse.offset)
                                              + QString::fromLatin1(content.mid(parse.offset - 10, 30)));
        QVERIFY(storage.lastErrorText().endsWith(", data: \"cs\": 12 13, \"data\": \"aaaaaaaa"));
    }

    void failedSaveKeepsTheOldFile()
    {
        SystemModel model;
        buildSystem(model);
        ConfigurationStorage storage(&model);

        // A target that is a folder, or under a file (tests run as root, so no permission errors).
        storage.setFileName(env.path());
        QVERIFY(!storage.save());
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 1);
        QVERIFY(writeAll(path("plain"), "keep"));
        storage.setFileName(path("plain/inner.tavc"));
        QVERIFY(!storage.save());
        QCOMPARE(readAll(path("plain")), QByteArray("keep"));
    }

    // The disk fills up half-way through the new text; a file-size limit stands in for it. A text
    // shorter than the file's write buffer reaches the disk only when the file is put in place.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("large");
        QTest::addColumn<int>("subCode");
        QTest::newRow("small configuration") << false << 16;
        QTest::newRow("large configuration") << true << 17;
    }

    void fullDiskKeepsTheOldFile()
    {
        QFETCH(bool, large);
        QFETCH(int, subCode);
        SystemModel model;
        if (large)
            buildSystem(model);
        else
            model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        const QString folder = path(QTest::currentDataTag());
        QDir().mkpath(folder);
        storage.setFileName(folder + "/plant.tavc");
        QVERIFY(storage.save());
        const QByteArray old = readAll(storage.fileName());
        QCOMPARE(old.size() > 16384, large);

        model.devices().first()->setLabel(QStringLiteral("Котельная"));
        bool saved = true;
        QVERIFY(withFileSizeLimit(rlim_t(old.size() / 2), [&] { saved = storage.save(); }));
        QVERIFY(!saved);
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), subCode);
        QCOMPARE(readAll(storage.fileName()), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"plant.tavc"}));
        QVERIFY(storage.save());
        QVERIFY(readAll(storage.fileName()).contains("Котельная"));
    }

    // A shared folder where the user may change the file but not add one: there is no room for a
    // temporary file, so the file is written in place; a new file there is still refused.
    void saveInFolderWithoutCreateRights()
    {
        QTemporaryDir shared;
        const QString folder = shared.filePath("locked");
        const QString target = folder + "/plant.tavc";
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(writeAll(target, "old"));
        const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser
                          | QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        const auto listable = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser
                              | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(target, open));
        QVERIFY(QFile::setPermissions(shared.path(), listable | QFile::WriteOwner | QFile::WriteUser));
        QVERIFY(QFile::setPermissions(folder, listable));

        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        bool reachable = false;
        bool saved = false;
        bool created = true;
        const bool asUser = asOrdinaryUser([&] {
            reachable = QFile(target).open(QIODevice::ReadOnly);
            storage.setFileName(target);
            saved = storage.save();
            storage.setFileName(folder + "/new.tavc");
            created = storage.save();
        });
        QFile::setPermissions(folder, listable | QFile::WriteOwner | QFile::WriteUser);
        if (!asUser || !reachable)
            QSKIP("the temporary folder cannot be reached with an ordinary user's rights");

        QVERIFY(saved);
        QVERIFY(!created);
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 1);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"plant.tavc"}));
        SystemModel loaded;
        ConfigurationStorage reader(&loaded);
        QVERIFY(reader.load(target));
        QCOMPARE(systemJson(loaded), systemJson(model));
    }

    void csvExportKeepsTheOldListOnFailure()
    {
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        QVERIFY(storage.exportCsv(QString()));
        QVERIFY(!storage.exportCsv(env.path()));
        QCOMPARE(storage.lastErrorCode(), 43);
        QCOMPARE(storage.lastErrorSubCode(), 43);

        const QString target = path("list.csv");
        QVERIFY(storage.exportCsv(target));
        const QByteArray good = readAll(target);
        QVERIFY(good.startsWith("Register;Type;Name\n"));
        // The export gives up after the header when the catalogue lacks the CPU block.
        SettingsProvider& provider = SettingsProvider::instance();
        const ProtoEntry cpu = provider.protocol.take(QStringLiteral("sys/korcpu"));
        const bool ok = storage.exportCsv(target);
        provider.protocol.insert(QStringLiteral("sys/korcpu"), cpu);
        QVERIFY(!ok);
        QCOMPARE(storage.lastErrorCode(), 43);
        QCOMPARE(storage.lastErrorSubCode(), 0);
        QCOMPARE(readAll(target), good);

        // A disk that fills up: the list is shorter than the file's write buffer.
        QVERIFY(good.size() < 16384);
        bool exported = true;
        QVERIFY(withFileSizeLimit(rlim_t(good.size() / 2), [&] { exported = storage.exportCsv(target); }));
        QVERIFY(!exported);
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 16);
        QCOMPARE(readAll(target), good);
        QCOMPARE(QDir(env.path()).entryList({"*.csv*"}, QDir::Files | QDir::Hidden), QStringList({"list.csv"}));
    }
};

QTEST_GUILESS_MAIN(ConfigurationStorageTest)
#include "tst_configurationstorage.moc"
