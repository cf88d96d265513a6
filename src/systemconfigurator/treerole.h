#pragma once

#include <Qt>

namespace SystemConfiguration {

// Item data roles of the system tree. The model fills the facts of each row; the view writes the
// button states and rectangles of the row under the pointer; the renderer and the type editor read
// both. Button state roles hold 0 hidden, 1 shown, 2 hovered, 3 pressed.
enum TreeRole : int {
    DragSourceRole = Qt::UserRole,  // 256
    DropTargetRole = 257,
    KindRole = 258,                 // a device class, NoDeviceKind or GroupKind (below)
    TypeRole = 259,
    RevisionRole = 260,
    BoardCountRole = 261,
    EditButtonRole = 262,
    CloseButtonRole = 263,
    MoveButtonRole = 264,
    GroupRowRole = 265,
    EditButtonRectRole = 266,
    CloseButtonRectRole = 267,
    MoveButtonRectRole = 268,
    GroupToggleRectRole = 269,
    AddRowRole = 270,
    IdRole = 273,
    ModuleCountRole = 276,
    OwnerRole = 277,
    OwnerIndexRole = 278,
    GroupEndRole = 279,
    PowerReserveRole = 280,
    PowerRequiredRole = 281,
    PowerBalanceRole = 282,
};

// KindRole of a device row is the device class of its type (Device::PlcClass, TavClass, PexClass),
// and so is that of the add row of an empty tree: the class it offers. The add row below devices
// has no kind.
constexpr int NoDeviceKind = 0;
// The value of KindRole on a group row.
constexpr int GroupKind = 4;

} // namespace SystemConfiguration
