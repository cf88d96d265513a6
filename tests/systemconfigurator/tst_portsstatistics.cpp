// The port statistics lines of an information panel: counts, output kinds, power budget with its
// overload mark, and the cycle line.
#include "panelprobe.h"
#include "resourceconfigurator/portsstatisticsadaptor.h"
#include "widgets/informationbuilder.h"

#include <QtTest>

using namespace PanelProbe;

namespace {

InformationBuilder powers(int supply, int system, int modules)
{
    InformationBuilder stats;
    stats.build({}, supply, system, modules);
    return stats;
}

IoChannel channel(int kind, int sub = 0)
{
    IoChannel c;
    c.kind = kind;
    c.sub = sub;
    return c;
}

} // namespace

class PortsStatisticsTest : public QObject
{
    Q_OBJECT

private slots:
    void powerLines()
    {
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, true, false);
        InformationBuilder stats = powers(16000, 930, 0);
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 4), QStringLiteral("16.00"));
        QCOMPARE(value(&panel, 5), QStringLiteral("0.93"));
        QCOMPARE(extra(&panel, 5), QString());
        QCOMPARE(title(&panel, 5), QStringLiteral("P сис, W"));
        QVERIFY(!highlighted(&panel, 4));

        // Without a supply of its own the consumption is shown under the module title.
        stats = powers(0, 260, 0);
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 4), QStringLiteral("0.00"));
        QCOMPARE(value(&panel, 5), QStringLiteral("0.26"));
        QCOMPARE(title(&panel, 5), QStringLiteral("P pex, W"));
        QVERIFY(!highlighted(&panel, 4));

        // Negative figures show their magnitude.
        stats = powers(-1500, 0, 0);
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 4), QStringLiteral("1.50"));
    }

    void overloadHighlightsTheSupply()
    {
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, true, false);
        InformationBuilder stats = powers(1000, 800, 300);
        adaptor.setStatistics(stats);
        QCOMPARE(extra(&panel, 5), QStringLiteral("+ 0.30"));
        QVERIFY(highlighted(&panel, 4));

        // Drawing exactly what the supply gives is no overload.
        stats = powers(1100, 800, 300);
        adaptor.setStatistics(stats);
        QVERIFY(!highlighted(&panel, 4));
        // Nor does the mark stay when the modules' share goes away.
        stats = powers(1000, 800, 0);
        adaptor.setStatistics(stats);
        QCOMPARE(extra(&panel, 5), QString());
    }

    void countsAndOutputKinds()
    {
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, false, false);
        QList<IoChannel> channels{channel(0), channel(0), channel(2)};
        for (int i = 0; i < 4; ++i)
            channels << channel(3, 0);
        channels << channel(3, 2) << channel(3, 2);
        InformationBuilder stats;
        stats.build(channels, 0, 0, 0);
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 0), QStringLiteral("2"));
        QCOMPARE(value(&panel, 1), QStringLiteral("0"));
        QCOMPARE(value(&panel, 2), QStringLiteral("1"));
        QCOMPARE(value(&panel, 3), QStringLiteral("6"));
        const Indicator* dout = panel.indicator(3);
        QCOMPARE(dout->additionalTitle(1)->text(), QStringLiteral("relay"));
        QCOMPARE(dout->additionalValue(1)->text(), QStringLiteral("4"));
        QCOMPARE(dout->additionalTitle(2)->text(), QString());
        QCOMPARE(dout->additionalValue(2)->text(), QString());
        QCOMPARE(dout->additionalTitle(3)->text(), QStringLiteral("triac"));
        QCOMPARE(dout->additionalValue(3)->text(), QStringLiteral("2"));
    }

    void cycleLineRoundsDown()
    {
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, false, true);
        QCOMPARE(title(&panel, 4), QStringLiteral("Цикл, ms"));
        QVERIFY(!panel.indicator(4)->isHidden());
        QVERIFY(panel.indicator(5)->isHidden());
        InformationBuilder stats;
        stats.cycleTime = 0.874;
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 4), QStringLiteral("0"));
        stats.cycleTime = 1.999;
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 4), QStringLiteral("1"));

        // Hidden, the line is not written any more.
        adaptor.setCycleVisible(false);
        QVERIFY(panel.indicator(4)->isHidden());
        QVERIFY(panel.indicator(5)->isHidden());
        stats.cycleTime = 7.0;
        adaptor.setStatistics(stats);
        QCOMPARE(value(&panel, 4), QStringLiteral("1"));
    }

    void clearingAndLayingOutAgain()
    {
        InfoPanel panel;
        PortsStatisticsAdaptor adaptor(&panel, true, false);
        InformationBuilder stats = powers(16000, 930, 0);
        adaptor.setStatistics(stats);
        adaptor.clearAll();
        QCOMPARE(title(&panel, 0), QString());
        QCOMPARE(value(&panel, 4), QString());
        adaptor.layoutLines();
        QCOMPARE(title(&panel, 0), QStringLiteral("AIN"));
        QCOMPARE(title(&panel, 4), QStringLiteral("P бп, W"));
        QCOMPARE(value(&panel, 4), QStringLiteral("0"));
        adaptor.setTitle(QStringLiteral("Устройство"));
        QCOMPARE(panelTitle(&panel), QStringLiteral("Устройство"));
    }
};

QTEST_MAIN(PortsStatisticsTest)
#include "tst_portsstatistics.moc"
