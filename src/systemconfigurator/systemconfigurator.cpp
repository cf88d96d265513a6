#include "systemconfigurator/systemconfigurator.h"

#include "model/device.h"
#include "model/resourcekind.h"
#include "model/systemmodel.h"
#include "systemconfigurator/contextmenu.h"
#include "systemconfigurator/informationstyled.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationrenderer.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/treerole.h"
#include "widgets/layoutmetrics.h"
#include "widgets/stylesource.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QVBoxLayout>

using namespace SystemConfiguration;

SystemConfigurator::SystemConfigurator(SystemModel* system, QWidget* parent)
    : QWidget(parent)
    , treeView(new View(this))
    , tree(new Model(this))
    , renderer(new Renderer(this))
    , information(new InformationStyled(system, this))
    , system(system)
    , menuRunner([](ContextMenu& menu, const QPoint& global) { return menu.exec(global); })
{
    setUpView();
    connectParts();
    information->setMinimumSize(730, 460);
    buildLayout();
    reloadSystem(QList<NodeId_t>());
}

SystemConfigurator::~SystemConfigurator()
{
    // A device selector still open goes with the tree below, after this page has stopped being
    // one: its close must not reach the page's slots any more.
    disconnect(renderer, nullptr, this, nullptr);
}

void SystemConfigurator::setUpView()
{
    treeView->setModel(tree);
    treeView->setItemDelegate(renderer);
    treeView->setFrameStyle(QFrame::NoFrame | QFrame::Plain);
    treeView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    treeView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    treeView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    treeView->setContextMenuPolicy(Qt::CustomContextMenu);
    treeView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    treeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    applyScrollBarStyle(treeView->verticalScrollBar());
}

void SystemConfigurator::connectParts()
{
    connect(tree, &Model::addDev, this, &SystemConfigurator::onAdd);
    connect(tree, &Model::removeDev, this, &SystemConfigurator::onRemove);
    connect(tree, &Model::editType, this, &SystemConfigurator::onEdit);
    connect(tree, &Model::busMove, this, &SystemConfigurator::onBusMove);
    connect(tree, QOverload<const QList<DeviceHandle>&>::of(&Model::renameGroup), this, &SystemConfigurator::onRenameGroup);
    connect(tree, &Model::systemReset, information, &InformationStyled::setSystem);
    connect(tree, &Model::detectedGroups, treeView, &View::hasGroups);
    connect(treeView, &QAbstractItemView::entered, this, &SystemConfigurator::onElementEntered);
    connect(treeView, &View::deleteIt, tree, QOverload<const QModelIndex&>::of(&Model::removeRow));
    connect(treeView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SystemConfigurator::onSelectionChanged);
    connect(treeView, &QWidget::customContextMenuRequested, this,
            &SystemConfigurator::onContextMenuRequested);
    connect(renderer, &Renderer::editorEnter, this, &SystemConfigurator::onDeviceEntered);
    connect(renderer, &Renderer::editorClose, this, &SystemConfigurator::onDeviceSelectorClosed);
    connect(treeView, &View::startMove, tree, &Model::startMove);
    connect(treeView, &View::moveDest, tree, &Model::moveDest);
    connect(treeView, &View::finishMove, tree, &Model::finishMove);
    connect(system, &SystemModel::changed, this,
            QOverload<const QList<NodeId_t>&>::of(&SystemConfigurator::reloadSystem));
    connect(information, &InformationStyled::serialPortSettingsChanging, this,
            &SystemConfigurator::onSystemResourceChanging);
}

void SystemConfigurator::buildLayout()
{
    auto* filler = new QLabel(this);
    QPalette palette = filler->palette();
    palette.setBrush(QPalette::Window, QBrush(Qt::white, Qt::SolidPattern));
    filler->setPalette(palette);
    filler->setAutoFillBackground(true);
    filler->setMinimumSize(panelWidthSmall(), 0);
    filler->resize(panelWidthSmall(), 0);

    treeColumn = new QVBoxLayout;
    treeColumn->setSpacing(0);
    treeColumn->setContentsMargins(0, 0, 0, 0);
    treeColumn->addWidget(treeView);
    treeColumn->addWidget(filler);
    pageLayout = new QHBoxLayout(this);
    pageLayout->setSpacing(0);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addLayout(treeColumn, 1);
    pageLayout->addWidget(information, 2);
}

void SystemConfigurator::insertTopWidget(QWidget* widget)
{
    if (widget && treeColumn)
        treeColumn->insertWidget(0, widget);
}

void SystemConfigurator::reloadSystem()
{
    reloadSystem(QList<NodeId_t>());
}

