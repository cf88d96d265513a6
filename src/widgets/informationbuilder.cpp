#include "widgets/informationbuilder.h"

namespace {
constexpr int discreteOutputs = 3;
}

InformationBuilder::InformationBuilder()
{
    groupTitles = {{0, tr("Аналоговые входы")},
                   {1, tr("Аналоговые выходы")},
                   {2, tr("Дискретные входы")},
                   {discreteOutputs, tr("Дискретные выходы")}};
    outputKindNames = {{0, tr("реле")}, {1, tr("оптореле")}, {2, tr("симисторы")}};
}

void InformationBuilder::build(const QList<IoChannel>& resources, int supply, int system,
                               int modules)
{
    supplyPower = supply;
    systemPower = system;
    modulesPower = modules;
    kindCounts.clear();
    outputKindCounts.clear();
    countResources(resources);
    names.clear();
    values.clear();
    appendGroups();
    const QString kinds = outputKindsList();
    if (!kinds.isEmpty()) {
        values.chop(1);
        values += QStringLiteral(" [") + kinds + QLatin1Char(']');
    }
}

void InformationBuilder::countResources(const QList<IoChannel>& resources)
{
    for (const IoChannel& r : resources) {
        ++kindCounts[r.kind];
        if (r.kind == discreteOutputs)
            ++outputKindCounts[quint8(r.sub)];
    }
}

void InformationBuilder::appendGroups()
{
    for (auto it = groupTitles.cbegin(); it != groupTitles.cend(); ++it) {
        const int count = kindCounts[it.key()];
        if (count < 1)
            continue;
        names += it.value() + QStringLiteral(":\n");
        values += QStringLiteral("%1\n").arg(count);
    }
}

QString InformationBuilder::outputKindsList()
{
    QString list;
    for (auto it = outputKindNames.cbegin(); it != outputKindNames.cend(); ++it) {
        const int count = outputKindCounts[it.key()];
        if (count >= 1)
            list += QStringLiteral("%1 - %2, ").arg(it.value()).arg(count);
    }
    list.chop(2);
    return list;
}
