// The File menu: the unsaved-changes question, saving and opening with their failures, the
// messages for files that cannot be opened, and the exports' failures.
#include "appfixture.h"
#include "hostilefiles.h"
#include "scriptedprompts.h"
#include "shell/fileoperations.h"
#include "support/isolatedenvironment.h"

#include <QAction>
#include <QDir>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

using namespace AppFixture;

namespace {

enum Answer { SaveChanges, DiscardChanges, Cancel };

} // namespace

class FileOperationsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    QString path(const QString& name) const { return QDir(env.path()).filePath(name); }

    static void buildSystem(SystemModel& model, int controllers = 1)
    {
        for (int i = 0; i < controllers; ++i)
            model.addDevice(handleOf(kTav1020, i));
    }

    // A saved plant with unsaved changes since: the state every question test starts from.
    void editedPlant(FileOperations& files, SystemModel& model, const QString& name)
    {
        buildSystem(model);
        files.createActions();
        files.storage().setFileName(path(name));
        QVERIFY(files.storage().save());
        model.addDevice(handleOf(kTav1020, 1));
        files.setSaveAvailable(true, true);
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
        QVERIFY(loadCatalogue() != 0);
    }

    void saveQuestionAnswers()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("plant.tavc"));
        const QByteArray before = readAll(path("plant.tavc"));
        QSignalSpy saved(&files, &FileOperations::saved);

        prompts.answers << Cancel << -1 << DiscardChanges;
        QVERIFY(!files.maybeSave(QString()));
        QVERIFY(!files.maybeSave(QString()));
        QVERIFY(files.maybeSave(QString()));
        QCOMPARE(readAll(path("plant.tavc")), before);
        QVERIFY(files.hasUnsavedChanges());
        QCOMPARE(saved.count(), 0);

        const ScriptedPrompts::Asked& asked = prompts.questions.constFirst();
        QCOMPARE(asked.title, QStringLiteral("Tav Configurator"));
        QCOMPARE(asked.text, QStringLiteral("Сохранить изменения в файл:\n\"%1\"").arg(path("plant.tavc")));
        QCOMPARE(asked.buttons, QStringList({"Сохранить", "Не сохранять", "Отмена"}));
        QCOMPARE(asked.defaultButton, int(SaveChanges));
        QCOMPARE(asked.escapeButton, int(Cancel));

        prompts.answers << SaveChanges;
        QVERIFY(files.maybeSave(QString()));
        QVERIFY(readAll(path("plant.tavc")) != before);
        QCOMPARE(saved.count(), 1);
        QVERIFY(!files.hasUnsavedChanges());
        QCOMPARE(prompts.questions.size(), 4);

        // Nothing unsaved: no question. The file that is current is read again from disk, so it
        // is asked about like any other.
        QVERIFY(files.maybeSave(QString()));
        QCOMPARE(prompts.questions.size(), 4);
        files.setSaveAvailable(true, true);
        prompts.answers << Cancel;
        QVERIFY(!files.maybeSave(path("plant.tavc")));
        QCOMPARE(prompts.questions.size(), 5);
    }

    void saveGoesToSaveAsUntilTheFileIsNamed()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        buildSystem(model);
        {
            FileOperations files(&model);
            files.createActions();
            files.setSaveAvailable(true, true);
            QCOMPARE(files.strippedName(), QStringLiteral("untitled"));
            QCOMPARE(files.windowTitle(), QStringLiteral("*untitled - Tav Configurator"));

            // A cancelled save-as from within the question keeps everything where it was.
            prompts.answers << SaveChanges;
            QVERIFY(!files.maybeSave(QString()));
            QVERIFY(files.hasUnsavedChanges());
            QCOMPARE(prompts.dialogCaptions, QStringList({"Сохранить файл"}));
            QCOMPARE(prompts.dialogPaths, QStringList({"untitled"}));
            QCOMPARE(prompts.dialogSuffixes, QStringList({"tavc"}));

            QDir().mkpath(path("plants"));
            prompts.fileNames << path("plants/first.tavc");
            QVERIFY(files.save());
            QCOMPARE(files.strippedName(), QStringLiteral("first.tavc"));
            QCOMPARE(files.windowTitle(), QStringLiteral("first.tavc - Tav Configurator"));
            QVERIFY(!readAll(path("plants/first.tavc")).startsWith("missing"));
            QVERIFY(files.save());
            QCOMPARE(prompts.dialogCaptions.size(), 2);
        }

        // The next run proposes the directory this one saved in.
        FileOperations files(&model);
        files.createActions();
        files.storage().setFileName(QStringLiteral("key"));
        QVERIFY(!files.saveAs());
        QCOMPARE(prompts.dialogPaths.constLast(), path("plants/key"));
    }

    void failedSaveIsNotReportedAsSuccess()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("kept.tavc"));
        const QString unwritable = path("gone/plant.tavc");
        files.storage().setFileName(unwritable);
        QSignalSpy saved(&files, &FileOperations::saved);

        QVERIFY(!files.save());
        QCOMPARE(prompts.messages, QStringList({"Не могу сохранить файл, такой папки нет\n"
                                                "Выберите существующую папку.\n" + unwritable}));
        QVERIFY(files.hasUnsavedChanges());
        QVERIFY(files.action(FileOperations::Save)->isEnabled());

        // Closing or File > New must not go on as if the changes were kept.
        prompts.answers << SaveChanges;
        QVERIFY(!files.maybeSave(QString()));
        QSignalSpy created(&files, &FileOperations::needCreate);
        prompts.answers << SaveChanges;
        files.createNew();
        QCOMPARE(created.count(), 0);
        QCOMPARE(files.storage().fileName(), unwritable);

        // A failed save-as keeps the name the configuration had.
        files.storage().setFileName(path("kept.tavc"));
        prompts.fileNames << unwritable;
        QVERIFY(!files.saveAs());
        QCOMPARE(files.storage().fileName(), path("kept.tavc"));
        QCOMPARE(saved.count(), 0);
        QVERIFY(!QFile::exists(unwritable));
    }

    void emptySystemIsNotSaved()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        files.createActions();
        files.setSaveAvailable(true, true);
        QVERIFY(!files.action(FileOperations::Save)->isEnabled());
        QVERIFY(!files.action(FileOperations::SaveAs)->isEnabled());

        files.storage().setFileName(path("empty.tavc"));
        QVERIFY(!files.save());
        QVERIFY(!files.saveAs());
        QVERIFY(!QFile::exists(path("empty.tavc")));
        QCOMPARE(prompts.messages.size(), 2);
        QVERIFY(prompts.messages.constFirst().startsWith("Конфигурация не содержит ни одного устройства."));
        QVERIFY(prompts.dialogCaptions.isEmpty());
    }

    // A file that cannot be opened, named or picked in File > Open's dialog: the message names
    // the cause, things that are no configuration are told for what they are, and the system
    // being edited stays.
    void openFailuresNameTheCauseAndKeepTheWindow_data()
    {
        QTest::addColumn<QString>("make"); // "text" writes `content`
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("picked");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing file") << "missing" << QByteArray() << false << "файл не найден";
        QTest::newRow("bad format") << "text" << QByteArray("{\"Configuration\": ") << false
                                    << "Неправильный формат";
        QTest::newRow("integrity") << "edit" << QByteArray() << false << "Ошибка целостности";
        QTest::newRow("other") << "text" << QByteArray("[1]") << false << "Неизвестная ошибка";
        QTest::newRow("folder") << "folder" << QByteArray() << true << "это папка, а не файл";
        QTest::newRow("named pipe") << "pipe" << QByteArray() << true << "это не обычный файл";
        QTest::newRow("/dev/zero") << "zero" << QByteArray() << true << "это не обычный файл";
        QTest::newRow("link loop") << "loop" << QByteArray() << true
                                   << "ссылки на файл образуют петлю";
        QTest::newRow("empty file") << "text" << QByteArray() << true << "файл пуст";
        QTest::newRow("controller 1 alone") << "gap" << QByteArray() << true
                                            << "ошибка в конфигурации: нет контроллера с номером 0";
    }

    void openFailuresNameTheCauseAndKeepTheWindow()
    {
        QFETCH(QString, make);
        QFETCH(QByteArray, content);
        QFETCH(bool, picked);
        QFETCH(QString, reason);
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("current.tavc"));
        QString bad = path("bad.tavc");
        QFile::remove(bad);
        if (make == "text") {
            QVERIFY(writeAll(bad, content));
        } else if (make == "edit") {
            // One value of the data changed by hand, the checksum left as it was.
            QJsonObject root = QJsonDocument::fromJson(readAll(path("current.tavc"))).object();
            QJsonObject configuration = root["Configuration"].toObject();
            QJsonObject data = configuration["data"].toObject();
            QVERIFY(data.contains("dataSize"));
            data["dataSize"] = data["dataSize"].toInt() + 2;
            configuration["data"] = data;
            root["Configuration"] = configuration;
            QVERIFY(writeAll(bad, QJsonDocument(root).toJson()));
        } else if (make == "folder") {
            bad = env.path();
        } else if (make == "pipe") {
            QVERIFY(HostileFiles::makeFifo(bad));
        } else if (make == "zero") {
            bad = "/dev/zero";
        } else if (make == "loop") {
            QVERIFY(HostileFiles::makeLinkLoop(bad));
        } else if (make == "gap") {
            SystemModel gap;
            gap.addDevice(handleOf(kTav1020, 1));
            QJsonObject data;
            QVERIFY(gap.writeJson(data));
            const QJsonObject configuration{{"data", data}, {"cs", "skip_checking_cs"}};
            const QJsonObject root{{"Configuration", configuration}};
            QVERIFY(writeAll(bad, QJsonDocument(root).toJson()));
        }
        const int devices = model.devices().size();
        QSignalSpy opened(&files, &FileOperations::opened);

        prompts.answers << DiscardChanges;
        {
            const HostileFiles::PipeWatchdog watchdog(bad, std::chrono::seconds(10));
            if (picked) {
                prompts.fileNames << bad;
                files.action(FileOperations::Open)->trigger();
            } else {
                files.open(bad);
            }
            QVERIFY2(!watchdog.fired(), "the window waited on a named pipe");
        }
        QCOMPARE(prompts.dialogCaptions, picked ? QStringList({"Открыть файл"}) : QStringList());
        QCOMPARE(prompts.messages, QStringList({"Не могу открыть файл, " + reason + "\n" + bad}));
        QVERIFY(prompts.warnings.isEmpty());
        QCOMPARE(opened.count(), 0);
        QCOMPARE(model.devices().size(), devices);
        QCOMPARE(files.storage().fileName(), path("current.tavc"));
        QVERIFY(files.hasUnsavedChanges());
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // Opening the file that is open throws the unsaved changes away like opening any other.
    void reopeningTheOpenFileAsksFirst()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("current.tavc"));
        const QString current = path("current.tavc");
        const QByteArray saved = readAll(current);
        QSignalSpy opened(&files, &FileOperations::opened);

        prompts.answers << Cancel;
        prompts.fileNames << current;
        files.action(FileOperations::Open)->trigger();
        QCOMPARE(prompts.questions.size(), 1);
        QCOMPARE(prompts.questions.constFirst().text,
                 QStringLiteral("Сохранить изменения в файл:\n\"%1\"").arg(current));
        QCOMPARE(model.devices().size(), 2);
        QVERIFY(files.hasUnsavedChanges());
        QCOMPARE(opened.count(), 0);

        prompts.answers << DiscardChanges;
        files.open(current);
        QCOMPARE(prompts.questions.size(), 2);
        QCOMPARE(model.devices().size(), 1);
        QVERIFY(!files.hasUnsavedChanges());
        QCOMPARE(opened.count(), 1);
        QCOMPARE(readAll(current), saved);
    }

    // The window shows it is busy while a file is read and shown, and no longer afterwards.
    void busyWhileOpening()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("current.tavc"));
        files.setSaveAvailable(false, true);
        QList<int> shapes;
        connect(&model, &SystemModel::changed, this, [&shapes] {
            const QCursor* cursor = QGuiApplication::overrideCursor();
            shapes << (cursor ? int(cursor->shape()) : -1);
        });
        files.open(path("current.tavc"));
        QVERIFY(prompts.messages.isEmpty());
        QVERIFY(!shapes.isEmpty());
        for (const int shape : qAsConst(shapes))
            QCOMPARE(shape, int(Qt::WaitCursor));
        QVERIFY(!QGuiApplication::overrideCursor());
    }

    // A system that breaks a rule is neither saved nor exported: the user is warned with the rule
    // and every file keeps what it held.
    void brokenSystemIsRefusedWithAWarning()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("current.tavc"));
        const QByteArray saved = readAll(path("current.tavc"));
        model.addDevice(handleOf(kTav1020, 1));
        QSignalSpy savedSpy(&files, &FileOperations::saved);

        files.action(FileOperations::Save)->trigger();
        prompts.fileNames << path("list.csv") << path("plant.map");
        files.action(FileOperations::ExportCsv)->trigger();
        files.action(FileOperations::ExportMap)->trigger();
        const QString rule = ", ошибка в конфигурации: два контроллера с номером 1\n";
        QCOMPARE(prompts.warnings, QStringList({"Не могу сохранить файл" + rule + path("current.tavc"),
                                                "Не могу экспортировать конфигурацию" + rule + path("list.csv"),
                                                "Не могу экспортировать конфигурацию" + rule + path("plant.map")}));
        QCOMPARE(prompts.messages, prompts.warnings);
        QCOMPARE(readAll(path("current.tavc")), saved);
        QVERIFY(!QFile::exists(path("list.csv")));
        QVERIFY(!QFile::exists(path("plant.map")));
        QCOMPARE(savedSpy.count(), 0);
        QVERIFY(files.hasUnsavedChanges());
    }

    void failedExportsTellTheUser()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("export.tavc"));

        prompts.fileNames << path("gone/list.csv") << path("gone/plant.map");
        files.exportCSV();
        files.exportAs();
        QCOMPARE(prompts.dialogSuffixes, QStringList({"csv", "map"}));
        QCOMPARE(prompts.messages.size(), 2);
        const QString missing = "Не могу экспортировать конфигурацию, такой папки нет\nВыберите существующую папку.\n";
        QCOMPARE(prompts.messages.at(0), missing + path("gone/list.csv"));
        QCOMPARE(prompts.messages.at(1), missing + path("gone/plant.map"));

        // A system the map cannot be built for leaves the last map file as it was.
        prompts.fileNames << path("plant.map");
        files.exportAs();
        QCOMPARE(prompts.messages.size(), 2);
        const QByteArray map = readAll(path("plant.map"));
        QVERIFY(map.contains("[Request"));
        QCOMPARE(files.action(FileOperations::ExportLast)->text(), QStringLiteral("&Экспорт в plant.map"));
        model.clear();
        files.exportLast();
        QCOMPARE(prompts.messages.size(), 3);
        QVERIFY(prompts.messages.constLast().contains("в системе нет последовательного порта"));
        QCOMPARE(readAll(path("plant.map")), map);

        files.setSaveAvailable(false, true);
        files.createNew();
        QVERIFY(!files.action(FileOperations::ExportLast)->isEnabled());
        QCOMPARE(files.action(FileOperations::ExportLast)->text(), QStringLiteral("&Экспорт в ..."));
    }
};

QTEST_MAIN(FileOperationsTest)
#include "tst_fileoperations.moc"
