// Errors are raised in one subsystem and told to the user by another: each case raises one where it
// happens (the port, the file reader, the exports) and checks what the user then reads.
#include "appfixture.h"
#include "shell/programstart.h"
#include "hostilefiles.h"
#include "scriptedprompts.h"
#include "communication/channel.h"
#include "communication/modbusdevice.h"
#include "communication/serialportinfo.h"
#include "shell/configurationstorage.h"
#include "shell/fileoperations.h"
#include "shell/portpermissionnotice.h"
#include "support/isolatedenvironment.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace AppFixture;

namespace {

enum Source {
    RefusedPort, MissingPort, LockedPort,
    NotJson, ChangedData, UnreadableData,
    MapWithoutSerialPort, ListToMissingFolder,
    SaveOverReadOnlyFile, SaveInLockedFolder, SaveOverFolder, SaveToMissingFolder, SaveWithLongName,
    SaveOverSizeLimit, SaveOverSizeLimitInSharedFolder, SaveAsOntoNullLink, SaveOverPipe,
    SaveOverLinkLoop, ListOntoPipe
};

QByteArray configuration(const QJsonObject& data, const QString& checksum)
{
    const QJsonObject section{{"data", data}, {"cs", checksum}};
    return QJsonDocument(QJsonObject{{"Configuration", section}}).toJson();
}

} // namespace

Q_DECLARE_METATYPE(Source)

class ErrorMessagesTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    QString path(const QString& name) const { return QDir(env.path()).filePath(name); }

    // What the port notice tells the user after a failed open of `port`, and whether the channel
    // takes the failure for a hung port.
    static QString openPort(const QString& port, bool* hung)
    {
        ScriptedPrompts prompts;
        PortSettings_t settings;
        settings.portName = port;
        ModbusDevice device;
        if (device.open(settings))
            return QStringLiteral("opened");
        *hung = Channel::isHungOpenError(device.lastOpenError());
        PortPermissionNotice notice;
        notice.portOpenFailed(SerialPortInfo::fromPath(port), device.lastOpenError());
        return prompts.messages.join(QLatin1Char('|'));
    }

    QString loadFile(const QByteArray& content)
    {
        const QString file = path("load.tavc");
        if (!writeAll(file, content))
            return QStringLiteral("not written");
        SystemModel model;
        ConfigurationStorage storage(&model);
        if (storage.load(file))
            return QStringLiteral("loaded");
        return ConfigurationStorage::loadErrorMessage(storage.lastError(),
                                                      QStringLiteral("load.tavc"));
    }

    // What the File menu tells the user after exporting a system of one controller, or of none,
    // to `file`.
    QString exportFile(bool list, const QString& file)
    {
        ScriptedPrompts prompts;
        SystemModel model;
        if (list)
            model.addDevice(handleOf(kTav1020, 0));
        FileOperations files(&model);
        files.createActions();
        prompts.fileNames << file;
        if (list)
            files.exportCSV();
        else
            files.exportAs();
        const QString folder = env.path() + QLatin1Char('/');
        return prompts.messages.join(QLatin1Char('|')).replace(folder, QString());
    }

    // What the File menu tells the user after saving a system of one controller to `file`, its
    // folder left out; with files limited to `limit` bytes when given; through Save As when
    // `saveAs`.
    static QString saveFile(const QString& file, rlim_t limit = 0, bool saveAs = false)
    {
        ScriptedPrompts prompts;
        SystemModel model;
        model.addDevice(handleOf(kTav1020, 0));
        FileOperations files(&model);
        files.createActions();
        if (saveAs)
            prompts.fileNames << file;
        else
            files.storage().setFileName(file);
        const auto save = [&files, saveAs] { saveAs ? files.saveAs() : files.save(); };
        if (limit == 0)
            save();
        else
            withFileSizeLimit(limit, save);
        const QString folder = QFileInfo(file).path() + QLatin1Char('/');
        return prompts.messages.join(QLatin1Char('|')).replace(folder, QString());
    }

