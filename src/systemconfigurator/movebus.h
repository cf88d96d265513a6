#pragma once

#include "model/devicehandle.h"

#include <QList>
#include <QUndoCommand>

class SystemModel;

// Reorders the bus: numbers, owners, module lists and groups all follow the handle list. Undo
// applies the bus order taken at construction.
class MoveBus : public QUndoCommand
{
public:
    MoveBus(const QList<DeviceHandle>& newOrder, SystemModel* model, QUndoCommand* parent = nullptr);
    ~MoveBus() override;

    void undo() override;
    void redo() override;

private:
    void apply(const QList<DeviceHandle>& order);

    SystemModel* model;
    QList<DeviceHandle> newOrder;
    QList<DeviceHandle> before;
};
