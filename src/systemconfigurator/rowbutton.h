#pragma once

#include <QColor>
#include <QIcon>
#include <QRect>

namespace SystemConfiguration {

// One button drawn inside a row of the system tree. The view keeps one record per button to decide
// where it lies and what state it is in, and hands both to the model as item data; the renderer
// keeps records of the same kind as scratch space while painting a row.
struct RowButton
{
    // Viewport coordinates; only the left and right edges matter, the button spans the row.
    QRect rect;
    QIcon icon;
    int stateRole = -1;
    int rectRole = -1;
    // 0 hidden, 1 shown, 2 hovered, 3 pressed.
    int state = 0;
    QColor highlight;
};

} // namespace SystemConfiguration
