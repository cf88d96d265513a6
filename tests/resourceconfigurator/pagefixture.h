#pragma once

#include "resourceconfigurator/editor.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourcefixture.h"
#include "widgets/header.h"

#include <QLabel>
#include <QUndoStack>

// The resource page over a controller and three modules, its commands pushed onto an undo stack
// as the shell wires them, every row expanded and the page shown.
namespace PageFixture {

using namespace ResourceFixture;
using ResourceConfiguration::Model;

struct Page
{
    SystemModel system;
    System s;
    ResourceConfigurator page;
    QUndoStack stack;

    explicit Page(const QStringList& groups = {"", "", "", ""})
        : s(build(system, groups))
        , page(&system)
    {
        QObject::connect(&page, &ResourceConfigurator::changeResource, &stack, &QUndoStack::push);
        page.systemChanged();
        page.view()->expandAll();
        page.resize(900, 3000);
        page.show();
    }
    QModelIndex row(const NodeId_t& id) const
    {
        return page.proxy()->mapFromSource(page.model()->indexes({id}).value(0));
    }
    QList<NodeId_t> selectedIds() const
    {
        QList<NodeId_t> ids;
        for (const QModelIndex& i : page.view()->selectionModel()->selectedRows(0))
            ids << i.data(Model::IdRole).toUuid();
        return ids;
    }
    void edit(const QList<IoResource::Ptr_t>& resources, const Editor::ConfigSetter_t& setter)
    {
        emit page.editorViewer()->changeResources(Editor::edited(resources, setter));
    }
    QString title() const { return page.editorViewer()->header()->titleLabel()->text(); }
    QString subtitle() const { return page.editorViewer()->header()->subtitleLabel()->text(); }
};

} // namespace PageFixture
