#pragma once

#include <QPointer>
#include <QWidget>

// A value typed into a box and not yet entered is ended before anything reads, saves, exports,
// replaces or ends the configuration: the box loses the focus, so it enters its value as an edit
// of its own (or goes back to its value where its text is none), and the action and its save
// question see that edit. The focus comes back when this goes, to a box still shown and enabled,
// so what is typed next lands where the caret was.
class FinishedEntry
{
public:
    FinishedEntry();
    ~FinishedEntry();
    FinishedEntry(const FinishedEntry&) = delete;
    FinishedEntry& operator=(const FinishedEntry&) = delete;

private:
    QPointer<QWidget> m_box;
};
