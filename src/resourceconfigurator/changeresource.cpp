#include "resourceconfigurator/changeresource.h"

#include "model/systemmodel.h"

namespace Tre {

ChangeResource::ChangeResource(SystemModel* system)
    : m_system(system)
{
}

ChangeResource::~ChangeResource() = default;

void ChangeResource::undo()
{
    apply(false);
}

void ChangeResource::redo()
{
    apply(true);
}

void ChangeResource::setNewConfigs(const Configs_t& configs)
{
    for (auto it = configs.cbegin(); it != configs.cend(); ++it)
        m_configs[it.key()].second = it.value();
}

void ChangeResource::setOldConfigs(const Configs_t& configs)
{
    for (auto it = configs.cbegin(); it != configs.cend(); ++it)
        m_configs[it.key()].first = it.value();
}

void ChangeResource::apply(bool useNew)
{
    if (!m_system)
        return;
    // A selection may span several devices; each owner takes its device-wide settings from one of
    // its own changed resources of the same kind, or a device would get another device's value.
    QMap<QPair<NodeId_t, int>, NodeId_t> sourceOf;
    for (auto it = m_configs.cbegin(); it != m_configs.cend(); ++it) {
        const IoResource::Ptr_t r = m_system->resource(it.key());
        if (!r)
            continue;
        const AbstractConfig& config = useNew ? it.value().second : it.value().first;
        if (r->changesPolling(config)) {
            const QPair<NodeId_t, int> key(r->owner(), r->kind());
            if (!sourceOf.contains(key))
                sourceOf.insert(key, r->id());
        }
        // An edit obeys the resource's rules; undo gives back exactly what was there.
        if (useNew)
            r->importConfig(config);
        else
            r->restoreConfig(config);
    }
    for (auto it = sourceOf.cbegin(); it != sourceOf.cend(); ++it)
        m_system->resourceSettingsChanged({it.key().first}, it.value());
    m_system->resourceUpdated(m_configs.keys());
}

} // namespace Tre
