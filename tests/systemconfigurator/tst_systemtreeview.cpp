// The system tree view under the mouse: which row buttons the hovered row shows and where, what
// presses and releases on them do, and the group toggles.
#include "support/isolatedenvironment.h"
#include "support/pixelprobe.h"
#include "systemconfigurator/deviceselector.h"
#include "treeviewfixture.h"

#include <QSignalSpy>
#include <QStandardItemModel>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

using Span = QPair<int, int>;

} // namespace

class SystemTreeViewTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    TreeViewFixture* f = nullptr;
    // Rows: 0 controller, 1 its module, 2 group A (controller, module, controller, spacer),
    // 3 group B (two controllers, spacer), 4 add row.
    QModelIndex row(int r) const { return f->model.index(r, 0); }
    QModelIndex child(int group, int r) const { return f->model.index(r, 0, row(group)); }

private slots:
    void initTestCase() { QVERIFY(pickBusTypes(tav, pex)); }

    // A hovered row's buttons sit over the end of its name: the name is cut short before them,
    // so the buttons look the same whatever the name.
    void rowButtonsHideNoPartOfTheName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("short") << "1.1.PEX";
        QTest::newRow("long") << "1.1.PEX-2020-10-0 with a long tail";
    }

    void rowButtonsHideNoPartOfTheName()
    {
        QFETCH(QString, name);
        QStandardItemModel model(1, 1);
        const QRect buttonCell(150, 0, 20, 30);
        const auto paint = [&](const QString& text) {
            auto* item = new QStandardItem(text);
            item->setData(3, KindRole);
            item->setData(1, CloseButtonRole);
            item->setData(buttonCell, CloseButtonRectRole);
            model.setItem(0, 0, item);
            const QStyleOptionViewItem option = PixelProbe::cellOption(
                {180, 30}, QStyle::State_Enabled | QStyle::State_MouseOver);
            return PixelProbe::paintedCell(Renderer(), model.index(0, 0), option).copy(buttonCell);
        };
        QCOMPARE(paint(name), paint(QString()));
    }

    void init()
    {
        f = new TreeViewFixture;
        const QList<DeviceHandle> a = inGroup(controllerWithModules(tav, pex, 1, 1), "A")
            + QList<DeviceHandle>{grouped(handleOf(tav, 2), "A")};
        const QList<DeviceHandle> b{grouped(handleOf(tav, 3), "B"), grouped(handleOf(tav, 4), "B")};
        f->load(controllerWithModules(tav, pex, 0, 1) + a + b);
        f->view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f->view));
        QCOMPARE(f->view.viewport()->width(), 200);
        QCOMPARE(f->model.rowCount(), 5);
        QCOMPARE(f->model.rowCount(row(2)), 4);
    }

    void cleanup()
    {
        delete f;
        f = nullptr;
    }

    void rightButtonsTakeSlotsFromTheRightEdge()
    {
        const QModelIndex module = row(1);
        f->hover(f->at(module, 100));
        QCOMPARE(f->span(module, CloseButtonRectRole), Span(179, 196));
        QCOMPARE(f->span(module, EditButtonRectRole), Span(161, 178));
        QCOMPARE(f->span(module, MoveButtonRectRole), Span(143, 160));
        QCOMPARE(f->state(module, CloseButtonRole), 1);
        QCOMPARE(f->state(module, GroupRowRole), 0);

        // Edges belong to the button.
        f->hover(f->at(module, 179));
        QCOMPARE(f->state(module, CloseButtonRole), 2);
        QCOMPARE(f->state(module, EditButtonRole), 1);
        f->hover(f->at(module, 160));
        QCOMPARE(f->state(module, MoveButtonRole), 2);
        QCOMPARE(f->state(module, CloseButtonRole), 1);
    }

    void firstRowAddRowAndPlcRowsHideTheirButtons()
    {
        f->hover(f->at(row(0), 100));
        QCOMPARE(f->state(row(0), CloseButtonRole), 0);
        QCOMPARE(f->state(row(0), MoveButtonRole), 0);
        QCOMPARE(f->state(row(0), EditButtonRole), 1);
        QCOMPARE(f->span(row(0), EditButtonRectRole), Span(179, 196));

        const QModelIndex add = row(4);
        f->hover(f->at(add, 100));
        QCOMPARE(f->state(add, CloseButtonRole), 0);
        QCOMPARE(f->state(add, MoveButtonRole), 0);
        QCOMPARE(f->state(add, EditButtonRole), 1);

        // A PLC row offers no edit: the move handle takes the edit button's slot.
        const QModelIndex plc = child(2, 0);
        f->model.setData(plc, 1, KindRole);
        f->hover(f->at(plc, 100));
        QCOMPARE(f->state(plc, EditButtonRole), 0);
        QCOMPARE(f->span(plc, CloseButtonRectRole), Span(179, 196));
        QCOMPARE(f->span(plc, MoveButtonRectRole), Span(161, 178));

        // Moving on leaves the previous row's roles as they were last written.
        f->hover(f->at(row(1), 100));
        QCOMPARE(f->state(plc, CloseButtonRole), 1);
    }

    void groupRowsShowToggleAndCloseButNoEditOrMove()
    {
        const QModelIndex group = row(2);
        f->hover(f->at(group, 100));
        QCOMPARE(f->state(group, GroupRowRole), 1);
        QCOMPARE(f->span(group, GroupToggleRectRole), Span(2, 19));
        QCOMPARE(f->state(group, EditButtonRole), 0);
        QCOMPARE(f->state(group, MoveButtonRole), 0);
        QCOMPARE(f->span(group, CloseButtonRectRole), Span(179, 196));

        QSignalSpy deleted(&f->view, &View::deleteIt);
        QSignalSpy renamed(&f->model, QOverload<const QList<DeviceHandle>&>::of(&Model::renameGroup));
        f->click(f->at(group, 185));
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(deleted.at(0).at(0).toModelIndex(), group);
        QCOMPARE(renamed.count(), 1);
        QCOMPARE(renamed.at(0).at(0).value<QList<DeviceHandle>>().size(), 3);
    }

    void severalSelectedRowsShowOnlyTheGroupToggle()
    {
        f->view.selectionModel()->select(QItemSelection(row(0), row(1)),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
        f->hover(f->at(row(1), 100));
        QCOMPARE(f->state(row(1), EditButtonRole), 0);
        QCOMPARE(f->state(row(1), CloseButtonRole), 0);
        QCOMPARE(f->state(row(1), MoveButtonRole), 0);
        f->hover(f->at(row(2), 100));
        QCOMPARE(f->state(row(2), GroupRowRole), 1);
    }

    void groupToggleNeedsPressAndReleaseOnTheSameGroup()
    {
        const QModelIndex a = row(2);
        const QModelIndex b = row(3);
        QVERIFY(f->view.isExpanded(a) && f->view.isExpanded(b));

        f->hover(f->at(a, 10));
        f->press(f->at(a, 10));
        f->hover(f->at(b, 10));
        f->release(f->at(b, 10));
        QVERIFY(f->view.isExpanded(a) && f->view.isExpanded(b));

        f->click(f->at(a, 10));
        QVERIFY(!f->view.isExpanded(a));
        f->click(f->at(a, 10));
        QVERIFY(f->view.isExpanded(a));

        // A press on a button leaves the selection alone.
        QVERIFY(f->view.selectionModel()->selectedRows().isEmpty());
        // The toggle's column keeps its last rectangle: double clicks there do nothing anywhere.
        QSignalSpy doubleClicked(&f->view, &QAbstractItemView::doubleClicked);
        f->send(QEvent::MouseButtonDblClick, f->at(row(1), 10), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(doubleClicked.count(), 0);
    }

    void closeRemovesTheRowsDeviceButTheSpacerShowsNoButtons()
    {
        QSignalSpy removed(&f->model, &Model::removeDev);
        const QModelIndex spacer = child(2, 3);
        QCOMPARE(spacer.data(GroupEndRole).toInt(), 1);
        f->hover(f->at(spacer, 100));
        for (const int role : {EditButtonRole, CloseButtonRole, MoveButtonRole})
            QCOMPARE(f->state(spacer, role), 0);
        f->click(f->at(spacer, 185));
        QCOMPARE(removed.count(), 0);
        // Nor can it be dragged, though it names a place to drop on.
        QSignalSpy started(&f->view, &View::startMove);
        QVERIFY(!f->view.tryStartDrag(f->at(spacer, 150)));
        QCOMPARE(started.count(), 0);

        f->click(f->at(child(2, 0), 185));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(0).value<QList<DeviceHandle>>().size(), 2);
    }

    void pressOnTheMoveHandleArmsADragAndReleaseDisarmsIt()
    {
        f->view.setDragEnabled(false);
        const QPoint handle = f->at(row(1), 150);
        f->hover(handle);
        f->press(handle);
        QVERIFY(f->view.dragEnabled());
        f->release(handle);
        QVERIFY(!f->view.dragEnabled());
    }

    void editButtonAndAddRowOpenTheSelectorPopup()
    {
        // The user leaves the pop-up with a click elsewhere.
        const auto dismiss = [](QWidget* popup) {
            QMouseEvent press(QEvent::MouseButtonPress, QPoint(-5, -5), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(popup, &press);
        };
        const QPoint edit = f->at(row(4), 185);
        f->hover(edit);
        f->press(edit);
        QPointer<DeviceSelector> selector =
            qobject_cast<DeviceSelector*>(QApplication::activePopupWidget());
        QVERIFY(selector);
        QSignalSpy closed(&f->renderer, &Renderer::editorClose);
        dismiss(selector);
        QTRY_VERIFY(selector.isNull());
        QCOMPARE(closed.count(), 1);
        QVERIFY(!QApplication::activePopupWidget());

        // A double click on the add row away from its edit button opens it too.
        const QPoint text = f->at(row(4), 60);
        f->hover(text);
        f->send(QEvent::MouseButtonDblClick, text, Qt::LeftButton, Qt::LeftButton);
        selector = qobject_cast<DeviceSelector*>(QApplication::activePopupWidget());
        QVERIFY(selector);
        dismiss(selector);
        QTRY_VERIFY(selector.isNull());
        QCOMPARE(closed.count(), 2);
    }

    void pressesBelowTheLastRowDoNothing()
    {
        QSignalSpy entered(&f->view, &QAbstractItemView::entered);
        const QPoint below(100, f->view.viewport()->height() - 2);
        QVERIFY(!f->view.indexAt(below).isValid());
        f->hover(below);
        f->press(below);
        f->release(below);
        QCOMPARE(entered.count(), 0);
        QVERIFY(f->view.selectionModel()->selectedRows().isEmpty());
    }
};

QTEST_MAIN(SystemTreeViewTest)
#include "tst_systemtreeview.moc"
