// The resource page's side of the tree's context menu: what was clicked, the menu's state and
// the chosen action.
#include "resourceconfigurator/resourceconfigurator.h"

#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "widgets/stylesource.h"

#include <QSet>

using ResourceConfiguration::Model;

void ResourceConfigurator::onContextMenuRequested(const QPoint& pos)
{
    const QPoint global = m_view->viewport()->mapToGlobal(pos);
    const QModelIndex proxyHit = m_view->indexAt(pos);
    const QPersistentModelIndex hit(m_proxy->mapToSource(proxyHit.sibling(proxyHit.row(), 0)));

    Device::Ptr_t device;
    QPersistentModelIndex deviceRow;
    if (hit.isValid()) {
        if (Model::isDevice(hit)) {
            device = m_model->device(hit);
            deviceRow = m_proxy->mapFromSource(hit);
        } else {
            device = m_model->ownerDevice(hit);
            deviceRow = m_proxy->mapFromSource(hit.parent());
        }
    } else {
        m_view->clearSelection();
    }

    QList<QPersistentModelIndex> hide;
    if (!hit.isValid() || m_selection.contains(hit)) {
        for (const QPersistentModelIndex& row : qAsConst(m_selection)) {
            if (row.isValid() && !Model::isDevice(row))
                hide.append(row);
        }
    } else {
        m_view->clearSelection();
        if (!Model::isDevice(hit))
            hide.append(hit);
    }

    ContextMenu::State state;
    state.deviceName = device ? device->displayName() : QString();
    state.deviceExpanded = m_view->isExpanded(deviceRow);
    state.othersCollapsed = m_view->othersCollapsed(deviceRow);
    state.allExpanded = m_view->allExpanded();
    state.hasSelection = !hide.isEmpty();
    state.hasFilter = m_proxy->hasFilter();
    ContextMenu menu(state);
    applyMenuStyle(&menu);
    const int code = m_menuRunner(menu, global);
    // The menu ran modally: the tree may have been rebuilt meanwhile, and the persistent
    // indexes then read invalid.
    carryOut(code, hide, deviceRow);
}

void ResourceConfigurator::carryOut(int code, const QList<QPersistentModelIndex>& hide,
                                    const QPersistentModelIndex& deviceRow)
{
    m_view->clearSelection();
    QList<QModelIndex> hidden;
    for (const QPersistentModelIndex& row : hide) {
        if (row.isValid())
            hidden.append(row);
    }
    switch (code) {
    case ContextMenu::CollapseDevice:
        if (deviceRow.isValid())
            m_view->collapse(deviceRow);
        break;
    case ContextMenu::CollapseOthers:
        m_view->collapseOthers(deviceRow);
        break;
    case ContextMenu::CollapseAll:
        m_view->collapseAll();
        break;
    case ContextMenu::ExpandAll:
        m_view->expandAll();
        break;
    case ContextMenu::HideSelected:
        emit doFilter(hidden, true);
        break;
    case ContextMenu::HideOthers: {
        QSet<QModelIndex> keep;
        for (const QModelIndex& row : qAsConst(hidden)) {
            for (QModelIndex i = row; i.isValid(); i = i.parent())
                keep.insert(i);
        }
        QList<QModelIndex> others;
        for (const QModelIndex& row : Model::allIndexes(m_model)) {
            if (!keep.contains(row))
                others.append(row);
        }
        emit doFilter(others, true);
        break;
    }
    case ContextMenu::ShowAll:
        m_proxy->resetAllFilters();
        break;
    default:
        break;
    }
}
