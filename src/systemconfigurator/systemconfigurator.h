#pragma once

#include "model/abstractconfig.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "model/nodeid.h"

#include <QList>
#include <QModelIndexList>
#include <QPersistentModelIndex>
#include <QWidget>

#include <functional>

class InformationStyled;
class QHBoxLayout;
class QItemSelection;
class QUndoCommand;
class QVBoxLayout;
class SystemModel;

namespace SystemConfiguration {
class ContextMenu;
class Model;
class Renderer;
class View;
} // namespace SystemConfiguration

// The system page: the tree of groups, controllers and their modules beside the information
// panel. The page never changes the system itself: every edit leaves as one undo command, and the
// system's change signal brings the page back through reloadSystem.
class SystemConfigurator : public QWidget
{
    Q_OBJECT

public:
    // Runs the context menu at a global position and answers the triggered action (null when the
    // menu was dismissed or a page made the choice); tests replace it, the program runs the menu
    // modally.
    using MenuRunner =
        std::function<QAction*(SystemConfiguration::ContextMenu& menu, const QPoint& global)>;

    SystemConfigurator(SystemModel* system, QWidget* parent = nullptr);
    ~SystemConfigurator() override;

    void insertTopWidget(QWidget* widget);
    void setMenuRunner(const MenuRunner& runner) { menuRunner = runner; }

    SystemConfiguration::View* view() const { return treeView; }
    SystemConfiguration::Model* treeModel() const { return tree; }
    InformationStyled* informationPanel() const { return information; }
    const QList<int>& savedRows() const { return saved; }

signals:
    void changeSystem(QUndoCommand* command);

public slots:
    void reloadSystem(const QList<NodeId_t>& changed);
    void reloadSystem();
    void setCurentDevice(const QString& text);
    void setCurentGroup(const QString& text);

    void onAdd(const QList<DeviceHandle>& handles);
    void onRemove(const QList<DeviceHandle>& handles);
    void onRemoveDevices(const QModelIndexList& rows);
    void onDuplicateDevices(const QModelIndexList& rows);
    void onEdit(const DeviceHandle& before, const DeviceHandle& after);
    void onBusMove(const QList<DeviceHandle>& order);
    void onAddGroup(const QModelIndexList& rows);
    void onRenameGroup(const QList<DeviceHandle>& handles);
    void onChangeType(const QModelIndexList& rows, DeviceType_t type, HardwareVersion revision);
    void onRemoveGroups(const QModelIndexList& rows);
    void onRemoveGroupsAndDevices(const QModelIndexList& rows);

    void onElementEntered(const QModelIndex& index);
    void onDeviceEntered(DeviceType_t type, HardwareVersion revision, int supply, int system,
                         int modules);
    void onDeviceSelectorClosed();
    void onSystemResourceChanging(const QMap<IoResource::Ptr_t, AbstractConfig>& changes);
    void onContextMenuRequested(const QPoint& pos);
    void onSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

protected:
    void changeEvent(QEvent* event) override;

private:
    void setUpView();
    void connectParts();
    void buildLayout();
    // The selected rows as the selection model has them now.
    QModelIndexList selectedRows() const;
    QList<QPair<DeviceType_t, HardwareVersion>> groupTypes(const QString& name) const;
    bool singleSelection(const QModelIndexList& rows) const;
    void issue(QUndoCommand* command, bool refreshHover);
    void refreshHover();
    void dispatch(int code, const QModelIndexList& rows, const QModelIndex& clickedGroup,
                  DeviceType_t type, HardwareVersion revision);

    QModelIndexList selected;
    SystemConfiguration::View* treeView;
    SystemConfiguration::Model* tree;
    SystemConfiguration::Renderer* renderer;
    InformationStyled* information;
    SystemModel* system;
    QVBoxLayout* treeColumn = nullptr;
    QHBoxLayout* pageLayout = nullptr;
    QList<int> saved;
    MenuRunner menuRunner;
};
