#include "systemconfigurator/contextmenu.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "systemconfigurator/deviceselector.h"

#include <QWidgetAction>

namespace SystemConfiguration {

ContextMenu::ContextMenu(QWidget* parent)
    : QMenu(parent)
    , deleteDevices(new QAction(this))
    , cloneDevices(new QAction(this))
    , createGroup(new QAction(this))
    , collapseOthers(new QAction(this))
    , collapseAll(new QAction(this))
    , expandAll(new QAction(this))
    , deleteGroups(new QAction(this))
    , deleteGroupsAndDevices(new QAction(this))
    , changeTypeSubMenu(new QMenu(this))
    , addModuleSubMenu(new QMenu(this))
{
    retranslate();
    addAction(deleteDevices);
    addAction(cloneDevices);
    addMenu(changeTypeSubMenu);
    addMenu(addModuleSubMenu);
    // The group actions come after the device actions: without them no group could be made.
    addSeparator();
    addActions({createGroup, collapseOthers, collapseAll, expandAll, deleteGroups,
                deleteGroupsAndDevices});
}

ContextMenu::ContextMenu(const Options& options, QWidget* parent)
    : ContextMenu(parent)
{
    enableActions(options);
}

ContextMenu::~ContextMenu()
{
    // The sub-menus hand their pages back only once this menu is half gone, and a page hidden
    // under the pointer then announces the entry there: none of that may reach this menu.
    for (DeviceSelector* page : {changeTypeSelector, addModuleSelector}) {
        if (page)
            disconnect(page, nullptr, this, nullptr);
    }
}

void ContextMenu::retranslate()
{
    deleteDevices->setText(tr("Удалить устройства"));
    cloneDevices->setText(tr("Клонировать устройства"));
    createGroup->setText(tr("Создать группу"));
    collapseOthers->setText(tr("Свернуть другие"));
    collapseAll->setText(tr("Свернуть все группы"));
    expandAll->setText(tr("Развернуть все группы"));
    deleteGroups->setText(tr("Удалить группы"));
    deleteGroupsAndDevices->setText(tr("Удалить группы и уст-ва"));
    changeTypeSubMenu->setTitle(tr("Изменить тип"));
    addModuleSubMenu->setTitle(tr("Добавить Pex"));
}

QList<DeviceType_t> ContextMenu::moduleTypes(const Options& options)
{
    const SettingsProvider& catalogue = SettingsProvider::instance();
    const QList<DeviceType_t> types = catalogue.pexTypesWithinBudget(options.powerReserve, 0);
    // A module whose boards do not fit would take the system past its board budget.
    if (BrandRules::limitsByBoards(catalogue))
        return catalogue.typesWithinSlots(types, options.freeBoards, 1);
    return types;
}

void ContextMenu::enableActions(const Options& o)
{
    const bool devices = o.hasDeviceRows && !o.hasPlc;
    createGroup->setEnabled(o.canGroup && !o.hasGroupRows && !o.hasPlc);
    deleteDevices->setEnabled(devices);
    cloneDevices->setEnabled(devices && o.canAdd);
    deleteGroups->setEnabled(o.hasGroupRows);
    deleteGroupsAndDevices->setEnabled(o.hasGroupRows);
    collapseOthers->setEnabled(o.othersExpanded);
    collapseAll->setEnabled(o.treeHasGroups);
    expandAll->setEnabled(o.treeHasGroups);
    changeTypeSubMenu->setEnabled(devices && !(o.hasModule && o.hasController));
    addModuleSubMenu->setEnabled(o.hasDeviceRows && !o.hasModule && o.canAdd
                                 && !moduleTypes(o).isEmpty());
    if (changeTypeSubMenu->isEnabled())
        createChangeTypePage(o);
    if (addModuleSubMenu->isEnabled())
        createAddModulePage(o);
}

DeviceSelector* ContextMenu::addPage(QMenu* menu, const QList<DeviceType_t>& offered,
                                     int deviceClass, int pageCode)
{
    auto* page = new DeviceSelector(offered, false, false, {deviceClass}, this);
    auto* holder = new QWidgetAction(menu);
    holder->setDefaultWidget(page);
    menu->addAction(holder);
    connect(page, &DeviceSelector::devEntered, this, &ContextMenu::devEntered);
    connect(page, &DeviceSelector::editingFinished, this,
            [this, pageCode](DeviceType_t chosen, HardwareVersion chosenRevision) {
                type = chosen;
                revision = chosenRevision;
                code = quint8(pageCode);
                // Closing the top menu ends exec() with no action; the stored code answers.
                close();
            });
    return page;
}

void ContextMenu::createChangeTypePage(const Options& o)
{
    const int deviceClass =
        o.hasModule ? Device::PexClass : (o.hasController ? Device::TavClass : Device::NoClass);
    const SettingsProvider& catalogue = SettingsProvider::instance();
    QList<DeviceType_t> offered = catalogue.typesWithinBudget({deviceClass}, o.moduleShare, 0);
    if (BrandRules::limitsByBoards(catalogue))
        offered = catalogue.typesWithinSlots(offered, o.freeBoardsForSelection, o.selectedCount);
    changeTypeSelector = addPage(changeTypeSubMenu, offered, deviceClass, ChangeType);
    changeTypeSelector->setPowerBudget(o.moduleShare);
    changeTypeSelector->setSupply(o.weakestBudget);
    changeTypeSelector->setOwnConsumption(o.weakestConsumption);
    changeTypeSelector->setReserve(o.reserveWithSelection);
    changeTypeSelector->setReplaceCount(o.selectedModules);
}

void ContextMenu::createAddModulePage(const Options& o)
{
    addModuleSelector = addPage(addModuleSubMenu, moduleTypes(o), 3, AddModule);
    addModuleSelector->setPowerBudget(o.powerReserve);
    addModuleSelector->setSupply(o.weakestBudget);
}

int ContextMenu::chosenAction(QAction* triggered) const
{
    if (code != 0)
        return code;
    if (!triggered)
        return NoAction;
    const QList<QPair<QAction*, Code>> order = {
        {createGroup, CreateGroup},     {deleteDevices, DeleteDevices},
        {deleteGroups, DeleteGroups},   {deleteGroupsAndDevices, DeleteGroupsAndDevices},
        {expandAll, ExpandAll},         {collapseAll, CollapseAll},
        {collapseOthers, CollapseOthers}, {cloneDevices, CloneDevices}};
    for (const auto& entry : order) {
        if (entry.first == triggered)
            return entry.second;
    }
    return NoAction;
}

QAction* ContextMenu::action(Code c) const
{
    switch (c) {
    case CreateGroup: return createGroup;
    case AddModule: return addModuleSubMenu->menuAction();
    case DeleteDevices: return deleteDevices;
    case CloneDevices: return cloneDevices;
    case DeleteGroups: return deleteGroups;
    case DeleteGroupsAndDevices: return deleteGroupsAndDevices;
    case ChangeType: return changeTypeSubMenu->menuAction();
    case ExpandAll: return expandAll;
    case CollapseAll: return collapseAll;
    case CollapseOthers: return collapseOthers;
    case NoAction: break;
    }
    return nullptr;
}

} // namespace SystemConfiguration
