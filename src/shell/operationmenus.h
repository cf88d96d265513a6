#pragma once

#include <QCoreApplication>
#include <QHash>
#include <QList>
#include <QString>

class AbstractOperations;
class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// Builds the main window's menu bar and its single tool bar from the operation groups, in the
// order the groups are given (File, Edit, Device, Options, Help, Engineering), and renames the
// menus after a language change. Menus are built once and never rebuilt.
class OperationMenus
{
    Q_DECLARE_TR_FUNCTIONS(OperationMenus)

public:
    // Tool-bar actions of every group in order, with no separators between groups.
    QToolBar* createToolBar(QMainWindow* window, const QList<AbstractOperations*>& groups);
    // Menus appear in the order their titles are first named; groups naming one title share it.
    void createMenus(QMainWindow* window, const QList<AbstractOperations*>& groups);
    // Call after the groups have retranslated their actions.
    void retranslateMenuTitiles();

    QMenu* menu(const QString& title) const { return m_menusByTitle.value(title); }

private:
    QMenu* menuFor(QMainWindow* window, const QString& title);
    static void fillMenu(QMenu* menu, const QList<QAction*>& actions);

    // Keyed by the title a menu was created under, which a language change does not alter.
    QHash<QString, QMenu*> m_menusByTitle;
    // Each group's menus in the order they were created.
    QHash<AbstractOperations*, QList<QMenu*>> m_menusByGroup;
    QList<AbstractOperations*> m_groups;
};
