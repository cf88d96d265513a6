// The page tab bar: which page each tab asks for, locking tabs, and showing the bar on a page.
#include "shell/systemoperation.h"

#include <QSignalSpy>
#include <QTabBar>
#include <QWidget>
#include <QtTest>

class SystemOperationTest : public QObject
{
    Q_OBJECT

private slots:
    void tabsAskForTheirPages()
    {
        SystemOperation tabs;
        tabs.createTabBar();
        QTabBar* bar = tabs.tabBar();
        QCOMPARE(bar->tabText(1), QStringLiteral("Система"));
        QVERIFY(tabs.isResourcesTabCurrent());

        QSignalSpy system(&tabs, &SystemOperation::editSystem);
        QSignalSpy resources(&tabs, &SystemOperation::editResources);
        tabs.goEditSystem();
        tabs.goEditSystem();
        QCOMPARE(system.count(), 1);
        QVERIFY(tabs.isSystemTabCurrent());
        bar->setCurrentIndex(0);
        QCOMPARE(resources.count(), 1);

        tabs.setResourceEditable(false);
        QVERIFY(!bar->isTabEnabled(0));
        tabs.setSystemEditable(false);
        QVERIFY(!bar->isTabEnabled(1));
    }

    void barReappearsOnlyOnAPage()
    {
        SystemOperation tabs;
        tabs.createTabBar();
        tabs.goEditSystem();
        // Not on a page yet: it must not pop up as a window of its own.
        QVERIFY(tabs.tabBar()->isHidden());

        QWidget page;
        tabs.tabBar()->setParent(&page);
        tabs.tabBar()->hide();
        page.show();
        tabs.goEditResources();
        QVERIFY(tabs.tabBar()->isVisible());
        // The page owns the bar now and deletes it before the tabs object goes.
    }
};

QTEST_MAIN(SystemOperationTest)
#include "tst_systemoperation.moc"
