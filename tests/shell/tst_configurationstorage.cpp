// Configuration files: what a save writes, what a load accepts, and that neither a failed save nor
// a failed load costs the user the configuration they had.
#include "model/ain.h"
#include "appfixture.h"
#include "shell/programstart.h"
#include "model/flatconfiguration.h"
#include "shell/configurationstorage.h"
#include "shell/fileoperations.h"
#include "shell/mapbuilder.h"
#include "hostilefiles.h"
#include "scriptedprompts.h"
#include "support/isolatedenvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <array>
#include <dlfcn.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>
#include <climits>
#include <cstring>
#include <functional>
#include <limits>

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

// How a file to load is made: written with the content, or one of the things that are no
// configuration file.
enum Make { Written, Missing, Folder, Pipe, ZeroDevice, LinkLoop, Unreadable, Oversized };

// What the user does with the File menu to write a file.
enum Action { Save, ExportCsv, ExportMap };

// The call of a save the system refuses.
enum Call { RenameCall, FolderSyncCall, WriteCall };

QString md5(const QByteArray& text)
{
    return QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex());
}

// The calls that put a save on disk, as the system sees them, and a refusal of the system put in
// where no file system at hand refuses (a write-protected disk, a disk that fails to sync, a full
// disk, a stick that keeps no attributes).
namespace SystemCalls {
bool recording = false;
std::vector<QByteArray> calls;
QByteArray refusedRenameTo;
int renameError = 0;
QByteArray refusedSyncOf;
int syncError = 0;
// Writes to the files of this folder fail with writeError.
QByteArray refusedWritesIn;
int writeError = 0;
// The disk of this folder keeps no extended attributes and refuses even to list them, as a FAT or
// exFAT stick mounted through FUSE does.
QByteArray unattributedFolder;

QByteArray pathOf(int fd)
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(QByteArray("/proc/self/fd/" + QByteArray::number(fd)).constData(),
                                 buffer, sizeof buffer);
    return n > 0 ? QByteArray(buffer, int(n)) : QByteArray("?");
}

bool isIn(const QByteArray& file, const QByteArray& folder)
{
    return !folder.isEmpty() && file.startsWith(folder + '/');
}
} // namespace SystemCalls

