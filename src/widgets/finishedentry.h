#pragma once

#include <QPointer>
#include <QWidget>

// A value typed into a box and not yet entered is ended before anything reads, saves, exports,
// replaces or ends the configuration, before an editor shows other records in its boxes, and
// before a control that takes no focus on a click makes its edit: the box loses the focus, so it
// enters its value as an edit of its own, for the record it was typed for (or goes back to its
// value where its text is none), and what follows sees that edit. The focus comes back when this
// goes, to a box still shown and enabled, so what is typed next lands where the caret was.
class FinishedEntry
{
public:
    // Given `within`, only a box inside it is ended: the focus elsewhere is not this owner's.
    explicit FinishedEntry(const QWidget* within = nullptr);
    ~FinishedEntry();
    FinishedEntry(const FinishedEntry&) = delete;
    FinishedEntry& operator=(const FinishedEntry&) = delete;

private:
    QPointer<QWidget> m_box;
};
