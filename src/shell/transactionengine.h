#pragma once

#include "shell/abstractoperations.h"

#include <QObject>
#include <QUndoStack>

class QAction;
class QUndoCommand;

// The Edit menu: the application's undo history. Every edit of the system and resource pages
// arrives here as a command; the history keeps the last fifteen.
class TransactionEngine : public QObject, public AbstractOperations
{
    Q_OBJECT

public:
    static constexpr int kUndoLimit = 15;

    explicit TransactionEngine(QObject* parent = nullptr);
    ~TransactionEngine() override;

    void createActions();
    // After a save, an open, a read from the controller, a monitoring switch and a new system.
    void clear();

    QAction* undoAction() const { return m_undo; }
    QAction* redoAction() const { return m_redo; }
    const QUndoStack& stack() const { return m_stack; }

    QList<QAction*> toolBarActions() const override;
    QMap<QString, QList<QAction*>> menuActions() const override;
    void retranslate() override;
    QStringList menuTitles() const override;

public slots:
    // Runs the command's first redo at once; a null command is ignored.
    void push(QUndoCommand* command);
    // The actions call these once the entry being typed has ended, so it is an edit of its own;
    // any other caller moves the history as it stands and the pages give that entry up.
    void undoActivated();
    void redoActivated();

private:
    void updateActions();

    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QUndoStack m_stack;
};
