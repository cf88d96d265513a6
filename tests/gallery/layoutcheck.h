#pragma once

#include <QStringList>

class QWidget;

namespace Gallery {

// Looks at a rendered widget tree as a reader would and answers one line per defect: a visible
// label, button, tab, header section or table cell whose text is wider (or taller) than the room
// it is given, so that it is elided or clipped; two visible sibling widgets that overlap; a
// visible widget cut off by its parent; Cyrillic text in a face that has no Cyrillic letters; and,
// when latinOnly is set, Cyrillic text in a scene that should read in English.
QStringList layoutDefects(QWidget* root, bool latinOnly);

} // namespace Gallery
