#pragma once

#include "model/nodeid.h"

#include <QModelIndexList>

#include <climits>

class QTreeView;

namespace SystemConfiguration {

class Model;

// What the selection of the system tree allows when its context menu opens: the menu decides
// from it alone which actions it enables and what its device-selector pages offer.
struct ContextMenuOptions
{
    bool canGroup = false;
    bool hasDeviceRows = false;
    bool hasGroupRows = false;
    bool othersExpanded = false;
    bool treeHasGroups = false;
    bool canAdd = false;
    bool hasModule = false;
    bool hasPlc = false;
    bool hasController = false;
    int freeBoards = 0;
    // The free boards if the selected devices were replaced.
    int freeBoardsForSelection = 0;
    // Milliwatts. The weakest controller's reserve as it stands.
    int powerReserve = INT_MAX;
    // Milliwatts each selected module of the weakest controller may draw after a retype.
    int moduleShare = INT_MAX;
    int weakestConsumption = 0;
    int weakestBudget = 0;
    int selectedModules = 0;
    // Milliwatts. The weakest reserve with the selected devices' consumption given back.
    int reserveWithSelection = INT_MAX;
    int selectedCount = 0;
    NodeId_t targetId;

    // `clickedGroup` is the group row the menu was opened on, or invalid; `view` tells which rows
    // are expanded.
    static ContextMenuOptions compute(const Model& model, const QModelIndexList& selected,
                                      const QModelIndex& clickedGroup, const QTreeView& view);
};

} // namespace SystemConfiguration
