#include "resourceconfigurator/resourceconfigurator.h"

#include "catalogue/brandrules.h"
#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/changedevice.h"
#include "resourceconfigurator/changeresource.h"
#include "resourceconfigurator/changeresourcevalue.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/filterpanel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationrenderer.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "widgets/stylesource.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

using ResourceConfiguration::Model;

namespace {

// Resources and devices are collected the same way, keyed by their node ids.
template <typename Ptr>
void collectConfigs(const QMap<Ptr, AbstractConfig>& changes,
                    QMap<NodeId_t, AbstractConfig>* configs,
                    QMap<NodeId_t, AbstractConfig>* current)
{
    for (auto it = changes.cbegin(); it != changes.cend(); ++it) {
        configs->insert(it.key()->id(), it.value());
        AbstractConfig now;
        it.key()->exportConfig(now);
        current->insert(it.key()->id(), now);
    }
}

// One command of the given kind for one editor change; none for an empty change, which would be
// an undo step that does nothing.
template <typename Command, typename Ptr>
Command* commandFor(SystemModel* system, const QMap<Ptr, AbstractConfig>& changes)
{
    if (changes.isEmpty())
        return nullptr;
    QMap<NodeId_t, AbstractConfig> configs;
    QMap<NodeId_t, AbstractConfig> current;
    collectConfigs(changes, &configs, &current);
    auto* command = new Command(system);
    command->setNewConfigs(configs);
    command->setOldConfigs(current);
    return command;
}

} // namespace

void collectResourceConfigs(const QMap<IoResource::Ptr_t, AbstractConfig>& changes,
                            QMap<NodeId_t, AbstractConfig>* configs,
                            QMap<NodeId_t, AbstractConfig>* current)
{
    collectConfigs(changes, configs, current);
}

void collectDeviceConfigs(const QMap<Device::Ptr_t, AbstractConfig>& changes,
                          QMap<NodeId_t, AbstractConfig>* configs,
                          QMap<NodeId_t, AbstractConfig>* current)
{
    collectConfigs(changes, configs, current);
}

ResourceConfigurator::ResourceConfigurator(SystemModel* system, QWidget* parent)
    : QWidget(parent)
    , m_hintLabel(new QLabel)
    , m_filterPanel(new FilterPanel)
    , m_proxy(new FilteringProxyModel(this))
    , m_view(new ResourceConfiguration::View(this))
    , m_model(new Model(system, this))
    , m_renderer(new ResourceConfiguration::Renderer(this))
    , m_editorViewer(new EditorViewer(system, this))
    , m_system(system)
    , m_pageLayout(new QHBoxLayout)
    , m_barLayout(new QHBoxLayout)
    , m_menuRunner([](ContextMenu& menu, const QPoint& global) {
        return menu.actionCode(menu.exec(global));
    })
{
    setUpView();
    setUpFilter();
    setUpLayout();
    connect(m_editorViewer, &EditorViewer::changeResources, this,
            &ResourceConfigurator::onChangeResources);
    connect(m_editorViewer, &EditorViewer::changeDevices, this,
            &ResourceConfigurator::onChangeDevices);
    connect(m_editorViewer, &EditorViewer::controlResources, this,
            &ResourceConfigurator::onControlResources);
    connect(m_system, &SystemModel::changedResources, this,
            &ResourceConfigurator::onSysModelChangeResources);
    connect(m_system, &SystemModel::changedValues, this, &ResourceConfigurator::onChangeValues,
            Qt::QueuedConnection);
    connect(m_system, &SystemModel::changedDeviceValues, this,
            &ResourceConfigurator::onChangedPhysDev, Qt::QueuedConnection);
    connect(m_system, &SystemModel::changed, this, &ResourceConfigurator::systemChanged);
    // The tree comes up ordered and expanded like after every rebuild.
    m_proxy->sort(0, Qt::AscendingOrder);
}

ResourceConfigurator::~ResourceConfigurator() = default;

void ResourceConfigurator::setUpView()
{
    m_proxy->setSourceModel(m_model);
    m_view->setModel(m_proxy);
    m_view->setItemDelegate(m_renderer);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setFrameStyle(QFrame::NoFrame | QFrame::Plain);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    applyScrollBarStyle(m_view->verticalScrollBar());
    connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ResourceConfigurator::onSelectionChanged);
    connect(this, &ResourceConfigurator::selected, m_editorViewer, &EditorViewer::edit);
    connect(m_view, &QWidget::customContextMenuRequested, this,
            &ResourceConfigurator::onContextMenuRequested);
    connect(this, &ResourceConfigurator::doFilter, m_proxy, &FilteringProxyModel::doFilterIndex);
    connect(m_proxy, &QAbstractItemModel::layoutAboutToBeChanged, m_view,
            &ResourceConfiguration::View::onLayoutAboutToBeChange);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, m_view,
            &ResourceConfiguration::View::onLayoutChanged);
}

