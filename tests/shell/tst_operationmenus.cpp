// Menus and tool bar built from the operation groups, their renaming after a language change, and
// the answers of the program's own question box.
#include "appfixture.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"
#include "shell/operationmenus.h"
#include "shell/programstart.h"
#include "shell/qtprompts.h"
#include "shell/transactionengine.h"
#include "support/isolatedenvironment.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QtTest>

namespace {

// A group whose titles can change after its menus were built.
class FakeOperations : public AbstractOperations
{
public:
    QMap<QString, QList<QAction*>> menus;
    QList<QAction*> toolBar;
    QStringList titles;

    QList<QAction*> toolBarActions() const override { return toolBar; }
    QMap<QString, QList<QAction*>> menuActions() const override { return menus; }
    void retranslate() override {}
    QStringList menuTitles() const override { return titles; }
};

QStringList menuTitlesOf(QMainWindow& window)
{
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    return titles;
}

} // namespace

class OperationMenusTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        ProgramStart::setApplicationIdentity();
        QVERIFY(AppFixture::loadCatalogue() != 0);
    }

    void menusFollowTheGroupOrder()
    {
        SystemModel model;
        FileOperations files(&model);
        TransactionEngine edit;
        HelpOperations help;
        files.createActions();
        edit.createActions();
        help.createActions();
        QAction extra(QStringLiteral("extra"));
        FakeOperations shared;
        shared.menus.insert(QStringLiteral("Файл"), {&extra});
        shared.titles = QStringList{QStringLiteral("File")};

        QMainWindow window;
        OperationMenus menus;
        const QList<AbstractOperations*> groups{&files, &edit, &help, &shared};
        QToolBar* toolBar = menus.createToolBar(&window, groups);
        menus.createMenus(&window, groups);

        QCOMPARE(toolBar->objectName(), QStringLiteral("ToolBar"));
        QVERIFY(!toolBar->isMovable());
        QCOMPARE(toolBar->actions(), QList<QAction*>({files.action(FileOperations::New),
                                                      files.action(FileOperations::Open),
                                                      files.action(FileOperations::Save),
                                                      edit.undoAction(), edit.redoAction()}));
        QCOMPARE(menuTitlesOf(window), QStringList({"Файл", "Правка", "Помощь"}));
        QMenu* file = menus.menu(QStringLiteral("Файл"));
        QCOMPARE(file->actions().size(), 9 + 1 + 1 + 1);
        QCOMPARE(file->actions().at(10), &extra);
        QVERIFY(file->actions().at(2)->isSeparator());
        QVERIFY(file->actions().at(9)->isSeparator());
        QVERIFY(file->actions().constLast()->isSeparator());
        QVERIFY(menus.menu(QStringLiteral("Помощь"))->actions().constLast()->isSeparator());

        // The shared menu takes the last group's new title; a group that miscounts keeps its own.
        shared.titles = QStringList{QStringLiteral("File"), QStringLiteral("More")};
        QTest::ignoreMessage(QtCriticalMsg, "void TavConfigurator::retranslateMenuTitiles() "
                                            "menu length != new menu titles length");
        menus.retranslateMenuTitiles();
        QCOMPARE(menuTitlesOf(window), QStringList({"Файл", "Правка", "Помощь"}));
        shared.titles = QStringList{QStringLiteral("File")};
        menus.retranslateMenuTitiles();
        QCOMPARE(menuTitlesOf(window), QStringList({"File", "Правка", "Помощь"}));
    }

    // The program's own question box: the answer is the chosen button's place in the list,
    // whatever order the platform lays the buttons out in; Escape picks the escape button.
    void qtQuestionAnswersWithTheButtonsIndex()
    {
        QtPrompts prompts;
        const QStringList buttons = FileOperations::saveQuestionButtons();
        QString defaultText;
        const auto answer = [&](const QString& press) {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box);
                defaultText = box->defaultButton()->text();
                if (press.isEmpty()) {
                    QTest::keyClick(box, Qt::Key_Escape);
                    return;
                }
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == press)
                        button->click();
                }
            });
            return prompts.question("Tav Configurator", "?", buttons, 0, 2);
        };
        QCOMPARE(answer("Не сохранять"), 1);
        QCOMPARE(answer("Сохранить"), 0);
        QCOMPARE(answer(QString()), 2);
        QCOMPARE(defaultText, QStringLiteral("Сохранить"));
    }
};

QTEST_MAIN(OperationMenusTest)
#include "tst_operationmenus.moc"
