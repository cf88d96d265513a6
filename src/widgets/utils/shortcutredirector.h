#pragma once

#include <QObject>

namespace Utils {

// Installed on input widgets (line edits, spin boxes) so that the Undo and Redo keys reach the
// window's undo and redo actions, the edit history of the whole configuration, instead of the
// widget's own text undo. Every other key stays with the widget.
class ShortCutRedirector : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~ShortCutRedirector() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace Utils
