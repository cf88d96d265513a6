#pragma once

#include <QCoreApplication>
#include <QString>

class InfoPanel;
class InformationBuilder;

// Writes one resource summary into the six indicators of an information panel: the counts per
// resource kind, the discrete outputs by output kind, and either the power budget or the cycle
// time. It lives with the resource page so that the system page, which sits above it, and the
// device information page share it.
class PortsStatisticsAdaptor
{
    Q_DECLARE_TR_FUNCTIONS(QObject)

public:
    PortsStatisticsAdaptor(InfoPanel* panel, bool power, bool cycle);

    void setCycleVisible(bool on);
    void layoutLines();
    void clearAll();
    void retranslate();
    void setTitle(const QString& title);
    void setStatistics(InformationBuilder& stats);

private:
    void setAdditional(int indicator, int field, const QString& title, const QString& value);

    InfoPanel* panel;
    bool power;
    bool cycle;
};
