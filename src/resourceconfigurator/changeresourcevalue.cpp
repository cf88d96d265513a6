#include "resourceconfigurator/changeresourcevalue.h"

#include "model/systemmodel.h"

namespace Tre {

namespace {

// A half that no setter filled holds no value.
QPair<AbstractValue, AbstractValue> emptyPair()
{
    QPair<AbstractValue, AbstractValue> pair;
    pair.first.kind = ResourceKind::Block;
    pair.second.kind = ResourceKind::Block;
    return pair;
}

} // namespace

ChangeResourceValue::ChangeResourceValue(SystemModel* system)
    : m_system(system)
{
}

ChangeResourceValue::~ChangeResourceValue() = default;

void ChangeResourceValue::undo()
{
    apply(false);
}

void ChangeResourceValue::redo()
{
    apply(true);
}

void ChangeResourceValue::setNewValues(const Values_t& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        auto entry = m_values.find(it.key());
        if (entry == m_values.end())
            entry = m_values.insert(it.key(), emptyPair());
        entry->second = it.value();
    }
}

void ChangeResourceValue::setOldValues(const Values_t& values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        auto entry = m_values.find(it.key());
        if (entry == m_values.end())
            entry = m_values.insert(it.key(), emptyPair());
        entry->first = it.value();
    }
}

void ChangeResourceValue::apply(bool useNew)
{
    if (!m_system)
        return;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        const IoResource::Ptr_t r = m_system->resource(it.key());
        if (r)
            r->importValue(useNew ? it.value().second : it.value().first);
    }
    m_system->userControl(m_values.keys());
}

} // namespace Tre
