// The real window started on a system that does not speak Russian, with the program's translations
// beside it: it comes up in English, keeps that choice, and the language menu switches every menu
// and page back to Russian without a restart, keeping what the labels tell: the title's file name
// and unsaved mark, the file the export to the last map writes to, the alarm counts.
#include "alarms/alarmswidget.h"
#include "shell/emptyscreen.h"
#include "shell/optionsoperation.h"
#include "shell/tavconfigurator.h"
#include "germansystem.h"
#include "scriptedprompts.h"
#include "support/isolatedenvironment.h"
#include "support/modelfixture.h"
#include "systemconfigurator/systemconfigurator.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenuBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TavConfiguratorEnglishTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    static QStringList menuTitles(const TavConfigurator& window)
    {
        QStringList titles;
        for (QAction* menu : window.menuBar()->actions())
            titles << menu->text();
        return titles;
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
        QSettings().clear();
        qputenv("TAVCFG_EXTRA_PORTS", "");
    }

    void firstStartIsEnglishAndSwitchesBack()
    {
        TavConfigurator window(false);
        window.show();
        QTRY_COMPARE(menuTitles(window),
                     (QStringList{"File", "Edit", "Device", "Options", "Help"}));
        QCOMPARE(QSettings().value(QStringLiteral("GuiLanguage")).toString(), QString("en"));
        QCOMPARE(window.options()->firmwareAction()->text(), QString("Update controller firmware"));
        const QString englishEmpty = window.emptyScreen()->text();
        QCOMPARE(window.windowTitle(), QString("TavConfigurator"));
        window.files().createNew();
        window.systemPage()->onAdd({ModelFixture::handleOf(ModelFixture::kTav1020, 0)});
        QCOMPARE(window.windowTitle(), QString("*untitled - Tav Configurator"));
        ScriptedPrompts prompts;
        QTemporaryDir folder;
        prompts.fileNames << folder.filePath("rack1.map");
        window.files().action(FileOperations::ExportMap)->trigger();
        QAction* exportLast = window.files().action(FileOperations::ExportLast);
        QTRY_COMPARE(exportLast->text(), QString("&Export to rack1.map"));
        AlarmsWidget* alarms = window.findChild<AlarmsWidget*>();
        alarms->setCounts(3, 1, 0);

        QAction* russian = nullptr;
        for (QAction* language : window.options()->languageActions())
            if (!language->isChecked())
                russian = language;
        QVERIFY(russian);
        russian->trigger();
        QTRY_COMPARE(menuTitles(window),
                     (QStringList{"Файл", "Правка", "Устройство", "Опции", "Помощь"}));
        QCOMPARE(QSettings().value(QStringLiteral("GuiLanguage")).toString(), QString("ru"));
        QVERIFY(window.emptyScreen()->text() != englishEmpty);
        QCOMPARE(window.windowTitle(), QString("*untitled - Tav Configurator"));
        QCOMPARE(exportLast->text(), QString("&Экспорт в rack1.map"));
        QCOMPARE(alarms->toolTip(), QString("Активные: 3\nНеквитированные: 1\nЗамаскированные: 0"));
    }
};

int main(int argc, char* argv[])
{
    return runOnGermanSystem<TavConfiguratorEnglishTest>(argc, argv);
}

#include "tst_tavconfigurator_english.moc"
