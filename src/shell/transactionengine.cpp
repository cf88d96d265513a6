#include "shell/transactionengine.h"

#include "shell/toolicon.h"

#include "widgets/layoutmetrics.h"

#include <QAction>

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
    onActivated(m_undo, &QAction::triggered, this, [this] { undoActivated(); });

    m_redo = new QAction(toolIcon(QStringLiteral("redo%1.png")), QString(), this);
    m_redo->setShortcuts(QKeySequence::Redo);
    onActivated(m_redo, &QAction::triggered, this, [this] { redoActivated(); });

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
    if (m_stack.canUndo())
        m_stack.undo();
    updateActions();
}

void TransactionEngine::redoActivated()
{
    if (m_stack.canRedo())
        m_stack.redo();
    updateActions();
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