void ResourceConfigurator::setUpFilter()
{
    m_filterPanel->resize(180, 34);
    m_filterPanel->setMinimumSize(180, 34);
    m_filterPanel->setFilters({{ResourceKind::Ain, QStringLiteral("AIN")},
                               {ResourceKind::Aout, QStringLiteral("AOUT")},
                               {ResourceKind::Din, QStringLiteral("DIN")},
                               {ResourceKind::Dout, QStringLiteral("DOUT")}});
    connect(m_filterPanel, &FilterPanel::doFiltering, m_proxy, &FilteringProxyModel::doFilterType);
    connect(m_filterPanel, &FilterPanel::resetFilter, m_proxy,
            &FilteringProxyModel::resetAllFilters);
    connect(m_proxy, &FilteringProxyModel::setFilter, m_filterPanel, &FilterPanel::hasFiltered);
}

void ResourceConfigurator::setUpLayout()
{
    m_hintLabel->hide();
    m_hintLabel->setAutoFillBackground(true);
    m_hintLabel->setAlignment(Qt::AlignCenter);
    applyAccentLabelStyle(m_hintLabel, palette());
    m_barLayout->addWidget(m_hintLabel);
    m_barLayout->setSpacing(0);
    m_barLayout->setContentsMargins(0, 0, 0, 0);

    auto* tree = new QVBoxLayout;
    tree->setSpacing(0);
    tree->setContentsMargins(0, 0, 0, 0);
    tree->addLayout(m_barLayout);
    tree->addWidget(m_view);
    tree->addWidget(m_filterPanel);

    m_pageLayout->setSpacing(0);
    m_pageLayout->setContentsMargins(0, 0, 0, 0);
    m_pageLayout->addLayout(tree, 1);
    if (BrandRules::showsEditorBesideTree())
        m_pageLayout->addWidget(m_editorViewer, 2);
    else
        addButtonBox(m_pageLayout);
    setLayout(m_pageLayout);
}

void ResourceConfigurator::addButtonBox(QHBoxLayout* pageLayout)
{
    m_buttonBox = new QDialogButtonBox(this);
    addDialogButtons(m_buttonBox);
    setDialogButtonTexts(m_buttonBox, tr("Сохранить"), tr("Отмена"));
    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &ResourceConfigurator::accepted);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &ResourceConfigurator::rejected);
    auto* editorArea = new QVBoxLayout;
    editorArea->setSpacing(5);
    editorArea->setContentsMargins(0, 0, 5, 5);
    editorArea->addWidget(m_editorViewer);
    editorArea->addWidget(m_buttonBox);
    pageLayout->addLayout(editorArea, 2);
}

void ResourceConfigurator::insertBarWidget(QWidget* widget)
{
    if (!widget)
        return;
    m_barLayout->insertWidget(0, widget, 0);
    placeHint();
}

void ResourceConfigurator::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
}

void ResourceConfigurator::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ResourceConfigurator::retranslate()
{
    placeHint();
    if (m_buttonBox)
        setDialogButtonTexts(m_buttonBox, tr("Сохранить"), tr("Отмена"));
}

void ResourceConfigurator::placeHint()
{
    // The hint stands over the value column, so whatever the shell puts into the strip keeps the
    // name column's width: a tab bar shows its tabs whole, and the strip never makes the tree
    // column wider than the tree. Alone in the strip, the hint spans both columns.
    bool alone = true;
    for (int i = 0; i < m_barLayout->count(); ++i) {
        const QWidget* widget = m_barLayout->itemAt(i)->widget();
        alone = alone && (!widget || widget == m_hintLabel);
    }
    const int left = alone ? m_view->columnWidth(0) + m_view->frameWidth() : 0;
    const int cell = m_view->columnWidth(1);
    m_hintLabel->setFixedWidth(left + cell);

    // The hint names the two halves of the monitoring tree's value cells: the input reading and
    // its F(X). Each word stands centred over its half, whatever the language makes of the gap.
    const QStringList words =
        tr("Вход             F(X)").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.size() != 2) {
        m_hintLabel->setText(words.join(QLatin1Char(' ')));
        return;
    }
    const int split = ResourceConfiguration::Renderer::valueSplit(cell);
    m_hintLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Even an empty cell takes a pixel.
    const QString gap = left > 0 ? QStringLiteral("<td width=\"%1\"></td>").arg(left) : QString();
    m_hintLabel->setText(
        QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\"><tr>%1"
                       "<td width=\"%2\" align=\"center\">%4</td>"
                       "<td width=\"%3\" align=\"center\">%5</td></tr></table>")
            .arg(gap).arg(split).arg(cell - split)
            .arg(words.at(0).toHtmlEscaped(), words.at(1).toHtmlEscaped()));
}

