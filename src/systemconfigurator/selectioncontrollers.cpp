#include "systemconfigurator/selectioncontrollers.h"

#include "systemconfigurator/systemconfigurationmodel.h"

namespace SystemConfiguration {

QList<NodeId_t> selectionControllers(const Model& model, const QModelIndexList& rows)
{
    QList<NodeId_t> controllers;
    for (const QModelIndex& row : rows) {
        const DeviceHandle handle = model.handleAt(row);
        if (handle.id.isNull())
            continue;
        const NodeId_t controller = handle.owner.isNull() ? handle.id : handle.owner;
        if (!controllers.contains(controller))
            controllers.append(controller);
    }
    return controllers;
}

} // namespace SystemConfiguration
