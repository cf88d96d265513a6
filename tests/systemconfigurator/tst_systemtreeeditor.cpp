// The row editors of the system tree: the types the device selector offers on the add row and on
// device rows within the power and I/O-board budgets, what a choice does to the model, and group
// renaming.
#include "support/isolatedenvironment.h"
#include "systemconfigurator/deviceselector.h"
#include "treeviewfixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QSpinBox>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

QList<DeviceType_t> enabledEntries(QWidget* editor)
{
    QList<DeviceType_t> out;
    auto* list = editor->findChild<QListWidget*>(QStringLiteral("listWidget"));
    for (int i = 0; list && i < list->count(); ++i) {
        if (list->item(i)->flags() & Qt::ItemIsEnabled)
            out << DeviceType_t(list->item(i)->data(Qt::UserRole).toUInt());
    }
    return out;
}

// Catalogue types of a class, in the selector's order, that pass a test.
template <typename Test>
QList<DeviceType_t> typesOf(int deviceClass, Test test)
{
    QList<DeviceType_t> out;
    for (const DeviceType_t t : SettingsProvider::instance().types(deviceClass)) {
        DeviceTemplate tpl;
        if (SettingsProvider::instance().deviceTemplate(t, -1, &tpl, false) && test(tpl))
            out << t;
    }
    return out;
}

} // namespace

class SystemTreeEditorTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    TreeViewFixture* f = nullptr;

    QWidget* editorFor(const QModelIndex& row)
    {
        return f->renderer.createEditor(f->view.viewport(), QStyleOptionViewItem(), row);
    }

