#include "widgets/finishedentry.h"

#include <QApplication>

FinishedEntry::FinishedEntry(const QWidget* within)
    : m_box(QApplication::focusWidget())
{
    if (m_box && within && !within->isAncestorOf(m_box))
        m_box.clear();
    // A box enters what it holds when it loses the focus. Left to a dialog the action opens, or
    // to the page being rebuilt under it, that edit would land in the middle of the action.
    if (m_box)
        m_box->clearFocus();
}

FinishedEntry::~FinishedEntry()
{
    if (m_box && m_box->isVisible() && m_box->isEnabled())
        m_box->setFocus(Qt::OtherFocusReason);
}