void ResourceConfigurator::onChangeResources(const QMap<IoResource::Ptr_t, AbstractConfig>& changes)
{
    if (m_followingModel)
        return;
    if (auto* command = commandFor<Tre::ChangeResource>(m_system, changes))
        emit changeResource(command);
}

void ResourceConfigurator::onChangeDevices(const QMap<Device::Ptr_t, AbstractConfig>& changes)
{
    if (m_followingModel)
        return;
    if (auto* command = commandFor<Tre::ChangeDevice>(m_system, changes))
        emit changeResource(command);
}

void ResourceConfigurator::onControlResources(const QMap<IoResource::Ptr_t, AbstractValue>& values)
{
    QMap<NodeId_t, AbstractValue> wanted;
    QMap<NodeId_t, AbstractValue> current;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        wanted.insert(it.key()->id(), it.value());
        AbstractValue now;
        now.kind = ResourceKind::Block;
        it.key()->exportValue(now);
        current.insert(it.key()->id(), now);
    }
    Tre::ChangeResourceValue command(m_system);
    command.setNewValues(wanted);
    command.setOldValues(current);
    command.redo();
}

void ResourceConfigurator::onChangedPhysDev(const QList<NodeId_t>& ids)
{
    m_editorViewer->updateValues(ids);
}

void ResourceConfigurator::onChangeValues(const QList<NodeId_t>& ids)
{
    m_model->updateValues(ids);
    m_editorViewer->updateLiveValues(ids);
}

void ResourceConfigurator::systemChanged()
{
    // The system may already be gone (a new one, a file opened).
    const QScopedValueRollback<bool> following(m_followingModel, true);
    m_selection.clear();
    m_view->onLayoutAboutToBeChange();
    m_model->reload();
    m_editorViewer->updateSystem();
    m_view->onLayoutChanged();
    m_proxy->resetAllFilters();
    m_proxy->sort(0, Qt::AscendingOrder);
}

QList<QModelIndex> ResourceConfigurator::proxyRowsInTreeOrder(
    const QList<QModelIndex>& sourceIndexes) const
{
    // Keyed by the whole path from the top, so rows under different parents never share a key.
    QMap<QVector<int>, QModelIndex> byPath;
    for (const QModelIndex& source : sourceIndexes) {
        const QModelIndex row = m_proxy->mapFromSource(source);
        if (!row.isValid())
            continue;
        QVector<int> path;
        for (QModelIndex i = row; i.isValid(); i = i.parent())
            path.prepend(i.row());
        byPath.insert(path, row);
    }
    return byPath.values();
}

void ResourceConfigurator::onSysModelChangeResources(const QList<NodeId_t>& ids)
{
    const QScopedValueRollback<bool> following(m_followingModel, true);
    m_model->refreshRows(ids);
    // A change may couple or uncouple inputs, which shows or hides rows.
    m_proxy->invalidate();
    const QList<QModelIndex> sources = m_model->indexes(ids);
    if (m_proxy->hasFilter() && m_proxy->wouldHide(sources))
        m_proxy->resetAllFilters();
    m_view->selectRows(proxyRowsInTreeOrder(sources));
    m_editorViewer->update(ids);
}

void ResourceConfigurator::onSelectionChanged(const QItemSelection&, const QItemSelection&)
{
    m_selection.clear();
    const QModelIndexList rows = m_view->selectionModel()->selectedRows(0);
    QList<QModelIndex> sources;
    for (const QModelIndex& row : rows) {
        const QModelIndex source = m_proxy->mapToSource(row);
        m_selection.append(QPersistentModelIndex(source));
        sources.append(source);
    }
    emit selected(m_model->devices(sources), m_model->resources(sources));
    m_renderer->setSelection(rows);
    m_view->viewport()->update();
}

void ResourceConfigurator::monitoringMode(bool on)
{
    m_hintLabel->setVisible(on);
    if (m_proxy->hasFilter())
        m_proxy->resetAllFilters();
    m_model->setMonitoring(on);
    m_view->setMonitoring(on);
    placeHint();
    m_editorViewer->controlling(on);
}
