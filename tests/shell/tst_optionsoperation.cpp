// The Options menu: which translations are offered, which language a first start chooses and
// keeps, what a translation that does not load leaves, and that switching retranslates an open
// window without a restart.
#include "shell/optionsoperation.h"
#include "germansystem.h"
#include "support/isolatedenvironment.h"
#include "upgrade/upgradefirmwaredialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class OptionsOperationTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

    // A translation folder holding the program's own files for `codes`.
    static bool putTranslations(const QTemporaryDir& folder, const QStringList& codes)
    {
        for (const QString& code : codes) {
            const QString name = QStringLiteral("tavcfg_%1.qm").arg(code);
            if (!QFile::copy(QStringLiteral(TAV_I18N_DIR "/") + name, folder.filePath(name)))
                return false;
        }
        return true;
    }

    static QString saved() { return QSettings().value(QStringLiteral("GuiLanguage")).toString(); }
    static QString optionsTitle() { return QCoreApplication::translate("OptionsOperation", "Опции"); }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
        QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
        QCOMPARE(QLocale::system().name().left(2), QStringLiteral("de"));
    }

    void init() { QSettings().remove(QStringLiteral("GuiLanguage")); }

    void firstStartOnAForeignSystemChoosesEnglish()
    {
        QTemporaryDir folder;
        QVERIFY(putTranslations(folder, {"ru", "en"}));
        OptionsOperation options(nullptr, folder.path());
        QCOMPARE(options.findTranslations(),
                 QList<OptionsOperation::Translation>({{"en", "English"}, {"ru", "Russian"}}));

        options.createActions();
        QCOMPARE(saved(), QStringLiteral("en"));
        QCOMPARE(optionsTitle(), QStringLiteral("Options"));
        QCOMPARE(options.menuTitles(), QStringList({"Options"}));
        QCOMPARE(options.firmwareAction()->text(), QStringLiteral("Update controller firmware"));
        QCOMPARE(options.languageActions().size(), 2);
        QVERIFY(options.languageActions().at(0)->isChecked());
        QCOMPARE(options.menuActions().value("Options").size(), 2);
        QVERIFY(options.toolBarActions().isEmpty());

        // The next start keeps the choice, whatever the system says.
        options.languageActions().at(1)->trigger();
        QCOMPARE(saved(), QStringLiteral("ru"));
        QCOMPARE(optionsTitle(), QStringLiteral("Опции"));
        OptionsOperation next(nullptr, folder.path());
        next.createActions();
        QVERIFY(next.languageActions().at(1)->isChecked());
        QCOMPARE(optionsTitle(), QStringLiteral("Опции"));
    }

    void switchingRetranslatesAnOpenWindow()
    {
        QTemporaryDir folder;
        QVERIFY(putTranslations(folder, {"en", "ru"}));
        QSettings().setValue(QStringLiteral("GuiLanguage"), QStringLiteral("ru"));
        OptionsOperation options(nullptr, folder.path());
        options.createActions();
        UpgradeFirmwareDialog dialog;
        dialog.setDebugPerpetualUpgrade(true);
        dialog.show();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Обновление ПО контроллера[Perpetual]"));

        QVERIFY(options.switchLanguage(QStringLiteral("en")));
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Controller firmware update[Perpetual]"));
        QVERIFY(options.switchLanguage(QStringLiteral("ru")));
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Обновление ПО контроллера[Perpetual]"));
    }

    void aCorruptTranslationLeavesTheSourceTexts()
    {
        QTemporaryDir folder;
        QFile corrupt(folder.filePath(QStringLiteral("tavcfg_en.qm")));
        QVERIFY(corrupt.open(QIODevice::WriteOnly));
        corrupt.write("not a translation");
        corrupt.close();

        OptionsOperation options(nullptr, folder.path());
        options.createActions();
        QCOMPARE(saved(), QStringLiteral("en"));
        QCOMPARE(optionsTitle(), QStringLiteral("Опции"));
        QCOMPARE(options.firmwareAction()->text(), QStringLiteral("Обновить ПО контроллера"));
        QVERIFY(!options.switchLanguage(QStringLiteral("en")));
    }

    void withoutTranslationsOnlyTheFirmwareUpdate()
    {
        QTemporaryDir folder;
        OptionsOperation options(nullptr, folder.filePath(QStringLiteral("missing")));
        options.createActions();
        QVERIFY(!options.languageMenu());
        QCOMPARE(options.menuActions().value("Опции"), QList<QAction*>({options.firmwareAction()}));
        QVERIFY(saved().isEmpty());

        QSignalSpy upgrade(&options, &OptionsOperation::firmwareUpgrade);
        options.firmwareAction()->trigger();
        QCOMPARE(upgrade.count(), 1);
    }
};

int main(int argc, char* argv[])
{
    return runOnGermanSystem<OptionsOperationTest>(argc, argv);
}

#include "tst_optionsoperation.moc"