private slots:
    void initTestCase() { QVERIFY(pickBusTypes(tav, pex)); }

    void init() { f = new TreeViewFixture; }
    void cleanup()
    {
        delete f;
        QVERIFY(!QApplication::activePopupWidget());
    }

    void anEmptySystemOffersEveryControllerThatFits()
    {
        f->load({});
        const QModelIndex add = f->model.index(0, 0);
        QScopedPointer<QWidget> editor(editorFor(add));
        QVERIFY(qobject_cast<DeviceSelector*>(editor.data()));
        QVERIFY(editor->windowFlags() & Qt::Popup);
        const auto fits = [](const DeviceTemplate& t) { return t.boardIds.size() <= 22; };
        QCOMPARE(enabledEntries(editor.data()), typesOf(2, fits));
    }

    void theAddRowOffersControllersThenModulesBelowTheReserve()
    {
        f->load(controllerWithModules(tav, pex, 0, 1));
        const QModelIndex add = f->model.index(2, 0);
        QCOMPARE(add.data(AddRowRole).toInt(), 1);
        const int reserve = add.data(PowerReserveRole).toInt();
        const int freeBoards = 22 - f->model.boardsInUse();
        // A module type that needs exactly the reserve is left out.
        SettingsProvider& catalogue = SettingsProvider::instance();
        const QMap<DeviceType_t, DeviceTemplate> original = catalogue.templates;
        const DeviceType_t tooBig = catalogue.types(3).last();
        catalogue.templates[tooBig].preq = reserve;
        QScopedPointer<QWidget> editor(editorFor(add));
        const QList<DeviceType_t> expected =
            typesOf(2, [&](const DeviceTemplate& t) { return t.boardIds.size() <= freeBoards; })
            + typesOf(3, [&](const DeviceTemplate& t) {
                  return t.preq < reserve && t.boardIds.size() <= freeBoards;
              });
        catalogue.templates = original;
        QVERIFY(!expected.contains(tooBig));
        QCOMPARE(enabledEntries(editor.data()), expected);
    }

    void aModuleRowOffersModulesBelowItsControllersBudget()
    {
        f->load(controllerWithModules(tav, pex, 0, 1));
        const QModelIndex module = f->model.index(1, 0);
        const int budget = f->model.index(0, 0).data(PowerReserveRole).toInt()
            + module.data(PowerRequiredRole).toInt();
        // One module type needing exactly the budget, one just below it.
        const QList<DeviceType_t> others = typesOf(3, [&](const DeviceTemplate& t) {
            return t.type != pex && t.boardIds.size() <= 1;
        });
        QVERIFY(others.size() >= 2);
        SettingsProvider& catalogue = SettingsProvider::instance();
        const QMap<DeviceType_t, DeviceTemplate> original = catalogue.templates;
        catalogue.templates[others.at(0)].preq = budget;
        catalogue.templates[others.at(1)].preq = budget - 1;
        QScopedPointer<QWidget> editor(editorFor(module));
        const QList<DeviceType_t> offered = enabledEntries(editor.data());
        catalogue.templates = original;
        QVERIFY(!offered.contains(others.at(0)));
        QVERIFY(offered.contains(others.at(1)));
        QVERIFY(offered.contains(pex));
        for (const DeviceType_t t : offered)
            QCOMPARE(catalogue.deviceClass(t), 3);
    }

    void withEveryBoardInUseARowKeepsTypesOfItsOwnSize()
    {
        QList<DeviceHandle> system;
        for (int i = 0; i < 11; ++i)
            system << handleOf(tav, i);
        f->load(system);
        QCOMPARE(f->model.boardsInUse(), 22);
        QVERIFY(!f->model.canAdd());
        QScopedPointer<QWidget> editor(editorFor(f->model.index(3, 0)));
        const QList<DeviceType_t> offered = enabledEntries(editor.data());
        QVERIFY(offered.contains(tav));
        for (const DeviceType_t t : offered)
            QVERIFY(boardsOf(t) <= 2);
    }

    void aChoiceOnTheAddRowAddsTheCountedDevices()
    {
        f->load(controllerWithModules(tav, pex, 0, 0));
        const QModelIndex add = f->model.index(1, 0);
        QScopedPointer<QWidget> editor(editorFor(add));
        auto* selector = qobject_cast<DeviceSelector*>(editor.data());
        QSignalSpy added(&f->model, &Model::addDev);
        f->renderer.setModelData(selector, &f->model, add);
        QCOMPARE(added.count(), 0);

        selector->findChild<QSpinBox*>(QStringLiteral("spinBox"))->setValue(2);
        auto* list = selector->findChild<QListWidget*>(QStringLiteral("listWidget"));
        selector->onItemSelected(list->item(0));
        f->renderer.setModelData(selector, &f->model, add);
        QCOMPARE(added.count(), 1);
        const QList<DeviceHandle> handles = added.at(0).at(0).value<QList<DeviceHandle>>();
        QCOMPARE(handles.size(), 2);
        QCOMPARE(handles.at(0).type, selector->chosenType());
    }

    void aGroupTakesOnlyANameNoOtherGroupHas()
    {
        f->load(inGroup(controllerWithModules(tav, pex, 0, 1), "Насосы")
                + inGroup(controllerWithModules(tav, pex, 1, 1), "Вентиляция"));
        const QModelIndex group = f->model.index(0, 0);
        QScopedPointer<QWidget> editor(editorFor(group));
        auto* line = qobject_cast<QLineEdit*>(editor.data());
        QVERIFY(line);
        f->renderer.setEditorData(line, group);
        QCOMPARE(line->text(), QString("Насосы"));

        QSignalSpy renamed(&f->model, QOverload<const QList<DeviceHandle>&>::of(&Model::renameGroup));
        for (const QString& refused : {QString("Вентиляция"), QString("Насосы"), QString()}) {
            line->setText(refused);
            f->renderer.setModelData(line, &f->model, group);
        }
        QCOMPARE(renamed.count(), 0);
        QCOMPARE(group.data().toString(), QString("Насосы"));

        line->setText("вентиляция");
        f->renderer.setModelData(line, &f->model, group);
        QCOMPARE(renamed.count(), 1);
        for (const DeviceHandle& h : renamed.at(0).at(0).value<QList<DeviceHandle>>())
            QCOMPARE(h.group, QString("вентиляция"));
    }
};

QTEST_MAIN(SystemTreeEditorTest)
#include "tst_systemtreeeditor.moc"
