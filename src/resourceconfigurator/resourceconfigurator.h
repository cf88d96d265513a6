#pragma once

#include "model/abstractconfig.h"
#include "model/abstractvalue.h"
#include "model/device.h"
#include "model/ioresource.h"
#include "model/nodeid.h"
#include "resourceconfigurator/contextmenu.h"

#include <QItemSelection>
#include <QList>
#include <QMap>
#include <QPersistentModelIndex>
#include <QWidget>

#include <functional>

class EditorViewer;
class FilterPanel;
class FilteringProxyModel;
class QDialogButtonBox;
class QHBoxLayout;
class QLabel;
class QUndoCommand;
class SystemModel;

namespace ResourceConfiguration {
class Model;
class Renderer;
class View;
}

// Per node id, the configuration an edit asks for (`configs`) and the current one (`current`).
void collectResourceConfigs(const QMap<IoResource::Ptr_t, AbstractConfig>& changes,
                            QMap<NodeId_t, AbstractConfig>* configs,
                            QMap<NodeId_t, AbstractConfig>* current);
void collectDeviceConfigs(const QMap<Device::Ptr_t, AbstractConfig>& changes,
                          QMap<NodeId_t, AbstractConfig>* configs,
                          QMap<NodeId_t, AbstractConfig>* current);

// The resource page: the filterable tree of devices and resources on the left, the editor of the
// selection on the right. Every configuration edit leaves as an undo command; the model's change
// signals bring tree, filters and editors up to date. Live control while monitoring goes to the
// devices at once and never reaches the undo stack.
class ResourceConfigurator : public QWidget
{
    Q_OBJECT

public:
    // Runs the context menu at a global position and answers the chosen action's code; tests
    // replace it, the program runs the menu modally.
    using MenuRunner = std::function<int(ContextMenu& menu, const QPoint& global)>;

    ResourceConfigurator(SystemModel* system, QWidget* parent = nullptr);
    ~ResourceConfigurator() override;

    void insertBarWidget(QWidget* widget);
    void setMenuRunner(const MenuRunner& runner) { m_menuRunner = runner; }

    ResourceConfiguration::View* view() const { return m_view; }
    ResourceConfiguration::Model* model() const { return m_model; }
    FilteringProxyModel* proxy() const { return m_proxy; }
    FilterPanel* filterPanel() const { return m_filterPanel; }
    EditorViewer* editorViewer() const { return m_editorViewer; }
    QLabel* hintLabel() const { return m_hintLabel; }
    QDialogButtonBox* buttonBox() const { return m_buttonBox; }

signals:
    void changeResource(QUndoCommand* command);
    void selected(const QList<Device::Ptr_t>& devices, const QList<IoResource::Ptr_t>& resources);
    void doFilter(const QList<QModelIndex>& indexes, bool hide);
    void accepted();
    void rejected();

public slots:
    void systemChanged();
    void monitoringMode(bool on);
    void onChangedPhysDev(const QList<NodeId_t>& ids);
    void onChangeValues(const QList<NodeId_t>& ids);
    void onChangeResources(const QMap<IoResource::Ptr_t, AbstractConfig>& changes);
    void onChangeDevices(const QMap<Device::Ptr_t, AbstractConfig>& changes);
    void onControlResources(const QMap<IoResource::Ptr_t, AbstractValue>& values);
    void onSysModelChangeResources(const QList<NodeId_t>& ids);
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);
    void onContextMenuRequested(const QPoint& pos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setUpView();
    void setUpFilter();
    void setUpLayout();
    void addButtonBox(QHBoxLayout* pageLayout);
    void retranslate();
    void placeHint();
    QList<QModelIndex> proxyRowsInTreeOrder(const QList<QModelIndex>& sourceIndexes) const;
    void carryOut(int code, const QList<QPersistentModelIndex>& hide,
                  const QPersistentModelIndex& deviceRow);

    // Persistent: the list outlives rebuilds and modal menus, and a stale entry reads invalid.
    QList<QPersistentModelIndex> m_selection;
    QLabel* m_hintLabel;
    FilterPanel* m_filterPanel;
    FilteringProxyModel* m_proxy;
    ResourceConfiguration::View* m_view;
    ResourceConfiguration::Model* m_model;
    ResourceConfiguration::Renderer* m_renderer;
    EditorViewer* m_editorViewer;
    SystemModel* m_system;
    QHBoxLayout* m_pageLayout;
    QHBoxLayout* m_barLayout;
    QDialogButtonBox* m_buttonBox = nullptr;
    MenuRunner m_menuRunner;
    // The page is catching up with a change the model has already made (an edit, its undo or
    // redo, a read, another system). A box still being typed in enters its value when its rows
    // or its editor change under it: that value was typed for records as they were, and taken
    // now it would be an edit pushed in the middle of another, so it is given up.
    bool m_followingModel = false;
};
