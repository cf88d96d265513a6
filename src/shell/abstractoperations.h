#pragma once

#include "widgets/finishedentry.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

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

    // Every action of the menus, their keys and the tool bar is tied to its work here, so each
    // runs after the entry of the box being typed in has ended.
    template <typename Sender, typename Signal, typename Work>
    static QMetaObject::Connection onActivated(Sender* sender, Signal signal, QObject* context,
                                               Work work)
    {
        return QObject::connect(sender, signal, context, [work = std::move(work)] {
            const FinishedEntry entry;
            work();
        });
    }
};
