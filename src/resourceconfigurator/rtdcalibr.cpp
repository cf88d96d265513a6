#include "resourceconfigurator/rtdcalibr.h"

#include "model/ain.h"
#include "resourceconfigurator/editorainrules.h"

#include <QCoreApplication>

namespace {

constexpr double kCorrectionLimit = 10000.0;

} // namespace

RtdCalibr::RtdCalibr()
    : BaseClibrationUI(3)
{
}

void RtdCalibr::retranslate()
{
    BaseClibrationUI::retranslate();
    columns = QStringList{QCoreApplication::translate("RtdCalibr", "R ном, Ом"),
                          QCoreApplication::translate("RtdCalibr", "T ном, °C")};
    rows = QStringList{QCoreApplication::translate("RtdCalibr", "Параметры"),
                       QCoreApplication::translate("RtdCalibr", "Альфа"),
                       QCoreApplication::translate("RtdCalibr", "Коррекция, °C")};
}

void RtdCalibr::loadCells(const QList<IoResource::Ptr_t>& selection)
{
    if (selection.isEmpty())
        return;
    const AinConfig first = EditorAinRules::ainConfig(selection.first());
    const SensorBlock& sensor = first.sensors[0];
    // A catalogue sensor's parameters are fixed; the user sensors take the user's own. One
    // catalogue sensor in the selection fixes them for all, or an edit would rewrite it.
    const bool fixed =
        any(selection, [](const AinConfig& c) { return !Ain::isUserSensor(c.tsType); });

    Cell rref = cell(double(quint32(sensor.rref)), 0, fixed);
    rref.mixed = differs(QStringLiteral("00"), selection);
    cellSpecs["00"] = rref;
    Cell tref = cell(double(quint32(sensor.tref)), 0, true);
    tref.mixed = differs(QStringLiteral("01"), selection);
    cellSpecs["01"] = tref;
    Cell alpha = cell(sensor.abFactor, 6, fixed);
    alpha.mixed = differs(QStringLiteral("10"), selection);
    cellSpecs["10"] = alpha;
    cellSpecs["11"] = cell(0.0, 0, false, true);
    Cell correction = cell(double(first.scOffset), 2);
    correction.minimum = -kCorrectionLimit;
    correction.maximum = kCorrectionLimit;
    correction.mixed = differs(QStringLiteral("20"), selection);
    cellSpecs["20"] = correction;
}

void RtdCalibr::setCell(const QString& cell, double value, AbstractConfig& config)
{
    if (cell == QLatin1String("00"))
        config.ain.sensors[0].rref = qint32(value);
    else if (cell == QLatin1String("10"))
        config.ain.sensors[0].abFactor = value;
    else if (cell == QLatin1String("20"))
        config.ain.scOffset = float(value);
}

bool RtdCalibr::sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const
{
    if (cell == QLatin1String("00"))
        return a.sensors[0].rref == b.sensors[0].rref;
    if (cell == QLatin1String("01"))
        return a.sensors[0].tref == b.sensors[0].tref;
    if (cell == QLatin1String("10"))
        return sameSingle(a.sensors[0].abFactor, b.sensors[0].abFactor);
    if (cell == QLatin1String("20"))
        return sameSingle(a.scOffset, b.scOffset);
    return false;
}
