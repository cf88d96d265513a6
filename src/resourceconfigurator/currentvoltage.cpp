#include "resourceconfigurator/currentvoltage.h"

#include "resourceconfigurator/editorainrules.h"

#include <QCoreApplication>

namespace {

// The output range may be scaled to negative values.
constexpr double kOutputMinimum = -99999.0;

} // namespace

CurrentVoltage::CurrentVoltage(int key, double low, double high)
    : BaseClibrationUI(key)
    , low(low)
    , high(high)
{
}

void CurrentVoltage::retranslate()
{
    BaseClibrationUI::retranslate();
    columns = QStringList{QCoreApplication::translate("CurrentVoltage", "Мин"),
                          QCoreApplication::translate("CurrentVoltage", "Макс")};
    rows = QStringList{QCoreApplication::translate("CurrentVoltage", "Входной диапазон"),
                       QCoreApplication::translate("CurrentVoltage", "Выходной диапазон")};
}

void CurrentVoltage::loadCells(const QList<IoResource::Ptr_t>& selection)
{
    if (selection.isEmpty())
        return;
    const AinConfig first = EditorAinRules::ainConfig(selection.first());
    // An output range of 0..0 was never set: such an input has no value to share.
    const bool unset =
        any(selection, [](const AinConfig& c) { return c.scMin == 0.0f && c.scMax == 0.0f; });
    // The input range is the device's own measure: milliamperes of a current loop, millivolts of a
    // voltage input. The output range is scaled to whatever unit the user chose.
    const QString unit = key() == 1 ? QCoreApplication::translate("CurrentVoltage", "мА")
                                    : QCoreApplication::translate("CurrentVoltage", "мВ");
    for (const QString& name : {QStringLiteral("00"), QStringLiteral("01")}) {
        Cell c = cell(name == QLatin1String("00") ? low : high, 2, true);
        c.unit = unit;
        cellSpecs[name] = c;
    }
    for (const QString& name : {QStringLiteral("10"), QStringLiteral("11")}) {
        Cell c = cell(name == QLatin1String("10") ? double(first.scMin) : double(first.scMax), 2);
        c.minimum = kOutputMinimum;
        c.mixed = unset || differs(name, selection);
        cellSpecs[name] = c;
    }
    cellSpecs["20"] = cell(-1.0, 0, true, true);
}

void CurrentVoltage::setCell(const QString& cell, double value, AbstractConfig& config)
{
    if (cell == QLatin1String("10"))
        config.ain.scMin = float(value);
    else if (cell == QLatin1String("11"))
        config.ain.scMax = float(value);
}

bool CurrentVoltage::sameCell(const QString& cell, const AinConfig& a, const AinConfig& b) const
{
    if (cell == QLatin1String("10"))
        return a.scMin == b.scMin;
    if (cell == QLatin1String("11"))
        return a.scMax == b.scMax;
    return false;
}
