// The undo history of the Edit menu: its limit, redo after a new edit, and the actions' states.
#include "shell/transactionengine.h"

#include <QAction>
#include <QUndoCommand>
#include <QtTest>

namespace {

// Adds its step to a shared total on redo and takes it back on undo.
class StepCommand : public QUndoCommand
{
public:
    StepCommand(int& total, int step)
        : total(total)
        , step(step)
    {
    }
    void redo() override { total += step; }
    void undo() override { total -= step; }

private:
    int& total;
    int step;
};

} // namespace

class TransactionEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheLastFifteenEdits()
    {
        TransactionEngine engine;
        engine.createActions();
        QVERIFY(!engine.undoAction()->isEnabled());
        engine.undoActivated();
        QVERIFY(!engine.undoAction()->isEnabled());
        engine.push(nullptr);
        QCOMPARE(engine.stack().count(), 0);

        int total = 0;
        for (int i = 0; i < 16; ++i)
            engine.push(new StepCommand(total, 1 << i));
        QCOMPARE(total, 0xFFFF);
        QVERIFY(engine.undoAction()->isEnabled());
        QVERIFY(!engine.redoAction()->isEnabled());
        for (int i = 0; i < 16; ++i)
            engine.undoActivated();
        QCOMPARE(total, 1);
        QVERIFY(!engine.undoAction()->isEnabled());
        QVERIFY(engine.redoAction()->isEnabled());
    }

    void newEditDiscardsRedo()
    {
        TransactionEngine engine;
        engine.createActions();
        int total = 0;
        engine.push(new StepCommand(total, 1));
        engine.push(new StepCommand(total, 2));
        engine.undoActivated();
        QVERIFY(engine.redoAction()->isEnabled());
        engine.push(new StepCommand(total, 4));
        QVERIFY(!engine.redoAction()->isEnabled());
        engine.redoActivated();
        QCOMPARE(total, 5);

        engine.undoAction()->trigger();
        QCOMPARE(total, 1);
        engine.redoAction()->trigger();
        QCOMPARE(total, 5);

        // After a save or an open there is nothing to undo.
        engine.clear();
        QVERIFY(!engine.undoAction()->isEnabled());
        QVERIFY(!engine.redoAction()->isEnabled());
        QCOMPARE(engine.menuActions().value("Правка"), engine.toolBarActions());
        QCOMPARE(engine.undoAction()->text(), QStringLiteral("&Отменить"));
    }
};

QTEST_MAIN(TransactionEngineTest)
#include "tst_transactionengine.moc"