// Runs `save` as an ordinary user (nobody, in the group nogroup) who is also a member of `team`,
// in a child process so that the rights dropped for good stay there. True when the child ran and
// `save` answered true; `ran` false when the rights could not be dropped.
template <typename Save> bool saveAsTeamMember(gid_t team, bool& ran, Save save)
{
    constexpr uid_t kNobody = 65534;
    constexpr gid_t kNoGroup = 65534;
    ran = false;
    if (geteuid() != 0)
        return false;
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        if (::setgroups(1, &team) != 0 || ::setgid(kNoGroup) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        ::_exit(save() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ran = WIFEXITED(status) && WEXITSTATUS(status) != 2;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A file's extended attributes, its access list among them, as "name=value in hex", sorted.
QByteArrayList attributesOf(const QByteArray& file)
{
    char names[4096];
    const ssize_t listed = ::listxattr(file, names, sizeof names);
    QByteArrayList attributes;
    for (const QByteArray& name : QByteArray(names, int(std::max<ssize_t>(listed, 0))).split('\0')) {
        char value[4096];
        const ssize_t size = ::getxattr(file, name, value, sizeof value);
        attributes << name + '=' + QByteArray(value, int(std::max<ssize_t>(size, 0))).toHex();
    }
    std::sort(attributes.begin(), attributes.end());
    return attributes;
}

} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    if (SystemCalls::recording)
        SystemCalls::calls.push_back("fsync " + SystemCalls::pathOf(fd));
    if (!SystemCalls::refusedSyncOf.isEmpty() && SystemCalls::refusedSyncOf == SystemCalls::pathOf(fd)) {
        errno = SystemCalls::syncError;
        return -1;
    }
    return real(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    static const auto real =
        reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
    if (SystemCalls::recording)
        SystemCalls::calls.push_back(QByteArray("rename ") + from + " " + to);
    if (!SystemCalls::refusedRenameTo.isEmpty() && SystemCalls::refusedRenameTo == to) {
        errno = SystemCalls::renameError;
        return -1;
    }
    return real(from, to);
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t size, off_t offset)
{
    static const auto real =
        reinterpret_cast<ssize_t (*)(int, const void*, size_t, off_t)>(::dlsym(RTLD_NEXT, "pwrite"));
    if (SystemCalls::isIn(SystemCalls::pathOf(fd), SystemCalls::refusedWritesIn)) {
        errno = SystemCalls::writeError;
        return -1;
    }
    return real(fd, buffer, size, offset);
}

extern "C" ssize_t listxattr(const char* path, char* list, size_t size)
{
    static const auto real =
        reinterpret_cast<ssize_t (*)(const char*, char*, size_t)>(::dlsym(RTLD_NEXT, "listxattr"));
    if (SystemCalls::isIn(path, SystemCalls::unattributedFolder)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return real(path, list, size);
}

extern "C" ssize_t flistxattr(int fd, char* list, size_t size)
{
    static const auto real =
        reinterpret_cast<ssize_t (*)(int, char*, size_t)>(::dlsym(RTLD_NEXT, "flistxattr"));
    if (SystemCalls::isIn(SystemCalls::pathOf(fd), SystemCalls::unattributedFolder)) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return real(fd, list, size);
}

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

    // A controller whose records hold each field at the ends the device stores, the singles also
    // at infinities, NaNs (a signalling one with a payload among them), a negative zero and the
    // smallest subnormal, read from its image, saved and opened again: the same text, and the
    // image the controller gave.
    void readSystemWithExtremesOpensAgain()
    {
        constexpr float most = std::numeric_limits<float>::max();
        constexpr float infinity = std::numeric_limits<float>::infinity();
        const auto bitsOf = [](quint32 bits) {
            float single;
            std::memcpy(&single, &bits, sizeof single);
            return single;
        };
        SystemModel source;
        source.addDevice(handleOf(kTav1020, 0));
        const auto set = [&source](int kind, int index, const std::function<void(AbstractConfig&)>& change) {
            const IoResource::Ptr_t r = source.resourcesOfKind(kind).at(index);
            AbstractConfig config;
            r->exportConfig(config);
            change(config);
            r->importConfig(config);
        };
        const auto ain = [&set](int index, qint32 range, qint32 tsType, qint16 onePole, qint8 median,
                                std::array<float, 3> scale, qint32 ref, std::array<double, 4> sensor) {
            set(ResourceKind::Ain, index, [=](AbstractConfig& c) {
                c.ain.range = range;
                c.ain.tsType = tsType;
                c.ain.onePole = onePole;
                c.ain.median = median;
                c.ain.freq60 = index % 2 == 0;
                c.ain.scMin = scale[0];
                c.ain.scMax = scale[1];
                c.ain.scOffset = scale[2];
                c.ain.sensors[0].tref = ref;
                c.ain.sensors[0].rref = ref;
                c.ain.sensors[0].abFactor = sensor[0];
                c.ain.sensors[0].a = sensor[1];
                c.ain.sensors[0].b = sensor[2];
                c.ain.sensors[0].c = sensor[3];
            });
        };
        // The file carries a sensor for the thermometer ranges only.
        ain(0, 255, 255, 32767, 127, {most, most, most}, 0, {0, 0, 0, 0});
        ain(1, Ain::Voltage, 0, -32768, -128, {-most, -most, -most}, 0, {0, 0, 0, 0});
        // A user's sensor on a resistance thermometer sends its polynomial instead of the factor.
        ain(2, Ain::Rtd, 90, 1, 1, {1, 2, 3}, INT_MAX, {0, most, -most, double(-infinity)});
        ain(3, Ain::Ntc, 255, 1, 1, {infinity, -infinity, bitsOf(0x7fc00000u)}, INT_MIN,
            {double(bitsOf(0xffc01234u)), 0, 0, 0});
        ain(4, Ain::Ntc, 1, 1, 1,
            {-0.0f, bitsOf(0xffbd1effu), std::numeric_limits<float>::denorm_min()}, -1,
            {-0.0, 0, 0, 0});
        ain(5, Ain::Rtd, 2, 1, 1, {bitsOf(0x7f800001u), 0, 0}, 1, {double(infinity), 0, 0, 0});
        set(ResourceKind::Aout, 0, [](AbstractConfig& c) { c.aout.save = 65535; });
        set(ResourceKind::Aout, 1, [](AbstractConfig& c) { c.aout.save = 0; });
        set(ResourceKind::Din, 0, [](AbstractConfig& c) { c.din = {true, 65535, true, true, true}; });
        set(ResourceKind::Din, 1, [](AbstractConfig& c) { c.din = {false, 0, false, false, false}; });
        set(ResourceKind::Dout, 0, [](AbstractConfig& c) { c.dout.save = 32767; });
        set(ResourceKind::Dout, 1, [](AbstractConfig& c) { c.dout.save = -32768; });
        set(ResourceKind::SerialPort, 0, [](AbstractConfig& c) {
            c.port = {0xFFFFFFFFu, 255, 255, 0, 65535, 255, 255, 0xFFFFFFFFu};
        });
        set(ResourceKind::SerialPort, 1, [](AbstractConfig& c) { c.port = {0, 0, 0, 0, 0, 0, 0, 0}; });

        QByteArray image;
        QVERIFY(FlatConfiguration(&source).compose(image));
        const int blocks = 4 + quint8(image[2]) + 256 * quint8(image[3]);
        SystemInfo_t info;
        info.cpuId = kTav1020;
        info.kernelSn = 1;
        SystemModel read;
        QVERIFY(FlatConfiguration(&read).parse(info, image.left(blocks), image.mid(blocks + 6)));

        ConfigurationStorage storage(&read);
        storage.setFileName(path("extremes.tavc"));
        QVERIFY2(storage.save(), qPrintable(storage.lastErrorText()));
        SystemModel loaded;
        ConfigurationStorage reader(&loaded);
        QVERIFY2(reader.load(storage.fileName()), qPrintable(reader.lastErrorText()));
        QCOMPARE(systemJson(loaded), systemJson(read));
        QByteArray again;
        QVERIFY(FlatConfiguration(&loaded).compose(again));
        QCOMPARE(again.toHex(' '), image.toHex(' '));
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
        // As the program starts: past a file-size limit a write fails instead of ending the process.
        ProgramStart::catchTerminationSignals();
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
        QTest::addColumn<int>("make");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("subCode");
        QTest::addColumn<QString>("reason");
        const QJsonObject data = savedData();
        const QString skip = QStringLiteral("skip_checking_cs");
        const QString format = "Неправильный формат";
        const QString unknown = "Неизвестная ошибка";

        QTest::newRow("missing file") << int(Missing) << QByteArray() << 8 << 3 << "файл не найден";
        QTest::newRow("directory") << int(Folder) << QByteArray() << 8 << 5 << "это папка, а не файл";
        QTest::newRow("named pipe") << int(Pipe) << QByteArray() << 8 << 6 << "это не обычный файл";
        QTest::newRow("/dev/zero") << int(ZeroDevice) << QByteArray() << 8 << 6 << "это не обычный файл";
        QTest::newRow("link loop") << int(LinkLoop) << QByteArray() << 8 << 7
                                   << "ссылки на файл образуют петлю";
        QTest::newRow("no permission") << int(Unreadable) << withConfiguration({{"data", data}})
                                       << 8 << 4 << "нет прав на чтение файла";
        QTest::newRow("empty file") << int(Written) << QByteArray() << 8 << 8 << "файл пуст";
        const qint64 limit = ConfigurationStorage::largestFileSize();
        QTest::newRow("larger than any configuration")
            << int(Oversized) << QByteArray() << 8 << 9
            << QString("файл слишком велик: %1 байт, а конфигурация занимает не более %2 байт")
                   .arg(QLocale(QLocale::Russian).toString(limit + 1),
                        QLocale(QLocale::Russian).toString(limit));
        QTest::newRow("blanks only") << int(Written) << QByteArray(" \n") << 8 << 2 << format;
        QTest::newRow("truncated") << int(Written) << withConfiguration({{"data", data}}).left(300) << 8 << 2 << format;
        QTest::newRow("array") << int(Written) << QByteArray("[1, 2]") << 10 << 4 << unknown;
        QTest::newRow("no data") << int(Written) << withConfiguration({{"cs", skip}}) << 10 << 5 << unknown;
        QTest::newRow("empty data") << int(Written) << withConfiguration({{"data", QJsonObject()}, {"cs", skip}}) << 10 << 11 << unknown;
        QTest::newRow("data not an object") << int(Written) << withConfiguration({{"data", 5}, {"cs", skip}}) << 10 << 11 << unknown;
        QTest::newRow("no cs") << int(Written) << withConfiguration({{"data", data}}) << 10 << 6 << unknown;
        QTest::newRow("cs not a string") << int(Written) << withConfiguration({{"data", data}, {"cs", 7}}) << 10 << 7 << "Ошибка целостности";
        QTest::newRow("no devices")
            << int(Written) << withConfiguration({{"data", QJsonObject{{"Devices", QJsonArray()}}}, {"cs", skip}}) << 14 << 20
            << "ошибка в конфигурации: в файле нет ни одного устройства";
        QJsonObject noResources = data;
        noResources.remove("Resources");
        QTest::newRow("no resources")
            << int(Written) << withConfiguration({{"data", noResources}, {"cs", skip}}) << 14 << 20
            << "ошибка в конфигурации: в файле нет настроек ни одного канала";
        noResources["Resources"] = QJsonObject();
        QTest::newRow("resources not a list")
            << int(Written) << withConfiguration({{"data", noResources}, {"cs", skip}}) << 14 << 20
            << "ошибка в конфигурации: в файле нет настроек ни одного канала";

        // The reader fails half-way: devices built, then a resource of the wrong kind.
        QJsonObject broken = data;
        QJsonArray resources = broken["Resources"].toArray();
        QJsonObject resource = resources[0].toObject();
        QJsonObject info = resource["info"].toObject();
        const int kind = info["type"].toInt();
        info["type"] = (kind + 1) % 4;
        resource["info"] = info;
        resources[0] = resource;
        broken["Resources"] = resources;
        const QString channel = "ошибка в конфигурации: устройство «" + info["owner"].toString()
                                + "», канал «" + info["id"].toString() + "»: ";
        QTest::newRow("bad resource")
            << int(Written) << withConfiguration({{"data", broken}, {"cs", skip}}) << 14 << 20
            << channel + "запись вида " + SettingsProvider::kindKey((kind + 1) % 4) + " у канала вида "
                   + SettingsProvider::kindKey(kind);
        // A hand-made value its field cannot hold would reach the controller cut down.
        QJsonObject unfit = data;
        resource = unfit["Resources"].toArray()[0].toObject();
        QJsonObject settings = resource["settings"].toObject();
        QCOMPARE(kind, int(ResourceKind::Ain));
        settings["range"] = 70000;
        resource["settings"] = settings;
        resources = unfit["Resources"].toArray();
        resources[0] = resource;
        unfit["Resources"] = resources;
        QTest::newRow("value beyond its field")
            << int(Written) << withConfiguration({{"data", unfit}, {"cs", skip}}) << 14 << 20
            << channel + "значение 70000 ключа «range» не помещается в поле: допустимы целые числа от 0 до 255";

        // A file made for the other brand: its device types are not in this brand's catalogue.
        env.setVendorChoice("vio4");
        const SettingsProvider& otherBrand = SettingsProvider::instance("holmark");
        SystemModel foreign;
        foreign.addDevice(handleOf(otherBrand.tavTypes.first(), 0));
        QJsonObject foreignData;
        QVERIFY(foreign.writeJson(foreignData));
        const QString foreignType = QString::number(otherBrand.tavTypes.first());
        env.setVendorChoice(QString());
        QCOMPARE(SettingsProvider::instance("drovanix").mode, 1);
        QVERIFY(!SettingsProvider::instance().templates.contains(foreignType.toUInt()));
        QTest::newRow("made for the other brand")
            << int(Written) << withConfiguration({{"data", foreignData}, {"cs", skip}}) << 14 << 20
            << "ошибка в конфигурации: тип устройства " + foreignType + " («"
                   + foreignData["Devices"].toArray()[0].toObject()["key"].toString()
                   + "») не входит в каталог этой марки";

        // Controller 1 alone: the system's rules name what is wrong.
        SystemModel gap;
        gap.addDevice(handleOf(kTav1020, 1));
        QJsonObject gapData;
        QVERIFY(gap.writeJson(gapData));
        QTest::newRow("broken rule") << int(Written) << withConfiguration({{"data", gapData}, {"cs", skip}})
                                     << 14 << 20 << "ошибка в конфигурации: нет контроллера с номером 0";
    }

    // A failed load leaves the model, the file name and the last data as they were, and its
    // message names the cause.
    void loadErrors()
    {
        QFETCH(int, make);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(int, subCode);
        QFETCH(QString, reason);
        QString file = path("load.tavc");
        QFile::remove(file);
        // Reached by an ordinary user on the way to a file they may not read.
        QTemporaryDir shared;
        switch (Make(make)) {
        case Written: QVERIFY(writeAll(file, content)); break;
        case Unreadable:
            file = shared.filePath("load.tavc");
            QVERIFY(QFile::setPermissions(shared.path(), QFile::permissions(shared.path())
                                                             | QFile::ExeOther | QFile::ReadOther));
            QVERIFY(writeAll(file, content));
            QVERIFY(QFile::setPermissions(file, QFile::WriteOwner));
            break;
        case Missing: break;
        case Folder: file = env.path(); break;
        case Pipe: QVERIFY(HostileFiles::makeFifo(file)); break;
        case ZeroDevice: QVERIFY(QFile::link("/dev/zero", file)); break;
        case LinkLoop: QVERIFY(HostileFiles::makeLinkLoop(file)); break;
        case Oversized:
            QVERIFY(HostileFiles::makeSparseFile(file, ConfigurationStorage::largestFileSize() + 1));
            break;
        }

        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        storage.setFileName(path("current.tavc"));
        QVERIFY(storage.save());
        const QByteArray before = systemJson(model);
        const QList<NodeId_t> resources = model.resources().keys();
        const QJsonObject lastData = storage.lastData();
        QSignalSpy changed(&model, &SystemModel::changed);

        bool loaded = true;
        {
            const HostileFiles::PipeWatchdog watchdog(file, std::chrono::seconds(10));
            // Root reads whatever the permissions say; the file system's rights of an ordinary
            // user apply to this thread while it loads.
            const auto load = [&] { loaded = storage.load(file); };
            if (make != Unreadable)
                load();
            else if (!asOrdinaryUser(load))
                QSKIP("the rights of an ordinary user cannot be taken");
            QVERIFY2(!watchdog.fired(), "the load waited on a named pipe");
        }
        QVERIFY(!loaded);
        QCOMPARE(storage.lastErrorCode(), code);
        QCOMPARE(storage.lastErrorSubCode(), subCode);
        QCOMPARE(systemJson(model), before);
        QCOMPARE(model.resources().keys(), resources);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(storage.fileName(), path("current.tavc"));
        QCOMPARE(storage.lastData(), lastData);
        QCOMPARE(ConfigurationStorage::loadErrorMessage(storage.lastError(), file),
                 "Не могу открыть файл, " + reason + "\n" + file);
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

    // The causes a file is refused for, and a save too large to open again, read in English.
    void englishRefusalsNameTheirCause_data()
    {
        QTest::addColumn<QJsonObject>("data");
        QTest::addColumn<QString>("reason");
        const QJsonObject data = savedData();
        const QJsonObject info = data["Resources"].toArray()[0].toObject()["info"].toObject();
        const QString channel =
            "device \"" + info["owner"].toString() + "\", channel \"" + info["id"].toString() + "\": ";
        // The file with the first channel's setting `key` made `value`.
        const auto withSetting = [&data](const QString& key, const QJsonValue& value) {
            QJsonObject changed = data;
            QJsonArray resources = changed["Resources"].toArray();
            QJsonObject resource = resources[0].toObject();
            QJsonObject settings = resource["settings"].toObject();
            settings[key] = value;
            resource["settings"] = settings;
            resources[0] = resource;
            changed["Resources"] = resources;
            return changed;
        };
        QTest::newRow("a number for a yes or no")
            << withSetting("freq60", 1)
            << channel + "the value 1 of key \"freq60\" does not fit its field: true and false are allowed";
        QTest::newRow("a text for a single")
            << withSetting("sc-min", "Inf")
            << channel + "the value \"Inf\" of key \"sc-min\" does not fit its field: numbers from "
                         "-3.402823466e+38 to 3.402823466e+38, \"Infinity\", \"-Infinity\", \"-0\" "
                         "and \"NaN\" are allowed";
        QTest::newRow("a number for a sensor object")
            << withSetting("thermo", 5)
            << channel + "the value 5 of key \"thermo\" does not fit its field: only an object in "
                         "braces is allowed";
        QJsonObject device = data;
        QJsonArray devices = device["Devices"].toArray();
        QJsonObject entry = devices[0].toObject();
        entry["label"] = 12;
        devices[0] = entry;
        device["Devices"] = devices;
        QTest::newRow("a number for a label")
            << device
            << QString("entry 1 of the device list: the value 12 of key \"label\" does not fit its "
                       "field: only a text in double quotes is allowed");
        QJsonObject bare = data;
        bare.remove("Resources");
        QTest::newRow("no channel settings") << bare << QString("the file holds no channel settings");
        bare.remove("Devices");
        QTest::newRow("no devices") << bare << QString("the file holds no device");
    }

    void englishRefusalsNameTheirCause()
    {
        QFETCH(QJsonObject, data);
        QFETCH(QString, reason);
        const QString file = path("english.tavc");
        QVERIFY(writeAll(file, withConfiguration({{"data", data}, {"cs", "skip_checking_cs"}})));
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(TAV_I18N_DIR "/tavcfg_en.qm")));
        QCoreApplication::installTranslator(&english);
        SystemModel model;
        ConfigurationStorage storage(&model);
        const bool loaded = storage.load(file);
        const QString shown = ConfigurationStorage::loadErrorText(
            storage.lastErrorCode(), storage.lastErrorSubCode(), storage.lastErrorText());
        QCoreApplication::removeTranslator(&english);
        QVERIFY(!loaded);
        QCOMPARE(shown, "Cannot open the file: error in the configuration: " + reason + ".");
    }

    // Byte counts group their digits as the interface's language does, on a German desktop too.
    void byteCountsFollowTheInterfaceLanguage_data()
    {
        QTest::addColumn<QString>("translation");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Russian") << QString() << QString::fromUtf8("134\u00a0217\u00a0728");
        QTest::newRow("English") << QString("tavcfg_en.qm") << QString("134,217,728");
    }

    void byteCountsFollowTheInterfaceLanguage()
    {
        QFETCH(QString, translation);
        QFETCH(QString, shown);
        const QLocale desktop;
        QLocale::setDefault(QLocale(QLocale::German));
        QTranslator language;
        if (!translation.isEmpty()) {
            QVERIFY(language.load(QStringLiteral(TAV_I18N_DIR "/") + translation));
            QCoreApplication::installTranslator(&language);
        }
        const QString text = ConfigurationStorage::bytesText(134217728);
        QCoreApplication::removeTranslator(&language);
        QLocale::setDefault(desktop);
        QCOMPARE(text, shown);
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
        QCOMPARE(storage.lastErrorSubCode(), 5);
        QVERIFY(writeAll(path("plain"), "keep"));
        storage.setFileName(path("plain/inner.tavc"));
        QVERIFY(!storage.save());
        QCOMPARE(readAll(path("plain")), QByteArray("keep"));
    }

    // A save writes no file that a read refuses as too large: a file of exactly the limit is
    // written and opens; one byte more and the save is refused with its reason, and the file
    // that opens, and the edit left unsaved, stay as they were.
    void saveWritesNoFileTooLargeToOpen_data()
    {
        QTest::addColumn<int>("over");
        QTest::newRow("at the limit") << 0;
        QTest::newRow("one byte over") << 1;
    }

    void saveWritesNoFileTooLargeToOpen()
    {
        QFETCH(int, over);
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        storage.setFileName(path("large.tavc"));
        QVERIFY(storage.save());
        const QByteArray old = readAll(storage.fileName());
        // Each letter of the label takes one byte of the file.
        c0->setLabel("a");
        QVERIFY(storage.save());
        QCOMPARE(readAll(storage.fileName()).size(), old.size() + 1);
        const QJsonObject lastData = storage.lastData();
        QVERIFY(writeAll(storage.fileName(), old));

        const qint64 limit = ConfigurationStorage::largestFileSize();
        c0->setLabel(QString(int(limit - old.size() + over), QLatin1Char('a')));
        if (over == 0) {
            QVERIFY(storage.save());
            QCOMPARE(QFileInfo(storage.fileName()).size(), limit);
            SystemModel loaded;
            ConfigurationStorage reader(&loaded);
            QVERIFY2(reader.load(storage.fileName()), qPrintable(reader.lastErrorText()));
            QCOMPARE(loaded.devices().first()->label(), c0->label());
            return;
        }
        QVERIFY(!storage.save());
        QCOMPARE(storage.lastErrorCode(), 15);
        QCOMPARE(storage.lastErrorSubCode(), 20);
        const QString reason = QString("файл занял бы %1 байт, а файл конфигурации может занимать не более %2 байт")
                                   .arg(QLocale(QLocale::Russian).toString(limit + 1),
                                        QLocale(QLocale::Russian).toString(limit));
        QCOMPARE(storage.lastErrorText(), reason);
        QCOMPARE(ConfigurationStorage::writeErrorText("Не могу сохранить файл", storage.lastError()),
                 "Не могу сохранить файл, ошибка в конфигурации: " + reason);
        QCOMPARE(readAll(storage.fileName()), old);
        QCOMPARE(storage.lastData(), lastData);

        QTranslator english;
        QVERIFY(english.load(QStringLiteral(TAV_I18N_DIR "/tavcfg_en.qm")));
        QCoreApplication::installTranslator(&english);
        const bool saved = storage.save();
        const QString shown = ConfigurationStorage::writeErrorText("Cannot save the file", storage.lastError());
        QCoreApplication::removeTranslator(&english);
        QVERIFY(!saved);
        QCOMPARE(shown, QString("Cannot save the file, error in the configuration: the file would take %1 "
                                "bytes, and a configuration file may take at most %2 bytes")
                            .arg(QLocale(QLocale::English).toString(limit + 1),
                                 QLocale(QLocale::English).toString(limit)));
        QCOMPARE(readAll(storage.fileName()), old);
    }

    // The file meets the size limit the system sets for the program half-way through the new text,
    // as it meets the end of a full disk; the user is told of the limit. A text shorter than the
    // file's write buffer reaches the disk only when the file is put in place.
    void fullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("large");
        QTest::addColumn<bool>("shared");
        QTest::addColumn<bool>("belowOld");
        QTest::newRow("small configuration") << false << false << false;
        QTest::newRow("large configuration") << true << false << false;
        // No temporary file fits in the folder: the file is written in place, and the old text
        // has to go back once the new one has not fitted.
        QTest::newRow("shared folder") << false << true << false;
        // The limit stops the write back as well, short of where the new text stopped.
        QTest::newRow("shared folder, limit below the old size") << false << true << true;
    }

    void fullDiskKeepsTheOldFile()
    {
        QFETCH(bool, large);
        QFETCH(bool, shared);
        QFETCH(bool, belowOld);
        SystemModel model;
        if (large)
            buildSystem(model);
        else
            model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        QTemporaryDir sharedRoot;
        const QString folder = shared ? sharedRoot.filePath("locked") : path(QTest::currentDataTag());
        QDir().mkpath(folder);
        storage.setFileName(folder + "/plant.tavc");
        QVERIFY(storage.save());
        const QByteArray old = readAll(storage.fileName());
        QCOMPARE(old.size() > 16384, large);

        model.devices().first()->setLabel(QStringLiteral("Котельная"));
        bool saved = true;
        if (!shared) {
            QVERIFY(withFileSizeLimit(rlim_t(old.size() / 2), [&] { saved = storage.save(); }));
        } else {
            // The new text is longer: it fails where the old one ended, so the old one fits again.
            QVERIFY(lockFolder(sharedRoot.path(), folder));
            bool reachable = false;
            bool limited = false;
            const bool asUser = asOrdinaryUser([&] {
                reachable = QFile(storage.fileName()).open(QIODevice::ReadWrite);
                const rlim_t limit = rlim_t(belowOld ? old.size() / 2 : old.size());
                limited = withFileSizeLimit(limit, [&] { saved = storage.save(); });
            });
            unlockFolder(folder);
            if (!asUser || !reachable)
                QSKIP("the temporary folder cannot be reached with an ordinary user's rights");
            QVERIFY(limited);
        }
        QVERIFY(!saved);
        QCOMPARE(readAll(storage.fileName()), old);
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 13);
        QCOMPARE(storage.lastErrorText(),
                 shared ? QStringLiteral("Файл сохранил прежнее содержимое.") : QString());
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
        QVERIFY(lockFolder(shared.path(), folder));

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
        unlockFolder(folder);
        if (!asUser || !reachable)
            QSKIP("the temporary folder cannot be reached with an ordinary user's rights");

        QVERIFY(saved);
        QVERIFY(!created);
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 4);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"plant.tavc"}));
        SystemModel loaded;
        ConfigurationStorage reader(&loaded);
        QVERIFY(reader.load(target));
        QCOMPARE(systemJson(loaded), systemJson(model));
    }

    // Once the save is reported, a power cut brings back neither the old file nor no file: the
    // new text is on disk before it takes the old one's name, and the name is on disk before the
    // save ends.
    void saveReachesTheDiskBeforeItEnds()
    {
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        const QString folder = QDir(env.path()).canonicalPath();
        const QByteArray target = QFile::encodeName(folder + "/synced.tavc");
        storage.setFileName(QFile::decodeName(target));
        QVERIFY(storage.save());
        SystemCalls::calls.clear();
        SystemCalls::recording = true;
        const bool saved = storage.save();
        SystemCalls::recording = false;
        QVERIFY(saved);
        const std::vector<QByteArray> calls = SystemCalls::calls;
        QCOMPARE(int(calls.size()), 3);
        const QByteArray temporary = calls[0].mid(6);
        QVERIFY(calls[0].startsWith("fsync " + target + "."));
        QCOMPARE(calls[1], "rename " + temporary + " " + target);
        QCOMPARE(calls[2], "fsync " + QFile::encodeName(folder));
    }

    // The folder refuses to let the new file take the old one's name: another user's file in a
    // sticky folder such as /tmp is written in place instead, and a write-protected disk is named.
    // A folder that does not reach the disk once the new file has taken the name leaves every
    // kind of file written, and the user told that the disk did not confirm it. A disk that
    // refuses the text names its cause, for every kind of file.
    void refusedRenames_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("call");
        QTest::addColumn<int>("action");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<int>("subCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("sticky folder, another user's file") << 0 << int(RenameCall) << int(Save) << true << 0 << QString();
        QTest::newRow("rename not permitted") << int(EPERM) << int(RenameCall) << int(Save) << true << 0 << QString();
        QTest::newRow("rename not allowed") << int(EACCES) << int(RenameCall) << int(Save) << true << 0 << QString();
        QTest::newRow("write-protected disk")
            << int(EROFS) << int(RenameCall) << int(Save) << false << 9
            << "Не могу сохранить файл, диск защищён от записи\nСнимите защиту от записи с диска "
               "(переключатель на карте или флешке) или выберите другой диск.";
        const QString unconfirmed = ", но диск не подтвердил запись: после отключения питания или "
                                    "извлечения диска файл может оказаться прежним или пропасть.\n"
                                    "Проверьте диск и повторите запись.";
        const QString exported = "Конфигурация экспортирована" + unconfirmed;
        QTest::newRow("folder not synced, save") << int(EIO) << int(FolderSyncCall) << int(Save) << true << 0 << "Файл сохранён" + unconfirmed;
        QTest::newRow("folder not synced, CSV export") << int(EIO) << int(FolderSyncCall) << int(ExportCsv) << true << 0 << exported;
        QTest::newRow("folder not synced, map export") << int(EIO) << int(FolderSyncCall) << int(ExportMap) << true << 0 << exported;
        const QString save = "Не могу сохранить файл, ";
        const QString exportTo = "Не могу экспортировать конфигурацию, ";
        const QString full = "на диске не хватает места\nОсвободите место на диске или выберите другой диск.";
        const QString quota = "исчерпана ваша квота на диске\n"
                              "Удалите ненужные файлы или попросите администратора увеличить квоту.";
        QTest::newRow("name the disk does not take")
            << int(EINVAL) << int(RenameCall) << int(Save) << false << 18
            << save + "этот диск не допускает такое имя файла\nУберите из имени знаки : * ? \" < > | \\ или выберите другой диск.";
        QTest::newRow("full disk") << int(ENOSPC) << int(WriteCall) << int(Save) << false << 7 << save + full;
        QTest::newRow("quota used up") << int(EDQUOT) << int(WriteCall) << int(Save) << false << 14 << save + quota;
        QTest::newRow("disk input/output error")
            << int(EIO) << int(WriteCall) << int(Save) << false << 15
            << save + "ошибка ввода-вывода на диске\nПроверьте диск и его подключение, затем повторите запись.";
        QTest::newRow("quota used up, CSV export") << int(EDQUOT) << int(WriteCall) << int(ExportCsv) << false << 14 << exportTo + quota;
        QTest::newRow("full disk, map export") << int(ENOSPC) << int(WriteCall) << int(ExportMap) << false << 7 << exportTo + full;
    }

    void refusedRenames()
    {
        QFETCH(int, error);
        QFETCH(int, call);
        QFETCH(int, action);
        QFETCH(bool, saved);
        QFETCH(int, subCode);
        QFETCH(QString, message);
        QTemporaryDir root;
        QVERIFY(QFile::setPermissions(root.path(), kListable | QFile::WriteOwner));
        const QString folder = root.filePath("public");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 01777) == 0);
        const QString target = folder + "/plant.tavc";
        QVERIFY(writeAll(target, "old"));
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0666) == 0);

        ScriptedPrompts prompts;
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        FileOperations files(&model);
        files.createActions();
        ConfigurationStorage& storage = files.storage();
        storage.setFileName(target);
        files.setSaveAvailable(true, true);
        const auto act = [&] {
            prompts.fileNames << target;
            if (action == Save)
                files.save();
            else if (action == ExportCsv)
                files.exportCSV();
            else
                files.exportAs();
        };
        if (error == 0) {
            QVERIFY(asOrdinaryUser(act));
        } else {
            const QByteArray canonical = QFile::encodeName(QFileInfo(folder).canonicalFilePath());
            switch (Call(call)) {
            case RenameCall: SystemCalls::refusedRenameTo = QFile::encodeName(target); break;
            case FolderSyncCall: SystemCalls::refusedSyncOf = canonical; break;
            case WriteCall: SystemCalls::refusedWritesIn = canonical; break;
            }
            SystemCalls::renameError = SystemCalls::syncError = SystemCalls::writeError = error;
            act();
            SystemCalls::refusedRenameTo.clear();
            SystemCalls::refusedSyncOf.clear();
            SystemCalls::refusedWritesIn.clear();
        }
        QCOMPARE(prompts.messages,
                 message.isEmpty() ? QStringList() : QStringList({message + '\n' + target}));
        QCOMPARE(readAll(target) != "old", saved);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList({"plant.tavc"}));
        QCOMPARE(QFileInfo(target).ownerId(), uint(geteuid()));
        if (action != Save)
            return;
        QCOMPARE(files.hasUnsavedChanges(), !saved);
        if (saved) {
            SystemModel loaded;
            ConfigurationStorage reader(&loaded);
            QVERIFY(reader.load(target));
            QCOMPARE(systemJson(loaded), systemJson(model));
        } else {
            QCOMPARE(storage.lastErrorCode(), 9);
            QCOMPARE(storage.lastErrorSubCode(), subCode);
        }
    }

    // A file shared with a team stays the team's: a save keeps its owner, its group, its mode, its
    // access list and other attributes and its other names, writing it in place where a new file
    // could not be given them, and replacing it wherever it could, so that a failed save never
    // costs the old file.
    void saveKeepsOwnerGroupAndLinks_data()
    {
        QTest::addColumn<bool>("ownFile");
        QTest::addColumn<bool>("linked");
        QTest::addColumn<int>("folderMode");
        // An extended attribute of the file, or the access list its folder gives new files.
        QTest::addColumn<QByteArray>("attribute");
        QTest::addColumn<QByteArray>("value");
        // The folder's disk keeps no extended attributes (a FAT stick).
        QTest::addColumn<bool>("unattributed");
        // A new file takes the file's place; else the file is written in place.
        QTest::addColumn<bool>("replaced");
        // Its owner and the daemon (user 1) may write the file, its group and everyone else only
        // read it: the entries' tag, rights and user, as the system keeps them after its version.
        const QByteArray daemonWrites = QByteArray::fromHex("02000000 01000600ffffffff 0200060001000000 "
                                                            "04000400ffffffff 10000600ffffffff 20000400ffffffff");
        const QByteArray none;
        QTest::newRow("own file, the team's group") << true << false << 0775 << none << none << false << true;
        QTest::newRow("a team mate's file") << false << false << 0775 << none << none << false << false;
        QTest::newRow("file with a second name") << true << true << 0775 << none << none << false << false;
        // The new file has the file's group from the start: only its owner tells it from the saver's.
        QTest::newRow("a team mate's file, set-group-id folder") << false << false << 02775 << none << none << false << false;
        QTest::newRow("file shared by its access list")
            << true << false << 0775 << QByteArray("system.posix_acl_access") << daemonWrites << false << true;
        QTest::newRow("file with the user's attributes")
            << true << false << 0775 << QByteArray("user.plant") << QByteArray("Котельная") << false << true;
        QTest::newRow("attribute only the administrator gives")
            << true << false << 0775 << QByteArray("security.plant") << QByteArray("team") << false << false;
        QTest::newRow("file taken off its folder's access list")
            << true << false << 0775 << QByteArray("system.posix_acl_default") << daemonWrites << false << true;
        QTest::newRow("file on a disk that keeps no attributes") << true << false << 0775 << none << none << true << true;
    }

    void saveKeepsOwnerGroupAndLinks()
    {
        QFETCH(bool, ownFile);
        QFETCH(bool, linked);
        QFETCH(int, folderMode);
        QFETCH(QByteArray, attribute);
        QFETCH(QByteArray, value);
        QFETCH(bool, unattributed);
        QFETCH(bool, replaced);
        constexpr uid_t kNobody = 65534;
        constexpr gid_t kTeam = 100;
        if (geteuid() != 0)
            QSKIP("files of other users and groups can only be made with root's rights");
        QTemporaryDir root;
        QVERIFY(QFile::setPermissions(root.path(), kListable | QFile::WriteOwner));
        const QByteArray folder = QFile::encodeName(root.filePath("team"));
        QVERIFY(::mkdir(folder.constData(), 0775) == 0);
        QVERIFY(::chown(folder.constData(), 0, kTeam) == 0);
        QVERIFY(::chmod(folder.constData(), mode_t(folderMode)) == 0);
        const QString target = QFile::decodeName(folder) + "/plant.tavc";
        const QByteArray name = QFile::encodeName(target);
        const bool ofFolder = attribute == "system.posix_acl_default";
        const auto give = [&](const QByteArray& file) {
            return ::setxattr(file, attribute, value.constData(), size_t(value.size()), 0) == 0;
        };
        const QString unkept = "the temporary folder's file system keeps no " + attribute + ": ";
        if (ofFolder && !give(folder))
            QSKIP(qPrintable(unkept + std::strerror(errno)));
        QVERIFY(writeAll(target, "old"));
        if (ofFolder)
            QVERIFY(::removexattr(name.constData(), "system.posix_acl_access") == 0);
        QVERIFY(::chown(name.constData(), ownFile ? kNobody : 0, kTeam) == 0);
        QVERIFY(::chmod(name.constData(), 0664) == 0);
        if (!attribute.isEmpty() && !ofFolder && !give(name))
            QSKIP(qPrintable(unkept + std::strerror(errno)));
        const QByteArrayList attributes = attributesOf(name);
        const QString other = QFile::decodeName(folder) + "/copy.tavc";
        if (linked)
            QVERIFY(::link(name.constData(), QFile::encodeName(other).constData()) == 0);

        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        storage.setFileName(target);
        struct stat old{};
        QVERIFY(::stat(name.constData(), &old) == 0);
        if (unattributed)
            SystemCalls::unattributedFolder = folder;
        bool ran = false;
        const bool saved = saveAsTeamMember(kTeam, ran, [&] { return storage.save(); });
        SystemCalls::unattributedFolder.clear();
        if (!ran)
            QSKIP("the rights of an ordinary user cannot be taken");
        QVERIFY(saved);
        struct stat status{};
        QVERIFY(::stat(name.constData(), &status) == 0);
        QCOMPARE(status.st_ino != old.st_ino, replaced);
        QCOMPARE(status.st_uid, ownFile ? kNobody : uid_t(0));
        QCOMPARE(status.st_gid, kTeam);
        QCOMPARE(status.st_mode & 07777, mode_t(0664));
        QCOMPARE(attributesOf(name), attributes);
        SystemModel loaded;
        ConfigurationStorage reader(&loaded);
        QVERIFY(reader.load(target));
        QCOMPARE(systemJson(loaded), systemJson(model));
        if (linked)
            QCOMPARE(readAll(other), readAll(target));
        QCOMPARE(QDir(QFile::decodeName(folder)).entryList(QDir::Files | QDir::Hidden).size(), linked ? 2 : 1);
    }

    // Systems that break a rule of every system, as faulty edits have left them: neither a save
    // nor an export writes one, so no file the program writes fails to open again.
    void brokenSystemIsNotWritten_data()
    {
        QTest::addColumn<int>("breakage");
        QTest::addColumn<QString>("rule");
        const QString module = "0.1." + SettingsProvider::instance().templates.value(pexType).name;
        DeviceTemplate controller;
        QVERIFY(SettingsProvider::instance().deviceTemplate(kTav1020, -1, &controller, true));
        QTest::newRow("module hidden from its controller")
            << 0 << "модуль «" + module + "» не подключён к контроллеру";
        QTest::newRow("module left by its controller")
            << 1 << "модуль «1." + SettingsProvider::instance().templates.value(pexType).name
                        + "» не подключён к контроллеру";
        QTest::newRow("module under two controllers") << 2 << "модуль «" + module + "» подключён к двум контроллерам";
        QTest::newRow("controller 1 alone") << 3 << "нет контроллера с номером 0";
        QTest::newRow("two controllers numbered 0") << 4 << "два контроллера с номером 0";
        QTest::newRow("module numbers with a gap")
            << 5 << "у контроллера «" + controller.name + "» нет модуля с номером 1";
        QTest::newRow("ports away from controller 0")
            << 6 << "последовательные порты не принадлежат контроллеру с номером 0";
    }

    void brokenSystemIsNotWritten()
    {
        QFETCH(int, breakage);
        QFETCH(QString, rule);
        const QString folder = path("broken");
        QDir().mkpath(folder);
        const auto kept = [&folder](const QString& name) { return folder + "/" + name; };
        SystemModel model;
        const Device::Ptr_t c0 = model.addDevice(handleOf(kTav1020, 0));
        const Device::Ptr_t m1 = model.addDevice(handleOf(pexType, 1, c0->id()));
        ConfigurationStorage storage(&model);
        storage.setFileName(kept("plant.tavc"));
        QVERIFY(storage.save());
        QVERIFY(storage.exportCsv(kept("list.csv")));
        QVERIFY(MapBuilder::exportMap(&model, kept("plant.map")));
        const QJsonObject lastData = storage.lastData();
        const QByteArray files[] = {readAll(kept("plant.tavc")), readAll(kept("list.csv")),
                                    readAll(kept("plant.map"))};

        switch (breakage) {
        case 0: c0->setChildIds({}); break;
        case 1: model.removeDevice(c0->id()); break;
        case 2: model.addDevice(handleOf(kTav1020, 1))->addChild(m1->id()); break;
        case 3: c0->setNumber(1); break;
        case 4: model.addDevice(handleOf(kTav1020, 0)); break;
        case 5: m1->setNumber(2); break;
        case 6: {
            const Device::Ptr_t c1 = model.addDevice(handleOf(kTav1020, 1));
            for (const IoResource::Ptr_t& port : model.serialPorts()) {
                c0->removeResource(port->id());
                c1->addResource(port->id());
                port->setOwner(c1->id());
            }
            break;
        }
        }
        QCOMPARE(model.brokenRule(), rule);

        QVERIFY(!storage.save());
        QCOMPARE(storage.lastErrorCode(), 15);
        QCOMPARE(storage.lastErrorSubCode(), 20);
        QCOMPARE(storage.lastErrorText(), rule);
        QCOMPARE(storage.lastData(), lastData);
        QVERIFY(!storage.exportCsv(kept("list.csv")));
        QCOMPARE(storage.lastErrorCode(), 43);
        QCOMPARE(storage.lastErrorSubCode(), 20);
        App::Error error;
        QVERIFY(!MapBuilder::exportMap(&model, kept("plant.map"), &error));
        QCOMPARE(error.code, 43);
        QCOMPARE(error.subCode, 20);
        QCOMPARE(error.text, rule);
        QCOMPARE(readAll(kept("plant.tavc")), files[0]);
        QCOMPARE(readAll(kept("list.csv")), files[1]);
        QCOMPARE(readAll(kept("plant.map")), files[2]);
    }

    // Every device type of both brands' catalogues, with modules up to the board budget, saves
    // and opens again to the same system; so does a controller that holds more boards than the
    // editor adds, one read with every field of every kind at its ends, and so do the
    // configuration files kept as fuzzing seeds.
    void everySystemWrittenOpensAgain_data()
    {
        QTest::addColumn<QString>("vendor");
        QTest::addColumn<bool>("extremes");
        QTest::newRow("drovanix") << "drovanix" << false;
        QTest::newRow("holmark") << "holmark" << false;
        QTest::newRow("a controller read with every field at its ends") << "drovanix" << true;
    }

    void everySystemWrittenOpensAgain()
    {
        QFETCH(QString, vendor);
        QFETCH(bool, extremes);
        if (extremes) {
            readSystemWithExtremesOpensAgain();
            return;
        }
        env.setVendorChoice(vendor == "holmark" ? "vio4" : QString());
        const SettingsProvider& catalogue = SettingsProvider::instance(vendor);
        const auto boardsOf = [&catalogue](DeviceType_t type) {
            return catalogue.templates.value(type).boardIds.size();
        };
        QVERIFY(!catalogue.tavTypes.isEmpty() && !catalogue.pexTypes.isEmpty());
        int nextModule = 0;
        int systems = 0;
        for (int t = 0; t < catalogue.tavTypes.size() || nextModule < catalogue.pexTypes.size(); ++t) {
            SystemModel model;
            const Device::Ptr_t c0 = model.addDevice(handleOf(catalogue.tavTypes.at(t % catalogue.tavTypes.size()), 0));
            const Device::Ptr_t c1 = model.addDevice(handleOf(catalogue.tavTypes.at((t + 1) % catalogue.tavTypes.size()), 1));
            QVERIFY(c0 && c1);
            int boards = boardsOf(c0->type()) + boardsOf(c1->type());
            int numbers[2] = {1, 1};
            for (int k = 0; k < catalogue.pexTypes.size(); ++k, ++nextModule) {
                const DeviceType_t type = catalogue.pexTypes.at(nextModule % catalogue.pexTypes.size());
                if (boards + boardsOf(type) > 22)
                    break;
                boards += boardsOf(type);
                const Device::Ptr_t owner = k % 2 ? c1 : c0;
                QVERIFY(model.addDevice(handleOf(type, numbers[k % 2]++, owner->id())));
            }
            QCOMPARE(model.brokenRule(), QString());
            ConfigurationStorage storage(&model);
            storage.setFileName(path(QString("%1-%2.tavc").arg(vendor).arg(t)));
            QVERIFY(storage.save());
            SystemModel loaded;
            ConfigurationStorage reader(&loaded);
            QVERIFY2(reader.load(storage.fileName()), qPrintable(storage.fileName()));
            QCOMPARE(systemJson(loaded), systemJson(model));
            ++systems;
        }
        QVERIFY(systems > 1);

        SystemModel beyond;
        const Device::Ptr_t c0 = beyond.addDevice(handleOf(catalogue.tavTypes.first(), 0));
        int boards = boardsOf(c0->type());
        for (int number = 1; boards <= 22; ++number) {
            const DeviceType_t type = catalogue.pexTypes.at(number % catalogue.pexTypes.size());
            QVERIFY(beyond.addDevice(handleOf(type, number, c0->id())));
            boards += boardsOf(type);
        }
        ConfigurationStorage storage(&beyond);
        storage.setFileName(path(vendor + "-beyond.tavc"));
        QVERIFY2(storage.save(), qPrintable(storage.lastErrorText()));
        SystemModel loaded;
        ConfigurationStorage reader(&loaded);
        QVERIFY2(reader.load(storage.fileName()), qPrintable(reader.lastErrorText()));
        QCOMPARE(systemJson(loaded), systemJson(beyond));

        env.setVendorChoice(QString());
        SettingsProvider::instance("drovanix");
        if (vendor != "drovanix")
            return;
        const QDir seeds(QFileInfo(QFINDTESTDATA("../fuzz/corpus/fuzz_tavcfile/plant.tavc")).path());
        const QStringList names = seeds.entryList({"*.tavc"}, QDir::Files);
        QVERIFY(names.size() >= 3);
        for (const QString& name : names) {
            SystemModel model;
            ConfigurationStorage reader(&model);
            QVERIFY2(reader.load(seeds.filePath(name)), qPrintable(name));
        }
    }

    void csvExportKeepsTheOldListOnFailure()
    {
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        ConfigurationStorage storage(&model);
        QVERIFY(storage.exportCsv(QString()));
        QVERIFY(!storage.exportCsv(env.path()));
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 5);

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

        // A file-size limit met half-way: the list is shorter than the file's write buffer.
        QVERIFY(good.size() < 16384);
        bool exported = true;
        QVERIFY(withFileSizeLimit(rlim_t(good.size() / 2), [&] { exported = storage.exportCsv(target); }));
        QVERIFY(!exported);
        QCOMPARE(storage.lastErrorCode(), 9);
        QCOMPARE(storage.lastErrorSubCode(), 13);
        QCOMPARE(readAll(target), good);
        QCOMPARE(QDir(env.path()).entryList({"*.csv*"}, QDir::Files | QDir::Hidden), QStringList({"list.csv"}));
    }
};

QTEST_MAIN(ConfigurationStorageTest)
#include "tst_configurationstorage.moc"
