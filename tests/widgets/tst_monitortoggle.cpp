// The monitoring toggle: a click says which way the user wants to switch; only the status slot
// changes what the button believes.
#include "widgets/monitoraction.h"
#include "widgets/monitorbutton.h"

#include <QAbstractButton>
#include <QPointer>
#include <QToolBar>
#include <QtTest>

class MonitorToggleTest : public QObject
{
    Q_OBJECT

private slots:
    void clickAsksForTheOtherStatus()
    {
        QToolBar bar;
        MonitorAction action(QIcon(), &bar);
        bar.addAction(&action);
        bar.show();
        auto* button = qobject_cast<MonitorButton*>(bar.widgetForAction(&action));
        QVERIFY(button);
        QStringList order;
        connect(&action, &MonitorAction::on, this, [&order] { order << "on"; });
        connect(&action, &MonitorAction::off, this, [&order] { order << "off"; });
        connect(&action, &MonitorAction::clicked, this, [&order] { order << "clicked"; });
        auto* flat = button->findChild<QAbstractButton*>();

        flat->click();
        QCOMPARE(order, QStringList({"on", "clicked"}));
        QVERIFY(!button->status());

        action.setMonitorStatus(true);
        flat->click();
        flat->click();
        QCOMPARE(order, QStringList({"on", "clicked", "off", "clicked", "off", "clicked"}));
        action.setMonitorStatus(false);
        QVERIFY(!button->status());
    }

    void statusBeforeAnyButtonIsLostAndDeleteWorksOnce()
    {
        MonitorAction action{QIcon()};
        action.setMonitorStatus(true);
        QToolBar bar;
        bar.addAction(&action);
        QPointer<MonitorButton> button =
            qobject_cast<MonitorButton*>(bar.widgetForAction(&action));
        QVERIFY(button);
        QVERIFY(!button->status());

        bar.removeAction(&action);
        QTRY_VERIFY_WITH_TIMEOUT(button.isNull(), 5000);
        action.setMonitorStatus(true);
    }
};

QTEST_MAIN(MonitorToggleTest)
#include "tst_monitortoggle.moc"