private slots:
    void initTestCase()
    {
        // As the program starts: past a file-size limit a write fails instead of ending the process.
        ProgramStart::catchTerminationSignals();
        QVERIFY(loadCatalogue() != 0);
    }

    void eachFailureEarnsItsMessage_data()
    {
        QTest::addColumn<Source>("source");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("hung");

        QTest::newRow("port refused") << RefusedPort << "dialout" << false;
        QTest::newRow("port missing") << MissingPort << "" << false;
        QTest::newRow("port hung") << LockedPort << "" << true;
        QTest::newRow("file not JSON")
            << NotJson << "Не могу открыть файл, Неправильный формат\nload.tavc" << false;
        QTest::newRow("data changed by hand")
            << ChangedData << "Не могу открыть файл, Ошибка целостности\nload.tavc" << false;
        QTest::newRow("data the model refuses")
            << UnreadableData
            << "Не могу открыть файл, ошибка в конфигурации: в файле нет ни одного устройства\nload.tavc"
            << false;
        QTest::newRow("map without serial port") << MapWithoutSerialPort
            << "Не могу экспортировать конфигурацию, в системе нет последовательного порта\nplant.map" << false;
        QTest::newRow("list to a missing folder") << ListToMissingFolder
            << "Не могу экспортировать конфигурацию, такой папки нет\nВыберите существующую папку.\n"
               "gone/list.csv" << false;
        QTest::newRow("save over a read-only file") << SaveOverReadOnlyFile
            << "Не могу сохранить файл, файл защищён от записи\n"
               "Снимите с файла защиту от записи или выберите другое имя.\nplant.tavc" << false;
        QTest::newRow("save in a locked folder") << SaveInLockedFolder
            << "Не могу сохранить файл, нет прав на запись в папку\n"
               "Выберите другую папку или попросите администратора дать права на запись в неё.\n"
               "plant.tavc" << false;
        QTest::newRow("save over a folder") << SaveOverFolder
            << "Не могу сохранить файл, под этим именем уже есть папка\nВыберите другое имя.\nplant.tavc"
            << false;
        QTest::newRow("save to a missing folder") << SaveToMissingFolder
            << "Не могу сохранить файл, такой папки нет\nВыберите существующую папку.\nplant.tavc" << false;
        QTest::newRow("save with a long name") << SaveWithLongName
            << "Не могу сохранить файл, слишком длинное имя файла\nВыберите более короткое имя.\n"
               + QString(300, 'a') + ".tavc" << false;
        // The limit the system sets on the size of the files the program writes, not a full disk.
        const QString overLimit = "Не могу сохранить файл, файл превысил допустимый размер\n";
        const QString liftLimit = "Снимите ограничение размера файлов, заданное программе (ulimit -f), "
                                  "или выберите другой диск.\nplant.tavc";
        QTest::newRow("save past the file-size limit") << SaveOverSizeLimit << overLimit + liftLimit << false;
        QTest::newRow("save past the file-size limit in a shared folder") << SaveOverSizeLimitInSharedFolder
            << overLimit + "Файл сохранил прежнее содержимое.\n" + liftLimit << false;
        const QString notAFile = "это не обычный файл\nВыберите другое имя.\n";
        QTest::newRow("save as onto a link to /dev/null") << SaveAsOntoNullLink
            << "Не могу сохранить файл, " + notAFile + "plant.tavc" << false;
        QTest::newRow("save over a named pipe") << SaveOverPipe
            << "Не могу сохранить файл, " + notAFile + "plant.tavc" << false;
        QTest::newRow("save over a link loop") << SaveOverLinkLoop
            << "Не могу сохранить файл, ссылки на файл образуют петлю\nВыберите другое имя.\nplant.tavc" << false;
        QTest::newRow("list onto a named pipe") << ListOntoPipe
            << "Не могу экспортировать конфигурацию, " + notAFile + "list.csv" << false;
    }

    void eachFailureEarnsItsMessage()
    {
        QFETCH(Source, source);
        QFETCH(QString, message);
        QFETCH(bool, hung);

        QString shown;
        bool hungPort = false;
        const QString skip = QStringLiteral("skip_checking_cs");
        switch (source) {
        case RefusedPort: {
            const QString port = path("ttyRefused");
            QVERIFY(writeAll(port, QByteArray()));
            QVERIFY(QFile::setPermissions(port, QFileDevice::Permissions()));
            // A user outside the dialout group meets the port as an ordinary user does.
            QVERIFY(asOrdinaryUser([&] { shown = openPort(port, &hungPort); }));
            break;
        }
        case MissingPort:
            shown = openPort(path("ttyMissing"), &hungPort);
            break;
        case LockedPort: {
            // A pseudo-terminal whose other end never unlocked it refuses an open with EIO, as a
            // USB serial port does that stopped answering.
            const int master = posix_openpt(O_RDWR | O_NOCTTY);
            QVERIFY(master >= 0);
            QVERIFY(grantpt(master) == 0);
            shown = openPort(QString::fromLocal8Bit(ptsname(master)), &hungPort);
            close(master);
            break;
        }
        case NotJson:
            shown = loadFile("{\"Configuration\": ");
            break;
        case ChangedData:
            shown = loadFile(configuration(QJsonObject{{"Devices", QJsonArray()}}, "0123456789"));
            break;
        case UnreadableData:
            shown = loadFile(configuration(QJsonObject{{"Devices", QJsonArray()}}, skip));
            break;
        case MapWithoutSerialPort:
            shown = exportFile(false, path("plant.map"));
            break;
        case ListToMissingFolder:
            shown = exportFile(true, path("gone/list.csv"));
            break;
        case SaveOverReadOnlyFile:
        case SaveInLockedFolder:
        case SaveOverSizeLimitInSharedFolder: {
            // Reached by an ordinary user, whom permissions stop as they never stop root.
            QTemporaryDir shared;
            const QString folder = shared.filePath("locked");
            const QString file = folder + "/plant.tavc";
            QVERIFY(QDir().mkpath(folder));
            const QByteArray old(100, 'x');
            if (source != SaveInLockedFolder)
                QVERIFY(writeAll(file, old));
            QVERIFY(lockFolder(shared.path(), folder));
            if (source == SaveOverReadOnlyFile) {
                unlockFolder(folder);
                QVERIFY(QFile::setPermissions(file, kListable));
            }
            const bool asUser = asOrdinaryUser([&] {
                shown = saveFile(file, source == SaveOverSizeLimitInSharedFolder ? rlim_t(old.size()) : 0);
            });
            unlockFolder(folder);
            if (!asUser)
                QSKIP("the rights of an ordinary user cannot be taken");
            if (source != SaveInLockedFolder)
                QCOMPARE(readAll(file), old);
            break;
        }
        case SaveOverFolder:
            QVERIFY(QDir().mkpath(path("taken/plant.tavc")));
            shown = saveFile(path("taken/plant.tavc"));
            break;
        case SaveToMissingFolder:
            shown = saveFile(path("gone/plant.tavc"));
            break;
        case SaveWithLongName:
            shown = saveFile(path(QString(300, 'a') + ".tavc"));
            break;
        case SaveOverSizeLimit:
            shown = saveFile(path("plant.tavc"), 100);
            break;
        case SaveAsOntoNullLink: {
            // As an ordinary user picks it in the dialog; root's rights would let a save replace
            // the device itself.
            QTemporaryDir shared;
            QVERIFY(QFile::setPermissions(shared.path(), kListable | QFile::WriteOwner));
            const QString link = shared.filePath("plant.tavc");
            QVERIFY(QFile::link("/dev/null", link));
            if (!asOrdinaryUser([&] { shown = saveFile(link, 0, true); }))
                QSKIP("the rights of an ordinary user cannot be taken");
            QVERIFY(QFileInfo(link).isSymLink());
            QVERIFY(QFileInfo("/dev/null").exists() && !QFileInfo("/dev/null").isFile());
            break;
        }
        case SaveOverPipe:
            QVERIFY(HostileFiles::makeFifo(path("plant.tavc")));
            shown = saveFile(path("plant.tavc"));
            QVERIFY(!QFileInfo(path("plant.tavc")).isFile());
            break;
        case SaveOverLinkLoop:
            QVERIFY(HostileFiles::makeLinkLoop(path("plant.tavc")));
            shown = saveFile(path("plant.tavc"));
            QVERIFY(QFileInfo(path("plant.tavc")).isSymLink());
            break;
        case ListOntoPipe:
            QVERIFY(HostileFiles::makeFifo(path("list.csv")));
            shown = exportFile(true, path("list.csv"));
            QVERIFY(!QFileInfo(path("list.csv")).isFile());
            break;
        }

        if (message.isEmpty() || source != RefusedPort)
            QCOMPARE(shown, message);
        else
            QVERIFY2(shown.contains(message), qPrintable(shown));
        QCOMPARE(hungPort, hung);
    }
};

QTEST_MAIN(ErrorMessagesTest)
#include "tst_errormessages.moc"
