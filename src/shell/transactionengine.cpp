#include "shell/transactionengine.h"

#include "shell/toolicon.h"

#include "widgets/layoutmetrics.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QWidget>

TransactionEngine::TransactionEngine(QObject* parent)
    : QObject(parent)
{
    m_stack.setUndoLimit(kUndoLimit);
}

TransactionEngine::~TransactionEngine() = default;

void TransactionEngine::createActions()
{
    m_undo = new QAction(toolIcon(QStringLiteral("undo%1.png")), QString(), this);
    m_undo->setShortcuts(QKeySequence::Undo);
    connect(m_undo, SIGNAL(triggered()), this, SLOT(undoActivated()));

    m_redo = new QAction(toolIcon(QStringLiteral("redo%1.png")), QString(), this);
    m_redo->setShortcuts(QKeySequence::Redo);
    connect(m_redo, SIGNAL(triggered()), this, SLOT(redoActivated()));

    setToolButtonSizeWide(m_undo);
    setToolButtonSizeWide(m_redo);
    updateActions();
    retranslate();
}

void TransactionEngine::clear()
{
    m_stack.clear();
    updateActions();
}

void TransactionEngine::push(QUndoCommand* command)
{
    if (!command)
        return;
    m_stack.push(command);
    updateActions();
}

void TransactionEngine::undoActivated()
{
    stepWithEntryFinished([this] {
        if (m_stack.canUndo())
            m_stack.undo();
    });
}

void TransactionEngine::redoActivated()
{
    stepWithEntryFinished([this] {
        if (m_stack.canRedo())
            m_stack.redo();
    });
}

void TransactionEngine::stepWithEntryFinished(const std::function<void()>& step)
{
    // A box still holding typed text commits it when it loses focus. The step may hide that box,
    // and its edit would then land in the middle of the running undo; leaving the box first
    // makes the entry an edit of its own, the one an undo then takes back.
    const QPointer<QWidget> focused = QApplication::focusWidget();
    if (focused)
        focused->clearFocus();
    step();
    updateActions();
    if (focused && focused->isVisible() && focused->isEnabled())
        focused->setFocus(Qt::OtherFocusReason);
}

void TransactionEngine::updateActions()
{
    if (!m_undo)
        return;
    m_undo->setEnabled(m_stack.canUndo());
    m_redo->setEnabled(m_stack.canRedo());
}

QList<QAction*> TransactionEngine::toolBarActions() const
{
    return {m_undo, m_redo};
}

QMap<QString, QList<QAction*>> TransactionEngine::menuActions() const
{
    return {{tr("Правка"), {m_undo, m_redo}}};
}

void TransactionEngine::retranslate()
{
    m_undo->setText(tr("&Отменить"));
    m_redo->setText(tr("&Вернуть"));
}

QStringList TransactionEngine::menuTitles() const
{
    return {tr("Правка")};
}
