#pragma once

#include "resourceconfigurator/baseclibrationui.h"

// The calibration panel of a current (4-20 mA) or voltage (0-10 V) input: the fixed input range
// and the output range the reading is scaled to.
class CurrentVoltage : public BaseClibrationUI
{
public:
    CurrentVoltage(int key, double low, double high);

    void loadCells(const QList<IoResource::Ptr_t>& selection) override;
    void setCell(const QString& cell, double value, AbstractConfig& config) override;
    void retranslate() override;
    bool sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const override;

private:
    double low;
    double high;
};
