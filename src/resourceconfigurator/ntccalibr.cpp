#include "resourceconfigurator/ntccalibr.h"

#include "resourceconfigurator/editorainrules.h"

#include <QCoreApplication>

NtcCalibr::NtcCalibr()
    : BaseClibrationUI(4)
{
}

bool NtcCalibr::isManualAllowed() const
{
    return true;
}

void NtcCalibr::retranslate()
{
    BaseClibrationUI::retranslate();
    columns = QStringList{QCoreApplication::translate("NtcCalibr", "R ном, Ом"),
                          QCoreApplication::translate("NtcCalibr", "T ном, °C")};
    rows = QStringList{QCoreApplication::translate("NtcCalibr", "Параметры"),
                       QCoreApplication::translate("NtcCalibr", "Бета")};
}

void NtcCalibr::loadCells(const QList<IoResource::Ptr_t>& selection)
{
    if (selection.isEmpty())
        return;
    const SensorBlock sensor = EditorAinRules::ainConfig(selection.first()).sensors[0];
    Cell rref = cell(double(quint32(sensor.rref)), 0);
    rref.mixed = differs(QStringLiteral("00"), selection);
    cellSpecs["00"] = rref;
    Cell tref = cell(double(quint32(sensor.tref)), 0, true);
    tref.mixed = differs(QStringLiteral("01"), selection);
    cellSpecs["01"] = tref;
    // The catalogue's betas carry one decimal: a box without it could show none of them.
    Cell beta = cell(sensor.abFactor, 1);
    beta.mixed = differs(QStringLiteral("10"), selection);
    cellSpecs["10"] = beta;
    cellSpecs["11"] = cell(0.0, 1, true, true);
    cellSpecs["20"] = cell(0.0, 0, true, true);
}

void NtcCalibr::setManual(bool on)
{
    const auto it = cellSpecs.find(QStringLiteral("01"));
    if (it != cellSpecs.end())
        it->readOnly = !on;
}

void NtcCalibr::setCell(const QString& cell, double value, AbstractConfig& config)
{
    if (cell == QLatin1String("00"))
        config.ain.sensors[0].rref = qint32(value);
    else if (cell == QLatin1String("01"))
        config.ain.sensors[0].tref = qint32(value);
    else if (cell == QLatin1String("10"))
        config.ain.sensors[0].abFactor = value;
}

bool NtcCalibr::sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const
{
    if (cell == QLatin1String("00"))
        return a.sensors[0].rref == b.sensors[0].rref;
    if (cell == QLatin1String("01"))
        return a.sensors[0].tref == b.sensors[0].tref;
    if (cell == QLatin1String("10"))
        return sameSingle(a.sensors[0].abFactor, b.sensors[0].abFactor);
    return false;
}
