#include "widgets/utils/shortcutredirector.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace Utils {

ShortCutRedirector::~ShortCutRedirector() = default;

bool ShortCutRedirector::eventFilter(QObject* watched, QEvent* event)
{
    // Consuming the override refuses the key to the focused widget; the key press is then
    // dispatched as a shortcut.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Redo) || key->matches(QKeySequence::Undo))
            return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Utils
