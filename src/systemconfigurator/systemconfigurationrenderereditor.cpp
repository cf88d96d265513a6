// The row editors of the system tree: the group-name line edit and the device selector pop-up,
// with the types, power figures and limits the selector is given for the row it opens on.
#include "systemconfigurator/systemconfigurationrenderer.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "systemconfigurator/deviceselector.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemlimits.h"
#include "systemconfigurator/treerole.h"
#include "widgets/stylesource.h"

#include <QLineEdit>

namespace SystemConfiguration {

namespace {

// A module's power figures are those of the controller whose bus it sits on.
QModelIndex powerRow(const QModelIndex& index)
{
    return index.data(KindRole).toInt() == Device::PexClass
               ? index.data(OwnerIndexRole).toModelIndex()
               : index;
}

int freeBoards(const Model* model)
{
    return model ? SystemLimits::BoardBudget - model->boardsInUse() : 0;
}

} // namespace

QWidget* Renderer::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                const QModelIndex& index) const
{
    const int kind = index.data(KindRole).toInt();
    if (kind == GroupKind && !index.parent().isValid())
        return new QLineEdit(parent);
    const bool addRow = isAddRow(index);
    const int ownPower = addRow ? 0 : index.data(PowerRequiredRole).toInt();
    const int reserve = powerRow(index).data(PowerReserveRole).toInt();
    const int budget = reserve + ownPower;
    const QSet<int> classes = allowedClasses(kind, addRow, index.row() > 0);
    const QList<DeviceType_t> types = compatibleTypes(addableTypes(budget, classes, addRow), index);

    auto* selector = new DeviceSelector(types, addRow, false, classes.values(), parent, Qt::Popup);
    setupSelector(selector, index, ownPower, budget);
    applyListWidgetStyle(selector);
    connect(selector, &DeviceSelector::editingFinished, this, &Renderer::commitAndCloseEditor);
    connect(selector, &DeviceSelector::devEntered, this, &Renderer::editorEnter);
    connect(selector, &QObject::destroyed, this, &Renderer::editorClose);
    return selector;
}

QSet<int> Renderer::allowedClasses(int kind, bool addRow, bool notFirstRow)
{
    if (addRow) {
        if (!notFirstRow)
            return {Device::TavClass};
        if (kind == NoDeviceKind)
            return {Device::TavClass, Device::PexClass};
        return {kind};
    }
    // A programmable controller's row offers controller types.
    return {kind == Device::PlcClass ? Device::TavClass : kind};
}

QList<DeviceType_t> Renderer::addableTypes(int budget, const QSet<int>& classes, bool addRow)
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    QList<DeviceType_t> types;
    QSet<int> remaining = classes;
    if (addRow && remaining.contains(Device::TavClass)) {
        // A controller brings its own supply: the bus's reserve does not limit it.
        for (auto it = catalogue.templates.cbegin(); it != catalogue.templates.cend(); ++it) {
            if (it->deviceClass == Device::TavClass)
                types.append(it.key());
        }
        remaining.remove(Device::TavClass);
    }
    return types + catalogue.typesWithinBudget(remaining, budget, 0);
}

QList<DeviceType_t> Renderer::compatibleTypes(const QList<DeviceType_t>& candidates,
                                              const QModelIndex& index)
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    if (!BrandRules::limitsByBoards(catalogue))
        return candidates;
    int ownBoards = 0;
    const DeviceType_t current = DeviceType_t(index.data(TypeRole).toUInt());
    if (current != 0)
        ownBoards = BrandRules::boardsOf(current, index.data(RevisionRole).toInt(), catalogue);
    const int room = freeBoards(qobject_cast<const Model*>(index.model())) + ownBoards;
    return catalogue.typesWithinSlots(candidates, room, 1);
}

void Renderer::setupSelector(DeviceSelector* selector, const QModelIndex& index, int ownPower,
                             int budget)
{
    if (!selector)
        return;
    selector->setSupply(powerRow(index).data(PowerBalanceRole).toInt());
    selector->setPowerBudget(budget);
    selector->setOwnConsumption(ownPower);
    const auto* model = qobject_cast<const Model*>(index.model());
    if (BrandRules::limitsByBoards())
        selector->setBoardLimit(freeBoards(model));
    else
        selector->setAddressLimit(model ? model->freeAddressCount() : 0);
}

void Renderer::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(rowText(index));
}

void Renderer::setModelData(QWidget* editor, QAbstractItemModel* abstractModel,
                            const QModelIndex& index) const
{
    auto* model = qobject_cast<Model*>(abstractModel);
    if (!model || !editor)
        return;
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        const QString name = line->text();
        const QList<QString> names = model->groupRows().values();
        // A default name left as shown keeps its stored form, so it reads in either language.
        if (!name.isEmpty() && !names.contains(name) && name != rowText(index))
            model->renameGroup(index, name);
        return;
    }
    auto* selector = qobject_cast<DeviceSelector*>(editor);
    if (!selector || selector->chosenType() == 0)
        return;
    if (isAddRow(index))
        model->addDevices(index, selector->chosenType(), selector->chosenRevision(),
                          selector->count());
    else
        model->changeType(index, selector->chosenType(), selector->chosenRevision());
}

void Renderer::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                    const QModelIndex&) const
{
    if (!editor)
        return;
    const QRect& row = option.rect;
    if (qobject_cast<DeviceSelector*>(editor)) {
        QWidget* parent = editor->parentWidget();
        const QPoint origin = parent ? parent->mapToGlobal(QPoint(40, 3)) : editor->pos();
        editor->move(origin + QPoint(row.left() + 4, row.bottom() - 1));
        return;
    }
    editor->setGeometry(row.left() + 8, row.top() + 5, row.width() - 16, row.height() - 6);
}

void Renderer::commitAndCloseEditor(DeviceType_t, HardwareVersion)
{
    auto* selector = qobject_cast<DeviceSelector*>(sender());
    if (!selector)
        return;
    emit commitData(selector);
    emit closeEditor(selector, QAbstractItemDelegate::NoHint);
}

} // namespace SystemConfiguration
