#pragma once

#include "model/abstractvalue.h"
#include "model/nodeid.h"

#include <QMap>
#include <QPair>
#include <QUndoCommand>

class SystemModel;

namespace Tre {

// Live control values set while monitoring: run once and dropped, never stacked. The model's
// controlValues signal carries the values on to the devices.
class ChangeResourceValue : public QUndoCommand
{
public:
    using Values_t = QMap<NodeId_t, AbstractValue>;

    explicit ChangeResourceValue(SystemModel* system);
    ~ChangeResourceValue() override;

    void undo() override;
    void redo() override;

    void setNewValues(const Values_t& values);
    void setOldValues(const Values_t& values);

private:
    void apply(bool useNew);

    QMap<NodeId_t, QPair<AbstractValue, AbstractValue>> m_values;
    SystemModel* m_system;
};

} // namespace Tre
