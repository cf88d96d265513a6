#include "shell/operationmenus.h"

#include "shell/abstractoperations.h"
#include "widgets/stylesource.h"

#include <QDebug>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

QToolBar* OperationMenus::createToolBar(QMainWindow* window,
                                        const QList<AbstractOperations*>& groups)
{
    // The tool bar is fixed: no pop-up that would let the user hide it.
    window->setContextMenuPolicy(Qt::NoContextMenu);
    QToolBar* toolBar = window->addToolBar(tr("Tools"));
    toolBar->setObjectName(QStringLiteral("ToolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    for (AbstractOperations* group : groups) {
        for (QAction* action : group->toolBarActions())
            toolBar->addAction(action);
    }
    applyToolBarStyle(toolBar);
    return toolBar;
}

void OperationMenus::createMenus(QMainWindow* window, const QList<AbstractOperations*>& groups)
{
    for (AbstractOperations* group : groups) {
        const QMap<QString, QList<QAction*>> menus = group->menuActions();
        for (auto it = menus.cbegin(); it != menus.cend(); ++it) {
            QMenu* menu = menuFor(window, it.key());
            if (!menu)
                continue;
            if (!m_menusByGroup.contains(group))
                m_groups.append(group);
            m_menusByGroup[group].append(menu);
            fillMenu(menu, it.value());
        }
    }
}

QMenu* OperationMenus::menuFor(QMainWindow* window, const QString& title)
{
    if (QMenu* menu = m_menusByTitle.value(title))
        return menu;
    QMenu* menu = window->menuBar()->addMenu(title);
    m_menusByTitle.insert(title, menu);
    return menu;
}

void OperationMenus::fillMenu(QMenu* menu, const QList<QAction*>& actions)
{
    menu->addActions(actions);
    menu->addSeparator();
}

void OperationMenus::retranslateMenuTitiles()
{
    for (AbstractOperations* group : qAsConst(m_groups)) {
        const QList<QMenu*>& menus = m_menusByGroup.value(group);
        const QStringList titles = group->menuTitles();
        if (menus.size() != titles.size()) {
            qCritical() << "void TavConfigurator::retranslateMenuTitiles()"
                        << "menu length != new menu titles length";
            continue;
        }
        for (int i = 0; i < menus.size(); ++i)
            menus.at(i)->setTitle(titles.at(i));
    }
}
