// The File menu: the unsaved-changes question, saving and opening with their failures, the
// messages for files that cannot be opened, and the exports' failures.
#include "appfixture.h"
#include "scriptedprompts.h"
#include "shell/fileoperations.h"
#include "support/isolatedenvironment.h"

#include <QAction>
#include <QDir>
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
        buildSystem(model, 2);
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

        // Nothing unsaved, or the file that is current anyway: no question.
        QVERIFY(files.maybeSave(QString()));
        files.setSaveAvailable(true, true);
        QVERIFY(files.maybeSave(path("plant.tavc")));
        QCOMPARE(prompts.questions.size(), 4);
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
        QCOMPARE(prompts.messages, QStringList({"Не могу сохранить файл\n" + unwritable}));
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

    void openErrorsNameTheCauseAndKeepTheWindow_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << QByteArray() << "Не могу открыть файл, Неправильный формат";
        QTest::newRow("bad format") << QByteArray("{\"Configuration\": ") << "Не могу открыть файл, Неправильный формат";
        QTest::newRow("integrity") << QByteArray("edit") << "Не могу открыть файл, Ошибка целостности";
        QTest::newRow("other") << QByteArray("[1]") << "Не могу открыть файл, Неизвестная ошибка";
    }

    void openErrorsNameTheCauseAndKeepTheWindow()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        ScriptedPrompts prompts;
        SystemModel model;
        FileOperations files(&model);
        editedPlant(files, model, QStringLiteral("current.tavc"));
        const QString bad = path("bad.tavc");
        QFile::remove(bad);
        if (content == "edit") {
            // One value of the data changed by hand, the checksum left as it was.
            QJsonObject root = QJsonDocument::fromJson(readAll(path("current.tavc"))).object();
            QJsonObject configuration = root["Configuration"].toObject();
            QJsonObject data = configuration["data"].toObject();
            QVERIFY(data.contains("dataSize"));
            data["dataSize"] = data["dataSize"].toInt() + 2;
            configuration["data"] = data;
            root["Configuration"] = configuration;
            QVERIFY(writeAll(bad, QJsonDocument(root).toJson()));
        } else if (!content.isEmpty()) {
            QVERIFY(writeAll(bad, content));
        }
        QSignalSpy opened(&files, &FileOperations::opened);
        const int devices = model.devices().size();

        prompts.answers << DiscardChanges;
        files.open(bad);
        QCOMPARE(prompts.messages, QStringList({message + "\n" + bad}));
        QCOMPARE(opened.count(), 0);
        QCOMPARE(model.devices().size(), devices);
        QCOMPARE(files.storage().fileName(), path("current.tavc"));
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
        QCOMPARE(prompts.messages.at(0), "Не могу экспортировать конфигурацию\n" + path("gone/list.csv"));
        QCOMPARE(prompts.messages.at(1), "Не могу экспортировать конфигурацию\n" + path("gone/plant.map"));

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
