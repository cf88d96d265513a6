#pragma once

#include "resourceconfigurator/baseclibrationui.h"

// The calibration panel of a resistance thermometer: the sensor's nominal resistance and alpha
// (editable only for the user sensors), its reference temperature and the correction.
class RtdCalibr : public BaseClibrationUI
{
public:
    RtdCalibr();

    void loadCells(const QList<IoResource::Ptr_t>& selection) override;
    void setCell(const QString& cell, double value, AbstractConfig& config) override;
    void retranslate() override;
    bool sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const override;
};
