#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class QAction;

// What every group of menu operations (File, Edit, Device, Options, Help, Engineering) tells the
// main window: which actions go on the tool bar and into which menus, and how to rename them when
// the interface language changes. The groups own their actions.
class AbstractOperations
{
public:
    virtual ~AbstractOperations() = default;

    virtual QList<QAction*> toolBarActions() const = 0;
    // From menu title to the menu's actions, in order.
    virtual QMap<QString, QList<QAction*>> menuActions() const = 0;
    virtual void retranslate() = 0;
    // One title per menu of the group, in the current language.
    virtual QStringList menuTitles() const = 0;
};
