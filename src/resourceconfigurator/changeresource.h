#pragma once

#include "model/abstractconfig.h"
#include "model/nodeid.h"

#include <QMap>
#include <QPair>
#include <QUndoCommand>

class SystemModel;

namespace Tre {

// One user edit of resource settings: per resource node the configuration before and after.
// Nodes are looked up on every undo and redo, so a resource removed since is skipped.
class ChangeResource : public QUndoCommand
{
public:
    using Configs_t = QMap<NodeId_t, AbstractConfig>;
    using Pairs_t = QMap<NodeId_t, QPair<AbstractConfig, AbstractConfig>>;

    explicit ChangeResource(SystemModel* system);
    ~ChangeResource() override;

    void undo() override;
    void redo() override;

    void setNewConfigs(const Configs_t& configs);
    void setOldConfigs(const Configs_t& configs);
    const Pairs_t& configs() const { return m_configs; }

protected:
    SystemModel* system() const { return m_system; }

private:
    void apply(bool useNew);

    Pairs_t m_configs;
    SystemModel* m_system;
};

} // namespace Tre
