#include "resourceconfigurator/portsstatisticsadaptor.h"

#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"
#include "widgets/informationbuilder.h"
#include "widgets/precondition.h"

#include <cmath>

namespace {

QString watts(double milliwatts)
{
    return QStringLiteral("%1").arg(std::fabs(milliwatts / 1000.0), 0, 'f', 2);
}

} // namespace

PortsStatisticsAdaptor::PortsStatisticsAdaptor(InfoPanel* panel, bool power, bool cycle)
    : panel(panel)
    , power(power)
    , cycle(cycle)
{
    if (!TAV_PRECONDITION(panel))
        return;
    layoutLines();
    if (power) {
        panel->indicator(4)->show();
        panel->indicator(5)->show();
    }
    if (cycle) {
        panel->indicator(4)->show();
        panel->indicator(5)->hide();
    }
}

void PortsStatisticsAdaptor::setCycleVisible(bool on)
{
    cycle = on;
    if (!TAV_PRECONDITION(panel))
        return;
    panel->indicator(4)->setVisible(power || on);
    panel->indicator(5)->setVisible(power && !on);
}

void PortsStatisticsAdaptor::layoutLines()
{
    const char* kinds[] = {"AIN", "AOUT", "DIN", "DOUT"};
    for (int n = 0; n < 4; ++n) {
        setIndicator(panelIndicator(panel, n), {{QString::fromLatin1(kinds[n]), QStringLiteral("0")}},
                     false, false);
    }
    if (power) {
        setIndicator(panelIndicator(panel, 4), {{tr("P бп, W"), QStringLiteral("0")}}, false, true);
        setIndicator(panelIndicator(panel, 5), {{tr("P сис, W"), QStringLiteral("0")}}, true, true);
    }
    if (cycle)
        setIndicator(panelIndicator(panel, 4), {{tr("Цикл, ms"), QStringLiteral("0")}}, false, true);
}

void PortsStatisticsAdaptor::clearAll()
{
    for (int n = 0; n < InfoPanel::nIndicators; ++n)
        clearIndicator(panelIndicator(panel, n));
}

void PortsStatisticsAdaptor::retranslate()
{
    if (!TAV_PRECONDITION(panel))
        return;
    if (power) {
        panel->indicator(4)->setMainTitle(tr("P бп, W"));
        panel->indicator(5)->setMainTitle(tr("P сис, W"));
    }
    if (cycle)
        panel->indicator(4)->setMainTitle(tr("Цикл, ms"));
}

void PortsStatisticsAdaptor::setTitle(const QString& title)
{
    if (panel)
        panel->setTitle(title);
}

void PortsStatisticsAdaptor::setStatistics(InformationBuilder& stats)
{
    if (!TAV_PRECONDITION(panel))
        return;
    if (power) {
        Indicator* supply = panel->indicator(4);
        Indicator* used = panel->indicator(5);
        supply->setMainValue(watts(stats.supplyPower));
        used->setMainValue(watts(stats.systemPower));
        used->setExtraTitle(QString());
        if (std::fabs(stats.modulesPower) > 0)
            used->setExtraTitle(QStringLiteral("+ %1").arg(watts(stats.modulesPower)));
        used->setMainTitle(std::fabs(stats.supplyPower) > 0 ? tr("P сис, W") : tr("P pex, W"));
        supply->setHighlighted(stats.supplyPower > 0
                               && stats.supplyPower < stats.systemPower + stats.modulesPower);
    }
    if (cycle) {
        panel->indicator(4)->setMainValue(
            QStringLiteral("%1").arg(std::floor(stats.cycleTime), 0, 'f', 0));
    }
    for (int kind = 0; kind < 4; ++kind)
        panel->indicator(kind)->setMainValue(QString::number(stats.kindCounts.value(kind)));
    const char* outputKinds[] = {"relay", "opto", "triac"};
    for (quint8 kind = 0; kind < 3; ++kind) {
        const int n = stats.outputKindCounts.value(kind);
        setAdditional(3, kind + 1, n ? QString::fromLatin1(outputKinds[kind]) : QString(),
                      n ? QString::number(n) : QString());
    }
}

void PortsStatisticsAdaptor::setAdditional(int indicator, int field, const QString& title,
                                           const QString& value)
{
    Indicator* target = panelIndicator(panel, indicator);
    const int additionalAddress = field;
    if (!TAV_PRECONDITION(additionalAddress < Indicator::nAdditionalFields
                          && additionalAddress >= 0)
        || !TAV_PRECONDITION(target))
        return;
    target->setAdditionalTitle(field, title);
    target->setAdditionalValue(field, value);
}