void SystemConfigurator::reloadSystem(const QList<NodeId_t>& changed)
{
    bool portsOnly = !changed.isEmpty();
    for (const NodeId_t& id : changed) {
        const IoResource::Ptr_t r = system->resource(id);
        portsOnly = portsOnly && r && r->kind() == ResourceKind::SerialPort;
    }
    // Row numbers from the top of the tree, not indexes: the rows the indexes named are gone
    // with the rebuild. A port edit (or its undo) moves no row, so the rows the user edits the
    // ports from stay selected, not the ones the context menu saved earlier.
    QList<QList<int>> paths;
    if (portsOnly) {
        for (const QModelIndex& row : selectedRows()) {
            QList<int> path;
            for (QModelIndex at = row; at.isValid(); at = at.parent())
                path.prepend(at.row());
            paths.append(path);
        }
    } else {
        for (const int row : qAsConst(saved))
            paths.append({row});
    }
    treeView->saveExpandedGroups();
    tree->rebuild(system->deviceHandles());
    treeView->resetButtons();
    treeView->restoreExpandedGroups();
    QItemSelectionModel* selection = treeView->selectionModel();
    for (const QList<int>& path : qAsConst(paths)) {
        QModelIndex row;
        for (const int number : path)
            row = tree->index(number, 0, row);
        selection->select(row, QItemSelectionModel::Select);
    }
    selected = selectedRows();
    renderer->setSelection(selected);

    const IoResource::Ptr_t port =
        portsOnly && changed.size() == 1 ? system->resource(changed.first()) : IoResource::Ptr_t();
    information->updateSerialPortEditor(system->serialPorts(), port);
}

void SystemConfigurator::setCurentDevice(const QString& text)
{
    const QModelIndex row = tree->rowOfPath().value(text);
    if (row.isValid())
        treeView->setCurrentIndex(row);
}

void SystemConfigurator::setCurentGroup(const QString& text)
{
    for (auto it = tree->groupRows().cbegin(); it != tree->groupRows().cend(); ++it) {
        if (it.value() != text)
            continue;
        if (it.key().isValid())
            treeView->setCurrentIndex(it.key());
        return;
    }
}

QModelIndexList SystemConfigurator::selectedRows() const
{
    return treeView->selectionModel()->selectedRows(0);
}

QList<QPair<DeviceType_t, HardwareVersion>> SystemConfigurator::groupTypes(const QString& name) const
{
    // The handles the tree was last built from: the system's own list is sorted anew on every call,
    // and this runs for each row the pointer enters.
    QList<QPair<DeviceType_t, HardwareVersion>> types;
    for (const DeviceHandle& h : tree->devices()) {
        if (h.group == name)
            types.append(qMakePair(h.type, h.revision));
    }
    return types;
}

void SystemConfigurator::onElementEntered(const QModelIndex& index)
{
    if (!index.isValid()) {
        information->showSelected();
        return;
    }
    const NodeId_t id = index.data(IdRole).toUuid();
    if (index.data(KindRole).toInt() == GroupKind) {
        const QString name = index.data(Qt::DisplayRole).toString();
        information->showCurrent(groupTypes(name), name, id);
        return;
    }
    const DeviceHandle h = tree->handleAt(index);
    information->showCurrent({qMakePair(h.type, h.revision)}, QString(), id);
}

void SystemConfigurator::onDeviceEntered(DeviceType_t type, HardwareVersion revision, int supply,
                                         int systemPower, int modules)
{
    information->showCurrent(type, revision, supply, systemPower, modules);
}

void SystemConfigurator::onDeviceSelectorClosed()
{
    tree->setRowButtons();
    treeView->viewport()->repaint();
    refreshHover();
}

void SystemConfigurator::onSelectionChanged(const QItemSelection&, const QItemSelection&)
{
    const QModelIndexList rows = selectedRows();
    if (rows != selected)
        renderer->setSelection(rows);
    selected = rows;
    if (rows.isEmpty())
        return;
    const QModelIndex first = rows.first();
    const bool single = singleSelection(rows);
    if (first.data(KindRole).toInt() == GroupKind) {
        const QString name = first.data(Qt::DisplayRole).toString();
        information->showSelected(groupTypes(name), name, NodeId_t(), single);
        return;
    }
    const NodeId_t id = first.data(IdRole).toUuid();
    const Device::Ptr_t device = system->device(id);
    InformationStyled::Types_t types;
    if (device)
        types.append(qMakePair(device->type(), device->revision()));
    information->showSelected(types, QString(), id, single);
}

bool SystemConfigurator::singleSelection(const QModelIndexList& rows) const
{
    // One device or one group row shows a power budget, and so does one module alone.
    QSet<NodeId_t> others;
    QHash<NodeId_t, int> modulesPerOwner;
    int modules = 0;
    for (const QModelIndex& row : rows) {
        if (row.data(KindRole).toInt() == Device::PexClass) {
            ++modulesPerOwner[row.data(OwnerRole).toUuid()];
            ++modules;
        } else {
            others.insert(row.data(IdRole).toUuid());
        }
    }
    if (others.size() <= 1 && modules == 0)
        return true;
    return others.isEmpty() && modulesPerOwner.size() == 1 && modules == 1;
}

void SystemConfigurator::refreshHover()
{
    // The row under the pointer recomputes its hover state and buttons for the rows as they are
    // now, without waiting for the user to move the mouse.
    QWidget* viewport = treeView->viewport();
    QMouseEvent move(QEvent::MouseMove, viewport->mapFromGlobal(QCursor::pos()), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &move);
}

void SystemConfigurator::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        reloadSystem(QList<NodeId_t>());
    QWidget::changeEvent(event);
}
