#pragma once

#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurationrenderer.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/treerole.h"
#include "systemfixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QtTest>

// A system tree wired as the system page wires it, with a 200-px wide viewport, and real mouse
// events sent to its viewport.
struct TreeViewFixture
{
    SystemConfiguration::Model model;
    SystemConfiguration::View view;
    SystemConfiguration::Renderer renderer;

    TreeViewFixture()
    {
        view.setModel(&model);
        view.setItemDelegate(&renderer);
        view.setFrameStyle(QFrame::NoFrame | QFrame::Plain);
        view.setSelectionMode(QAbstractItemView::ExtendedSelection);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setMinimumWidth(200);
        view.setFixedSize(200, 480);
        QObject::connect(&view, &SystemConfiguration::View::deleteIt, &model,
                         QOverload<const QModelIndex&>::of(&SystemConfiguration::Model::removeRow));
        QObject::connect(&view, &SystemConfiguration::View::startMove, &model,
                         &SystemConfiguration::Model::startMove);
        QObject::connect(&view, &SystemConfiguration::View::moveDest, &model,
                         &SystemConfiguration::Model::moveDest);
        QObject::connect(&view, &SystemConfiguration::View::finishMove, &model,
                         &SystemConfiguration::Model::finishMove);
    }

    // What the system page does around every rebuild.
    void load(const QList<DeviceHandle>& handles)
    {
        view.saveExpandedGroups();
        model.rebuild(handles);
        view.resetButtons();
        view.restoreExpandedGroups();
    }

    QPoint at(const QModelIndex& row, int x) const
    {
        return QPoint(x, view.visualRect(row).center().y());
    }

    void send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button = Qt::NoButton,
              Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent event(type, pos, view.viewport()->mapToGlobal(pos), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &event);
    }
    void hover(const QPoint& pos) { send(QEvent::MouseMove, pos); }
    void press(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, pos, button, button);
    }
    void release(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void click(const QPoint& pos)
    {
        hover(pos);
        press(pos);
        release(pos);
    }

    static int state(const QModelIndex& row, int role) { return row.data(role).toInt(); }
    // The horizontal extent of a button as the view published it.
    static QPair<int, int> span(const QModelIndex& row, int rectRole)
    {
        const QRect r = row.data(rectRole).toRect();
        return qMakePair(r.left(), r.right());
    }
};
