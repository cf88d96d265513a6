#include "systemconfigurator/movebus.h"

#include "model/systemmodel.h"

MoveBus::MoveBus(const QList<DeviceHandle>& newOrder, SystemModel* model, QUndoCommand* parent)
    : QUndoCommand(parent)
    , model(model)
    , newOrder(newOrder)
    , before(model->deviceHandles())
{
}

MoveBus::~MoveBus() = default;

void MoveBus::redo()
{
    apply(newOrder);
}

void MoveBus::undo()
{
    apply(before);
}

void MoveBus::apply(const QList<DeviceHandle>& order)
{
    if (order.isEmpty())
        return;
    model->moveBus(order);
    model->changeGroup(order);
    model->systemUpdated();
}
