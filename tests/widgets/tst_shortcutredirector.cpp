// The Undo and Redo keys reach the window's actions, not a line edit's own text undo.
#include "widgets/utils/shortcutredirector.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalSpy>
#include <QtTest>

class TestShortCutRedirector : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void undoKeyWithoutFilterUndoesTheText();
    void undoKeyReachesTheWindowsUndoAction();
    void redoKeyReachesTheWindowsRedoAction();
    void otherKeysStayWithTheLineEdit();

private:
    void showAndType();

    QMainWindow* window = nullptr;
    QLineEdit* edit = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
    Utils::ShortCutRedirector redirector;
};

void TestShortCutRedirector::init()
{
    window = new QMainWindow;
    edit = new QLineEdit;
    window->setCentralWidget(edit);
    undo = new QAction("undo", window);
    undo->setShortcuts(QKeySequence::Undo);
    redo = new QAction("redo", window);
    redo->setShortcuts(QKeySequence::Redo);
    window->addAction(undo);
    window->addAction(redo);
}

void TestShortCutRedirector::cleanup()
{
    delete window;
    window = nullptr;
}

void TestShortCutRedirector::showAndType()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    edit->setFocus();
    QTest::keyClicks(edit, "abc");
    QCOMPARE(edit->text(), QString("abc"));
}

void TestShortCutRedirector::undoKeyWithoutFilterUndoesTheText()
{
    showAndType();
    QSignalSpy undone(undo, &QAction::triggered);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(undone.count(), 0);
    QCOMPARE(edit->text(), QString());
}

void TestShortCutRedirector::undoKeyReachesTheWindowsUndoAction()
{
    edit->installEventFilter(&redirector);
    showAndType();
    QSignalSpy undone(undo, &QAction::triggered);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(undone.count(), 1);
    QCOMPARE(edit->text(), QString("abc"));
}

void TestShortCutRedirector::redoKeyReachesTheWindowsRedoAction()
{
    edit->installEventFilter(&redirector);
    showAndType();
    edit->undo();
    QCOMPARE(edit->text(), QString());
    QSignalSpy redone(redo, &QAction::triggered);
    QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(redone.count(), 1);
    QCOMPARE(edit->text(), QString());
}

void TestShortCutRedirector::otherKeysStayWithTheLineEdit()
{
    edit->installEventFilter(&redirector);
    showAndType();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(edit->selectedText(), QString("abc"));
    QTest::keyClick(edit, Qt::Key_X);
    QCOMPARE(edit->text(), QString("x"));
}

QTEST_MAIN(TestShortCutRedirector)
#include "tst_shortcutredirector.moc"
