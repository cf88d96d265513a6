// A first start on a Russian desktop, with no language chosen before, comes up in Russian and
// keeps that choice. CTest runs this process with LANG=ru_RU.UTF-8.
#include "shell/optionsoperation.h"
#include "support/isolatedenvironment.h"

#include <QAction>
#include <QSettings>
#include <QtTest>

class RussianDesktopTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
        QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
        QCOMPARE(QLocale::system().name(), QStringLiteral("ru_RU"));
    }

    void firstStartComesUpInRussian()
    {
        QVERIFY(!QSettings().contains(QStringLiteral("GuiLanguage")));
        OptionsOperation options(nullptr, QStringLiteral(TAV_I18N_DIR));
        options.createActions();
        QCOMPARE(QSettings().value(QStringLiteral("GuiLanguage")).toString(), QStringLiteral("ru"));
        QCOMPARE(options.menuTitles(), QStringList({QStringLiteral("Опции")}));
        QCOMPARE(options.firmwareAction()->text(), QStringLiteral("Обновить ПО контроллера"));
        QCOMPARE(QCoreApplication::translate("OptionsOperation", "Язык"), QStringLiteral("Язык"));
        QStringList checked;
        for (QAction* language : options.languageActions())
            if (language->isChecked())
                checked << language->text();
        QCOMPARE(checked, QStringList{QStringLiteral("Russian")});
    }
};

QTEST_MAIN(RussianDesktopTest)
#include "tst_russiandesktop.moc"
