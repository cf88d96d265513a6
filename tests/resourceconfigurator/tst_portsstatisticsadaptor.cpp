// The resource summary written into an information panel: counts, output kinds, power budget and
// cycle time.
#include "resourceconfigurator/portsstatisticsadaptor.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/informationbuilder.h"

#include <QLabel>
#include <QtTest>

namespace {

QString text(InfoPanel& panel, int n, const char* label)
{
    const QLabel* l = panel.indicator(n)->findChild<QLabel*>(QLatin1String(label));
    return l ? l->text() : QStringLiteral("<none>");
}

bool highlighted(InfoPanel& panel, int n)
{
    return panel.indicator(n)->findChild<QLabel*>(QStringLiteral("mainValue"))->foregroundRole()
           == QPalette::BrightText;
}

} // namespace

class PortsStatisticsAdaptorTest : public QObject
{
    Q_OBJECT

private slots:
    void powerBudget_data()
    {
        QTest::addColumn<double>("supply");
        QTest::addColumn<double>("system");
        QTest::addColumn<double>("modules");
        QTest::addColumn<QStringList>("shown");  // supply, consumption, extra title, title
        QTest::addColumn<bool>("overload");
        QTest::newRow("own supply") << 16000.0 << 930.0 << 0.0
                                    << QStringList{"16.00", "0.93", "", "P сис, W"} << false;
        QTest::newRow("no supply") << 0.0 << 260.0 << 0.0
                                   << QStringList{"0.00", "0.26", "", "P pex, W"} << false;
        QTest::newRow("overload") << 1000.0 << 800.0 << 300.0
                                  << QStringList{"1.00", "0.80", "+ 0.30", "P сис, W"} << true;
        QTest::newRow("equal is no overload") << 1100.0 << 800.0 << 300.0
                                              << QStringList{"1.10", "0.80", "+ 0.30", "P сис, W"}
                                              << false;
    }

    void powerBudget()
    {
        QFETCH(double, supply);
        QFETCH(double, system);
        QFETCH(double, modules);
        QFETCH(QStringList, shown);
        QFETCH(bool, overload);
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, true, false);
        InformationBuilder stats;
        stats.supplyPower = supply;
        stats.systemPower = system;
        stats.modulesPower = modules;
        adaptor.setStatistics(stats);
        QCOMPARE(text(panel, 4, "mainValue"), shown[0]);
        QCOMPARE(text(panel, 5, "mainValue"), shown[1]);
        QCOMPARE(text(panel, 5, "extraTitle"), shown[2]);
        QCOMPARE(text(panel, 5, "mainTitle"), shown[3]);
        QCOMPARE(highlighted(panel, 4), overload);
    }

    void countsOutputKindsAndCycle()
    {
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, false, true);
        InformationBuilder stats;
        QList<IoChannel> channels;
        for (const quint8 output : {0, 0, 0, 0, 2, 2}) {
            IoChannel c;
            c.kind = 3;
            c.sub = output;
            channels << c;
        }
        stats.build(channels, 0, 0, 0);
        stats.cycleTime = 1.999;
        adaptor.setStatistics(stats);
        QCOMPARE(text(panel, 3, "mainValue"), QStringLiteral("6"));
        QCOMPARE(text(panel, 0, "mainValue"), QStringLiteral("0"));
        QCOMPARE(text(panel, 3, "addTitle_1"), QStringLiteral("relay"));
        QCOMPARE(text(panel, 3, "addValue_1"), QStringLiteral("4"));
        QCOMPARE(text(panel, 3, "addTitle_2"), QString());
        QCOMPARE(text(panel, 3, "addTitle_3"), QStringLiteral("triac"));
        QCOMPARE(text(panel, 4, "mainValue"), QStringLiteral("1"));
        QCOMPARE(text(panel, 4, "mainTitle"), QStringLiteral("Цикл, ms"));

        panel.show();
        adaptor.setCycleVisible(false);
        QVERIFY(!panel.indicator(4)->isVisible());
        QVERIFY(!panel.indicator(5)->isVisible());
    }
};

QTEST_MAIN(PortsStatisticsAdaptorTest)
#include "tst_portsstatisticsadaptor.moc"
