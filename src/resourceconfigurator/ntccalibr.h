#pragma once

#include "resourceconfigurator/baseclibrationui.h"

// The calibration panel of a thermistor: nominal resistance and beta, and the reference
// temperature, which only the "manual" switch makes editable.
class NtcCalibr : public BaseClibrationUI
{
public:
    NtcCalibr();

    bool isManualAllowed() const override;
    void loadCells(const QList<IoResource::Ptr_t>& selection) override;
    void setCell(const QString& cell, double value, AbstractConfig& config) override;
    void setManual(bool on) override;
    void retranslate() override;
    bool sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const override;
};
