#pragma once

#include <QCoreApplication>
#include <QEventLoop>

// Long additions and clonings let the window repaint every few devices. User input waits until the
// command has finished: a click or a key handled in the middle could push another command onto
// the undo stack, or rebuild the tree, while this one is still changing the system.
namespace EditPacing {

inline void letWindowPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace EditPacing
