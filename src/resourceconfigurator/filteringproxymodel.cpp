#include "resourceconfigurator/filteringproxymodel.h"

#include "model/resourcekind.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"

using ResourceConfiguration::Model;

namespace {

const QSet<int>& neverShownKinds()
{
    static const QSet<int> kinds{ResourceKind::SerialPort};
    return kinds;
}

} // namespace

FilteringProxyModel::FilteringProxyModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    // Every monitoring tick changes the texts of all rows, and none of them moves a row or
    // changes what is shown; filters and order are redone on request (invalidate, sort).
    setDynamicSortFilter(false);
}

void FilteringProxyModel::setSourceModel(QAbstractItemModel* source)
{
    m_tree = dynamic_cast<const Model*>(source);
    QSortFilterProxyModel::setSourceModel(source);
}

bool FilteringProxyModel::fromTree(const QModelIndex& source) const
{
    return m_tree && source.model() == m_tree && source.column() == 0;
}

bool FilteringProxyModel::hasFilter() const
{
    return !m_hiddenKinds.isEmpty() || !m_hiddenIndexes.isEmpty();
}

void FilteringProxyModel::resetFilters(bool kinds, bool indexes)
{
    if (indexes)
        m_hiddenIndexes.clear();
    if (kinds)
        m_hiddenKinds.clear();
    if (!hasFilter())
        emit setFilter(false);
    invalidate();
}

bool FilteringProxyModel::acceptIndex(const QModelIndex& index) const
{
    const QModelIndex source = index.model() == this ? mapToSource(index) : index;
    if (!source.isValid())
        return false;
    // A persistent index made only to be looked up costs more than the rest of the test.
    if (!m_hiddenIndexes.isEmpty() && m_hiddenIndexes.contains(QPersistentModelIndex(source)))
        return false;
    int kind = 0;
    bool coupledSecondary = false;
    if (fromTree(source)) {
        const Model::RowFacts facts = m_tree->rowFacts(source);
        kind = facts.kind;
        coupledSecondary = facts.coupledSecondary;
    } else {
        kind = source.data(Model::KindRole).toInt();
        coupledSecondary =
            source.data(Model::CoupledRole).toBool() && source.data(Model::SecondaryRole).toBool();
    }
    if (m_hiddenKinds.contains(kind) || neverShownKinds().contains(kind))
        return false;
    return !coupledSecondary;
}

bool FilteringProxyModel::wouldHide(const QList<QModelIndex>& sourceIndexes) const
{
    if (!hasFilter())
        return false;
    for (const QModelIndex& index : sourceIndexes) {
        if (!mapFromSource(index).isValid() || !acceptIndex(index))
            return true;
    }
    return false;
}

void FilteringProxyModel::doFilterIndex(const QList<QModelIndex>& indexes, bool hide)
{
    if (!hide && indexes.isEmpty()) {
        resetFilters(false, true);
        return;
    }
    for (const QModelIndex& index : indexes) {
        if (hide)
            m_hiddenIndexes.insert(QPersistentModelIndex(index));
        else
            m_hiddenIndexes.remove(QPersistentModelIndex(index));
    }
    emit setFilter(true);
    invalidate();
}

void FilteringProxyModel::doFilterType(const QList<int>& kinds, bool hide)
{
    if (!hide && kinds.isEmpty()) {
        resetFilters(true, false);
        return;
    }
    m_hiddenKinds.clear();
    if (hide) {
        for (const int kind : kinds)
            m_hiddenKinds.insert(kind);
    }
    emit setFilter(true);
    invalidate();
}

void FilteringProxyModel::resetAllFilters()
{
    resetFilters(true, true);
}

bool FilteringProxyModel::filterAcceptsRow(int row, const QModelIndex& parent) const
{
    const QAbstractItemModel* source = sourceModel();
    const QModelIndex index = source->index(row, 0, parent);
    if (parent.isValid())
        return acceptIndex(index);
    // A group holding one device, or a device with exactly two resources, always stays.
    const int children = source->rowCount(index);
    if (children == 0 || children == 2)
        return true;
    for (int i = 0; i < children; ++i) {
        if (acceptIndex(source->index(i, 0, index)))
            return true;
    }
    return false;
}

bool FilteringProxyModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (fromTree(left) && fromTree(right)) {
        const Model::RowFacts l = m_tree->orderFacts(left);
        const Model::RowFacts r = m_tree->orderFacts(right);
        if (l.node && r.node)
            return left.row() < right.row();
        if (l.kind != r.kind)
            return l.kind < r.kind;
        return l.number < r.number;
    }
    static const QSet<int> nodeTypes{Model::DeviceItem, Model::GroupItem};
    const int leftType = left.data(Model::ItemTypeRole).toInt();
    const int rightType = right.data(Model::ItemTypeRole).toInt();
    if (nodeTypes.contains(leftType) && nodeTypes.contains(rightType))
        return left.row() < right.row() || (left.row() == right.row() && left.column() < right.column());
    const int leftKind = left.data(Model::KindRole).toInt();
    const int rightKind = right.data(Model::KindRole).toInt();
    if (leftKind != rightKind)
        return leftKind < rightKind;
    return left.data(Model::NumberRole).toInt() < right.data(Model::NumberRole).toInt();
}
