#pragma once

#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemfixture.h"

#include <QUndoCommand>
#include <QUndoStack>

// Adds a controller numbered after the system's other controllers, with `modules` modules of its
// own.
inline QList<DeviceHandle> appendController(SystemModel& system, DeviceType_t controller,
                                            DeviceType_t module, int modules)
{
    int number = 0;
    for (const DeviceHandle& h : system.deviceHandles())
        number += h.owner.isNull();
    const QList<DeviceHandle> list =
        SystemFixture::controllerWithModules(controller, module, number, modules);
    SystemFixture::addAll(system, list);
    return list;
}

// A system with the system page's tree built from it, as the page keeps it after every reload.
struct TreeOfSystem
{
    SystemModel system;
    SystemConfiguration::Model tree;

    void reload() { tree.rebuild(system.deviceHandles()); }
    QModelIndex row(const NodeId_t& id) const { return tree.rowOfDevice().value(id); }
    QModelIndexList rows(const QList<NodeId_t>& ids) const
    {
        QModelIndexList out;
        for (const NodeId_t& id : ids)
            out << row(id);
        return out;
    }
    // The first top-level group row of that name.
    QModelIndex groupRow(const QString& name) const
    {
        for (auto it = tree.groupRows().cbegin(); it != tree.groupRows().cend(); ++it) {
            if (it.value() == name)
                return it.key();
        }
        return QModelIndex();
    }
    QList<NodeId_t> ids() const
    {
        QList<NodeId_t> out;
        for (const DeviceHandle& h : system.deviceHandles())
            out << h.id;
        return out;
    }
    QString groupOf(const NodeId_t& id) const
    {
        const Device::Ptr_t d = system.device(id);
        return d ? d->group() : QStringLiteral("<absent>");
    }
};

// Pushes the command, checks that it changed the system file, undoes it and checks that the file
// is back byte for byte, then redoes it for the caller to look at.
inline void undoRestoresFile(SystemModel& system, QUndoStack& stack, QUndoCommand* command)
{
    QVERIFY(command);
    const QByteArray before = SystemFixture::jsonOf(system);
    stack.push(command);
    const QByteArray after = SystemFixture::jsonOf(system);
    QVERIFY(after != before);
    stack.undo();
    QCOMPARE(SystemFixture::jsonOf(system), before);
    stack.redo();
    QCOMPARE(SystemFixture::jsonOf(system), after);
}
