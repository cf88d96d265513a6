#pragma once

#include "model/devicetype.h"
#include "systemconfigurator/contextmenuoptions.h"

#include <QMenu>

class DeviceSelector;

namespace SystemConfiguration {

// The pop-up menu of the system tree. It enables its actions from what the selection allows,
// offers device types on the pages of its two sub-menus ("Изменить тип", "Добавить Pex"), and
// closes itself as soon as a page reports a choice. While the pointer moves over a page it
// passes the page's power preview on.
class ContextMenu : public QMenu
{
    Q_OBJECT

public:
    using Options = ContextMenuOptions;

    enum Code : int {
        NoAction = 0,
        CreateGroup = 1,
        AddModule = 2,
        DeleteDevices = 3,
        CloneDevices = 4,
        DeleteGroups = 5,
        DeleteGroupsAndDevices = 6,
        ChangeType = 7,
        ExpandAll = 8,
        CollapseAll = 9,
        CollapseOthers = 10,
    };

    explicit ContextMenu(QWidget* parent = nullptr);
    ContextMenu(const Options& options, QWidget* parent = nullptr);
    ~ContextMenu() override;

    // The code of what was chosen: a page's choice, else the triggered action; 0 for nothing.
    int chosenAction(QAction* triggered) const;
    DeviceType_t chosenType() const { return type; }
    HardwareVersion chosenRevision() const { return revision; }

    QAction* action(Code code) const;
    QMenu* changeTypeMenu() const { return changeTypeSubMenu; }
    QMenu* addModuleMenu() const { return addModuleSubMenu; }
    // Null while its sub-menu is disabled.
    DeviceSelector* changeTypePage() const { return changeTypeSelector; }
    DeviceSelector* addModulePage() const { return addModuleSelector; }

    // The module types whose consumption the weakest reserve can carry and, under the board
    // limit, whose boards still fit.
    static QList<DeviceType_t> moduleTypes(const Options& options);

signals:
    void devEntered(DeviceType_t type, HardwareVersion revision, int supply, int system,
                    int modules);

private:
    void enableActions(const Options& options);
    void createChangeTypePage(const Options& options);
    void createAddModulePage(const Options& options);
    DeviceSelector* addPage(QMenu* menu, const QList<DeviceType_t>& offered, int deviceClass,
                            int code);
    void retranslate();

    QAction* deleteDevices;
    QAction* cloneDevices;
    QAction* createGroup;
    QAction* collapseOthers;
    QAction* collapseAll;
    QAction* expandAll;
    QAction* deleteGroups;
    QAction* deleteGroupsAndDevices;
    QMenu* changeTypeSubMenu;
    QMenu* addModuleSubMenu;
    DeviceSelector* changeTypeSelector = nullptr;
    DeviceSelector* addModuleSelector = nullptr;
    DeviceType_t type = 0;
    HardwareVersion revision = 0;
    quint8 code = 0;
};

} // namespace SystemConfiguration
