#include "widgets/pendingentry.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QLineEdit>
#include <QVariant>

namespace {

const char* const kCommandBox = "entryCommandsDevice";

// One for each window that follows its boxes; GUI thread only.
QList<PendingEntry*>& entries()
{
    static QList<PendingEntry*> all;
    return all;
}

// The box the user types into: a spin box takes its keys through the line edit inside it.
QWidget* boxOf(QWidget* focused)
{
    if (!focused)
        return nullptr;
    if (qobject_cast<QAbstractSpinBox*>(focused->parentWidget())
        && qobject_cast<QLineEdit*>(focused))
        focused = focused->parentWidget();
    if (!qobject_cast<QAbstractSpinBox*>(focused) && !qobject_cast<QLineEdit*>(focused))
        return nullptr;
    return focused->property(kCommandBox).toBool() ? nullptr : focused;
}

} // namespace

PendingEntry::PendingEntry(QWidget* window, QObject* parent)
    : QObject(parent)
    , m_window(window)
{
    entries().append(this);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { follow(now); });
    follow(QApplication::focusWidget());
}

PendingEntry::~PendingEntry()
{
    entries().removeOne(this);
}

// A spin box refilled from its records sets its text with its line edit's signals blocked: the
// refill has to say so.
void PendingEntry::refilled(const QWidget* boxes)
{
    if (!boxes)
        return;
    for (PendingEntry* entry : qAsConst(entries())) {
        const QWidget* box = entry->m_box;
        if (box && (box == boxes || boxes->isAncestorOf(box))) {
            entry->m_typed.clear();
            entry->setPending(false);
        }
    }
}

void PendingEntry::setCommandBox(QWidget* box)
{
    if (box)
        box->setProperty(kCommandBox, true);
}

// The focus moves once the box it leaves has entered its value (or gone back to it): whatever
// the box held, it is no longer pending.
void PendingEntry::follow(QWidget* focused)
{
    for (const QMetaObject::Connection& connection : qAsConst(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_typed.clear();
    m_box.clear();
    setPending(false);

    QWidget* box = boxOf(focused);
    if (!box || !m_window || !m_window->isAncestorOf(box))
        return;
    m_box = box;
    auto* line = qobject_cast<QLineEdit*>(box);
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(box)) {
        line = spin->findChild<QLineEdit*>();
        // A spin box enters its value on Return, and on any focus loss, a menu opening included.
        // A line edit in a row of a tree is entered only when the row's editor closes, which
        // moves the focus: its own end of editing (a menu opening) ends nothing.
        m_connections << connect(spin, &QAbstractSpinBox::editingFinished, this,
                                 [this] { setPending(false); });
    }
    if (line) {
        // A box refilled from its records under the caret holds nothing typed any more.
        m_connections << connect(line, &QLineEdit::textEdited, this, [this](const QString& text) {
            m_typed = text;
            setPending(true);
        });
        m_connections << connect(line, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (text != m_typed)
                setPending(false);
        });
    }
    m_connections << connect(box, &QObject::destroyed, this, [this] { setPending(false); });
}

void PendingEntry::setPending(bool pending)
{
    if (m_pending == pending)
        return;
    m_pending = pending;
    emit pendingChanged(pending);
}
