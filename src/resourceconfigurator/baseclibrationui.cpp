#include "resourceconfigurator/baseclibrationui.h"

#include "model/ain.h"
#include "resourceconfigurator/editorainrules.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// The panel titles by key; translated when a panel retranslates.
const QMap<int, const char*>& titleTable()
{
    static const QMap<int, const char*> titles{
        {1, QT_TRANSLATE_NOOP("BaseClibrationUI", "4-20 мА")},
        {2, QT_TRANSLATE_NOOP("BaseClibrationUI", "0-10 Вольт")},
        {3, QT_TRANSLATE_NOOP("BaseClibrationUI", "RTD")},
        {4, QT_TRANSLATE_NOOP("BaseClibrationUI", "NTC")},
    };
    return titles;
}

} // namespace

BaseClibrationUI::BaseClibrationUI(int key)
    : panelKey(key)
{
}

BaseClibrationUI::~BaseClibrationUI() = default;

bool BaseClibrationUI::isManualAllowed() const
{
    return false;
}

void BaseClibrationUI::loadCells(const QList<IoResource::Ptr_t>&) {}

void BaseClibrationUI::setManual(bool) {}

void BaseClibrationUI::retranslate()
{
    const char* title = titleTable().value(panelKey, nullptr);
    panelTitle = QCoreApplication::translate("BaseClibrationUI", "Тип ")
                 + (title ? QCoreApplication::translate("BaseClibrationUI", title) : QString());
}

bool BaseClibrationUI::differs(const QString& cell, const QList<IoResource::Ptr_t>& selection) const
{
    if (selection.isEmpty())
        return false;
    const AinConfig first = EditorAinRules::ainConfig(selection.first());
    for (const IoResource::Ptr_t& input : selection) {
        if (!sameCell(cell, first, EditorAinRules::ainConfig(input)))
            return true;
    }
    return false;
}

bool BaseClibrationUI::any(const QList<IoResource::Ptr_t>& selection,
                           const std::function<bool(const AinConfig&)>& test)
{
    return std::any_of(selection.cbegin(), selection.cend(), [&test](const IoResource::Ptr_t& r) {
        return test(EditorAinRules::ainConfig(r));
    });
}

BaseClibrationUI::Cell BaseClibrationUI::cell(double value, int decimals, bool readOnly, bool hidden)
{
    Cell c;
    c.value = value;
    c.decimals = decimals;
    c.readOnly = readOnly;
    c.hidden = hidden;
    return c;
}

bool BaseClibrationUI::sameSingle(double a, double b)
{
    return Ain::toSingle(a) == Ain::toSingle(b);
}
