#pragma once

#include <QMap>
#include <QMenu>
#include <QString>

class QAction;

// The resource tree's right-click menu: fold and unfold devices, hide and show resources. The
// page fills a State from the click and the tree, runs the menu and carries out the code.
class ContextMenu : public QMenu
{
    Q_OBJECT

public:
    struct State
    {
        QString deviceName;
        bool deviceExpanded = false;
        bool othersCollapsed = false;
        bool allExpanded = false;
        bool hasSelection = false;
        bool hasFilter = false;
    };

    enum Code : int {
        NoAction = 0,
        CollapseDevice = 1,
        CollapseOthers = 2,
        CollapseAll = 3,
        ExpandAll = 4,
        HideSelected = 5,
        HideOthers = 6,
        ShowAll = 7,
    };

    explicit ContextMenu(QWidget* parent = nullptr);
    ContextMenu(const State& state, QWidget* parent = nullptr);

    int actionCode(QAction* action) const;
    QAction* action(int code) const { return m_actions.value(code); }

private:
    void applyState(const State& state);

    QMap<int, QAction*> m_actions;
};
