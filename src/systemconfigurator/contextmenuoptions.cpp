#include "systemconfigurator/contextmenuoptions.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/device.h"
#include "systemconfigurator/selectioncontrollers.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemlimits.h"
#include "systemconfigurator/treerole.h"

#include <QSet>

namespace SystemConfiguration {

namespace {

struct Weakest
{
    int reserve = INT_MAX;
    NodeId_t controller;
};

// The smallest reserve over the controllers with what the freed devices draw given back; of two
// equal reserves the earlier controller stays. A controller without a row has nothing in reserve.
Weakest weakestReserve(const Model& model, const QList<NodeId_t>& controllers,
                       const QSet<NodeId_t>& freed)
{
    Weakest weakest;
    for (const NodeId_t& controller : controllers) {
        const QModelIndex row = model.rowOfDevice().value(controller);
        int reserve = 0;
        if (row.isValid()) {
            reserve = row.data(PowerReserveRole).toInt();
            if (freed.contains(controller))
                reserve += row.data(PowerRequiredRole).toInt();
            for (const NodeId_t& module : model.modulesOf().values(controller)) {
                if (freed.contains(module))
                    reserve += model.rowOfDevice().value(module).data(PowerRequiredRole).toInt();
            }
        }
        if (weakest.controller.isNull() || reserve < weakest.reserve)
            weakest = {reserve, controller};
    }
    return weakest;
}

void readKinds(const QModelIndexList& selected, ContextMenuOptions& o)
{
    for (const QModelIndex& row : selected) {
        const int kind = row.data(KindRole).toInt();
        o.hasGroupRows |= kind == GroupKind;
        o.hasDeviceRows |= kind != GroupKind;
        o.hasPlc |= kind == Device::PlcClass;
        o.hasController |= kind == Device::TavClass;
        o.hasModule |= kind == Device::PexClass;
    }
}

bool groupable(const Model& model, const QModelIndexList& selected,
               const QList<NodeId_t>& controllers)
{
    if (controllers.size() < 2)
        return false;
    for (const QModelIndex& row : selected) {
        if (row.parent().isValid())
            return false;
    }
    const SettingsProvider& catalogue = SettingsProvider::instance();
    for (const NodeId_t& id : controllers) {
        if (catalogue.deviceClass(model.handleById(id).type) == Device::PlcClass)
            return false;
    }
    return true;
}

} // namespace

ContextMenuOptions ContextMenuOptions::compute(const Model& model, const QModelIndexList& selected,
                                               const QModelIndex& clickedGroup,
                                               const QTreeView& view)
{
    ContextMenuOptions o;
    const QList<NodeId_t> controllers = selectionControllers(model, selected);
    o.canGroup = groupable(model, selected, controllers);
    readKinds(selected, o);
    o.othersExpanded = !View::onlyThisExpanded(view, clickedGroup);
    o.treeHasGroups = !model.groupRows().isEmpty();
    o.canAdd = model.canAdd();
    o.freeBoards = SystemLimits::BoardBudget - model.boardsInUse();
    o.freeBoardsForSelection = o.freeBoards;
    for (const QModelIndex& row : selected) {
        o.freeBoardsForSelection += BrandRules::boardsOf(row.data(TypeRole).toUInt(),
                                                         row.data(RevisionRole).toInt());
    }
    o.powerReserve = weakestReserve(model, controllers, {}).reserve;

    const QList<NodeId_t> freedIds = model.idsOf(selected);
    const QSet<NodeId_t> freed(freedIds.cbegin(), freedIds.cend());
    const Weakest weakest = weakestReserve(model, controllers, freed);
    o.reserveWithSelection = weakest.reserve;
    QSet<QModelIndex> counted;
    for (const QModelIndex& row : selected) {
        if (!weakest.controller.isNull() && row.data(OwnerRole).toUuid() == weakest.controller)
            counted.insert(row);
    }
    o.selectedModules = counted.size();
    o.moduleShare = o.selectedModules ? o.reserveWithSelection / o.selectedModules
                                      : o.reserveWithSelection;
    const DeviceHandle weakestHandle = model.handleById(weakest.controller);
    DeviceTemplate tpl;
    if (!weakest.controller.isNull()
        && SettingsProvider::instance().deviceTemplate(weakestHandle.type, weakestHandle.revision, &tpl,
                                                       false)) {
        o.weakestConsumption = tpl.preq;
        o.weakestBudget = tpl.pgen - tpl.preq;
    }
    o.selectedCount = selected.size();
    return o;
}

} // namespace SystemConfiguration
