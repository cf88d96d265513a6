#pragma once

#include "catalogue/cataloguerecords.h"

#include <QCoreApplication>
#include <QList>
#include <QMap>
#include <QString>

// Turns catalogue channel records into the two text columns of a resource summary: one line per
// resource group present with its count, the discrete outputs split by output kind. The owning
// panel reads the texts, counts and powers after build().
class InformationBuilder
{
    Q_DECLARE_TR_FUNCTIONS(InformationBuilder)

public:
    InformationBuilder();

    void build(const QList<IoChannel>& resources, int supply, int systemPower, int modulesPower);

    QString names;
    QString values;
    QMap<int, int> kindCounts;
    QMap<quint8, int> outputKindCounts;
    // Set by the owning panel itself; build() leaves it alone.
    double cycleTime = 0.0;
    // Milliwatts.
    double supplyPower = 0.0;
    double systemPower = 0.0;
    double modulesPower = 0.0;

private:
    void countResources(const QList<IoChannel>& resources);
    void appendGroups();
    QString outputKindsList();

    QMap<int, QString> groupTitles;
    QMap<quint8, QString> outputKindNames;
};
