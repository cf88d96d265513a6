// The engineering menu: present only with "-dev", its map test file equal to the File menu's map
// export, the binary dumps of the system and its expansion modules, and the offline scan switch.
#include "appfixture.h"
#include "model/flatconfiguration.h"
#include "scriptedprompts.h"
#include "shell/debugoperations.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"
#include "shell/operationmenus.h"
#include "support/isolatedenvironment.h"

#include <QAction>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>

using namespace AppFixture;

class DebugOperationsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t pexType = 0;

    QString path(const QString& name) const { return QDir(env.path()).filePath(name); }

    // Controller 0 with two expansion modules.
    QList<Device::Ptr_t> buildSystem(SystemModel& model) const
    {
        const Device::Ptr_t controller = model.addDevice(handleOf(kTav1020, 0));
        return {controller, model.addDevice(handleOf(pexType, 1, controller->id())),
                model.addDevice(handleOf(pexType, 2, controller->id()))};
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
        pexType = loadCatalogue();
        QVERIFY(pexType != 0);
    }

    void menuInItsOrder()
    {
        SystemModel model;
        QScopedPointer<DebugOperations> debug(new DebugOperations(&model));
        debug->createActions();
        HelpOperations help;
        help.createActions();
        QMainWindow window;
        OperationMenus menus;
        menus.createMenus(&window, {&help, debug.data()});
        const QList<QAction*> bar = window.menuBar()->actions();
        QCOMPARE(bar.size(), 2);
        QCOMPARE(bar.at(1)->text(), QStringLiteral("Инженерный режим!"));
        QStringList texts;
        for (QAction* action : bar.at(1)->menu()->actions())
            texts << action->text();
        QCOMPARE(texts, QStringList({"Тест map", "Открыть папку запуска", "Сканировать cистемы",
                                     "Обновлять бесконечно",
                                     "Сохранить конфигурацию в бинарный файл", QString()}));
        QVERIFY(debug->toolBarActions().isEmpty());
    }

    void mapTestEqualsTheFileMenuExport()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        buildSystem(model);
        FileOperations files(&model);
        files.createActions();
        DebugOperations debug(&model);
        debug.createActions();

        prompts.fileNames << path("exported.map");
        files.exportAs();
        QVERIFY(prompts.messages.isEmpty());
        debug.action(DebugOperations::MapTest)->trigger();
        const QByteArray map = readAll(path("memory.map"));
        QVERIFY(map.contains("[Request"));
        QCOMPARE(map, readAll(path("exported.map")));
    }

    void binaryDumpWritesTheImageAndEachModule()
    {
        ScriptedPrompts prompts;
        SystemModel model;
        const QList<Device::Ptr_t> devices = buildSystem(model);
        DebugOperations debug(&model);
        debug.createActions();

        // A cancelled dialog writes nothing.
        debug.action(DebugOperations::BinaryDump)->trigger();
        QCOMPARE(prompts.dialogPaths, QStringList({model.systemKey() + ".bin"}));
        QVERIFY(QDir().mkpath(path("dump")));
        QVERIFY(QDir(path("dump")).isEmpty());

        prompts.fileNames << path("dump/system.bin");
        debug.action(DebugOperations::BinaryDump)->trigger();
        QByteArray image;
        QMap<NodeId_t, QByteArray> blocks;
        QVERIFY(FlatConfiguration(&model).compose(image, &blocks));
        QCOMPARE(readAll(path("dump/system.bin")), image);

        QStringList expected{"system.bin"};
        for (int m = 1; m <= 2; ++m) {
            const QString name = DebugOperations::moduleFileName(devices.at(m)->displayName(0));
            QCOMPARE(name, QStringLiteral("0.%1.").arg(m) + devices.at(m)->name() + ".bin");
            expected << name;
            const QByteArray block = blocks.value(devices.at(m)->id());
            QVERIFY(!block.isEmpty());
            const QByteArray content = readAll(path("dump/" + name));
            QCOMPARE(content.left(4), QByteArray::fromHex("0100") + char(block.size() & 0xff)
                                          + char(block.size() >> 8));
            QCOMPARE(content.mid(4), block);
        }
        expected.sort();
        QCOMPARE(QDir(path("dump")).entryList(QDir::Files, QDir::Name), expected);

        // A model name with a separator stays a file in the dump's folder.
        QCOMPARE(DebugOperations::moduleFileName("0.1.PEX/AI\\8"), QStringLiteral("0.1.PEX_AI_8.bin"));
    }

    void scanSwitchFollowsTheSelectedSystem()
    {
        SystemModel model;
        DebugOperations debug(&model);
        debug.createActions();
        QSignalSpy scan(&debug, &DebugOperations::scanSystem);
        QAction* scanAction = debug.action(DebugOperations::ScanSystems);
        scanAction->trigger();
        QCOMPARE(scan.takeFirst().at(0).toBool(), true);
        debug.systemFound(LiveSystem::Ptr_t());
        // A system that never answered is not valid: the scan goes on.
        debug.systemFound(LiveSystem::Ptr_t::create());
        QCOMPARE(scan.count(), 0);
        debug.systemLost();
        QCOMPARE(scan.takeFirst().at(0).toBool(), true);
        scanAction->trigger();
        debug.systemLost();
        QCOMPARE(scan.takeLast().at(0).toBool(), false);
    }
};

QTEST_MAIN(DebugOperationsTest)
#include "tst_debugoperations.moc"
