// Edits of the system page undone and redone in any order: every state comes back exactly (the
// file byte for byte), the tree shows every device of the file, numbers run without gaps, the
// limits hold and the serial ports stay once with controller 0. The executable whose name ends in
// "_mode0" runs everything under the device-count limit, the other under the board limit.
#include "shell/configurationstorage.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/contextmenu.h"
#include "systemconfigurator/deviceselector.h"
#include "systemconfigurator/systemconfigurationrenderer.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systemconfigurator/systemlimits.h"
#include "systemconfigurator/treerole.h"
#include "systempagefixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QListWidget>
#include <QMouseEvent>
#include <QSet>
#include <QSpinBox>
#include <QtTest>

#include <functional>
#include <random>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;

namespace {

constexpr int kHistory = 10;
constexpr int kCrowded = 12;

// The system page over its own system, its commands on an undo stack as the shell wires it, and
// the file after every command of the stack (entry i: the file at stack index i).
struct Session
{
    SystemModel system;
    QUndoStack stack;
    SystemConfigurator page{&system};
    QList<QByteArray> files{jsonOf(system)};

    Session()
    {
        QObject::connect(&page, &SystemConfigurator::changeSystem, &stack, &QUndoStack::push);
        page.view()->resize(300, 4000);
    }
    Model* tree() const { return page.treeModel(); }
    View* view() const { return page.view(); }
    Renderer* renderer() const { return static_cast<Renderer*>(page.view()->itemDelegate()); }
    QModelIndex row(const NodeId_t& id) const { return tree()->rowOfDevice().value(id); }

    // Runs one edit of the page and remembers the file it leaves when it became a command.
    void edit(const std::function<void()>& action)
    {
        const int index = stack.index();
        action();
        if (stack.index() == index + 1) {
            files = files.mid(0, index + 1);
            files.append(jsonOf(system));
        }
    }
    // What a save does to the undo history.
    void clearHistory()
    {
        stack.clear();
        files = {jsonOf(system)};
    }

    QModelIndex addRow() const
    {
        const int last = tree()->rowCount() - 1;
        const QModelIndex row = tree()->index(last, 0);
        return row.data(AddRowRole).toInt() == 1 ? row : QModelIndex();
    }
    // Every row of the tree, depth first.
    QModelIndexList allRows() const
    {
        QModelIndexList out;
        for (int i = 0; i < tree()->rowCount(); ++i) {
            const QModelIndex top = tree()->index(i, 0);
            out << top;
            for (int k = 0; k < tree()->rowCount(top); ++k)
                out << tree()->index(k, 0, top);
        }
        return out;
    }
    QModelIndexList deviceRows() const
    {
        QModelIndexList out;
        for (const QModelIndex& r : allRows()) {
            if (!r.data(IdRole).toUuid().isNull())
                out << r;
        }
        return out;
    }
    QModelIndexList groupRows() const { return tree()->groupRows().keys(); }

    // Opens the context menu on a row with the rows selected; `choose` acts in the open menu.
    void openMenu(const QModelIndexList& selected, const QModelIndex& on,
                  const std::function<QAction*(ContextMenu&)>& choose)
    {
        QItemSelectionModel* s = view()->selectionModel();
        s->clear();
        for (const QModelIndex& r : selected)
            s->select(r, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        page.setMenuRunner([&](ContextMenu& menu, const QPoint&) { return choose(menu); });
        view()->scrollTo(on);
        page.onContextMenuRequested(view()->visualRect(on).center());
    }
    // The row's type editor as the renderer makes it (deleted by the caller).
    QWidget* editorFor(const QModelIndex& row) const
    {
        return renderer()->createEditor(view()->viewport(), QStyleOptionViewItem(), row);
    }
    void mouse(QEvent::Type type, const QPoint& at, Qt::MouseButtons held)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, view()->viewport()->mapToGlobal(at), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(view()->viewport(), &event);
    }
    // The pointer onto the row, then a click on the close button it shows there.
    void clickClose(const QModelIndex& row)
    {
        const QRect r = view()->visualRect(row);
        mouse(QEvent::MouseMove, r.center(), Qt::NoButton);
        const QPoint button(row.data(CloseButtonRectRole).toRect().center().x(), r.center().y());
        mouse(QEvent::MouseMove, button, Qt::NoButton);
        mouse(QEvent::MouseButtonPress, button, Qt::LeftButton);
        mouse(QEvent::MouseButtonRelease, button, Qt::NoButton);
    }
    void drag(const QModelIndex& source, const QModelIndex& target)
    {
        emit view()->startMove(source);
        emit view()->moveDest(target);
        emit view()->finishMove(source, target);
    }
};

QList<QListWidgetItem*> choosable(const DeviceSelector* selector, int deviceClass = 0)
{
    QList<QListWidgetItem*> out;
    const QListWidget* list = selector ? selector->findChild<QListWidget*>() : nullptr;
    for (int i = 0; list && i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        const DeviceType_t t = item->data(Qt::UserRole).toUInt();
        if ((item->flags() & Qt::ItemIsEnabled)
            && (deviceClass == 0 || SettingsProvider::instance().templates.value(t).deviceClass
                                        == deviceClass))
            out << item;
    }
    return out;
}

int boardsInSystem(const SystemModel& system)
{
    int boards = 0;
    for (const Device::Ptr_t& d : system.devices()) {
        DeviceTemplate tpl;
        if (SettingsProvider::instance().deviceTemplate(d->type(), d->revision(), &tpl, true))
            boards += tpl.boardIds.size();
    }
    return boards;
}

} // namespace

class SystemUndoTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    bool mode0 = false;
    std::mt19937 random;
    QString where;
    QTemporaryDir files;

    int below(int n) { return n <= 1 ? 0 : int(random() % quint32(n)); }
    template <typename T>
    T any(const QList<T>& list)
    {
        return list.at(below(list.size()));
    }

    // What must hold of the system as it stands, after every step the user can take. Further
    // checks of the current system go here.
    void checkSystem(Session& s)
    {
        const SystemModel& system = s.system;
        const QList<DeviceHandle> bus = system.deviceHandles();
        QSet<NodeId_t> onBus;
        for (const DeviceHandle& h : bus)
            onBus.insert(h.id);
        const QList<NodeId_t> filed = system.devices().keys();
        QVERIFY2(onBus.size() == bus.size(), qPrintable(where + ": a device twice on the bus"));
        QVERIFY2(onBus == QSet<NodeId_t>(filed.cbegin(), filed.cend()),
                 qPrintable(where + QStringLiteral(": %1 devices filed, %2 on the bus")
                                        .arg(filed.size())
                                        .arg(onBus.size())));
        for (const NodeId_t& id : filed)
            QVERIFY2(s.row(id).isValid(), qPrintable(where + ": a device without a tree row"));

        // Controllers 0, 1, ... and each one's modules 1, 2, ... in bus order.
        int controllers = 0;
        int modules = 0;
        NodeId_t controller;
        for (const DeviceHandle& h : bus) {
            if (h.owner.isNull()) {
                QVERIFY2(h.number == controllers++, qPrintable(where + ": controller numbers"));
                controller = h.id;
                modules = 0;
            } else {
                QVERIFY2(h.owner == controller && h.number == ++modules,
                         qPrintable(where + ": module numbers or owner"));
            }
        }

        if (mode0)
            QVERIFY2(bus.size() <= SystemLimits::AddressCount, qPrintable(where + ": addresses"));
        else
            QVERIFY2(boardsInSystem(system) <= SystemLimits::BoardBudget,
                     qPrintable(where + ": boards"));

        const QList<IoResource::Ptr_t> ports = system.serialPorts();
        if (bus.isEmpty()) {
            QVERIFY2(ports.isEmpty(), qPrintable(where + ": ports without devices"));
            return;
        }
        QVERIFY2(ports.size() == 2, qPrintable(where + ": not two ports"));
        for (const IoResource::Ptr_t& port : ports) {
            QVERIFY2(port->owner() == bus.first().id, qPrintable(where + ": port owner"));
            for (const Device::Ptr_t& d : system.devices()) {
                QVERIFY2(d->resourceIds().count(port->id()) == (d->id() == port->owner() ? 1 : 0),
                         qPrintable(where + ": port listed by the wrong device"));
            }
        }
    }

    // The program refuses to write a system its reader would refuse; every system an edit leaves
    // must therefore pass the rules, be written, and read back as it was.
    void checkSavedOpensAgain(Session& s)
    {
        QVERIFY2(s.system.brokenRule().isEmpty(),
                 qPrintable(where + ": " + s.system.brokenRule()));
        // The File menu offers no save of an empty system.
        if (s.system.devices().isEmpty())
            return;
        ConfigurationStorage saved(&s.system);
        saved.setFileName(files.filePath(QStringLiteral("step.tavc")));
        QVERIFY2(saved.save(), qPrintable(where + ": not saved: " + saved.lastErrorText()));
        SystemModel reopened;
        ConfigurationStorage opened(&reopened);
        QVERIFY2(opened.load(saved.fileName()),
                 qPrintable(where + QStringLiteral(": does not open again: %1 %2 ").arg(opened.lastErrorCode()).arg(opened.lastErrorSubCode()) + opened.lastErrorText()));
        QVERIFY2(jsonOf(reopened) == jsonOf(s.system), qPrintable(where + ": reads back otherwise"));
    }

    // Called after every step of every sequence: the current system, then the whole undo
    // history down to its start and up again, each end compared with the file it had.
    void checkStep(Session& s)
    {
        checkSystem(s);
        if (QTest::currentTestFailed())
            return;
        checkSavedOpensAgain(s);
        if (QTest::currentTestFailed())
            return;
        const int top = s.stack.index();
        QCOMPARE(s.files.size(), s.stack.count() + 1);
        QVERIFY2(jsonOf(s.system) == s.files.at(top), qPrintable(where + ": file at the top"));
        {
            // The page need not redraw every state of the way: it is rebuilt at the end.
            const QSignalBlocker quiet(&s.system);
            walkHistory(s, top);
        }
        s.page.reloadSystem();
        checkSystem(s);
    }

    void walkHistory(Session& s, int top)
    {
        while (s.stack.canUndo())
            s.stack.undo();
        QVERIFY2(jsonOf(s.system) == s.files.first(), qPrintable(where + ": file after undo all"));
        while (s.stack.canRedo())
            s.stack.redo();
        QVERIFY2(jsonOf(s.system) == s.files.last(), qPrintable(where + ": file after redo all"));
        for (int i = s.stack.count(); i > top; --i)
            s.stack.undo();
    }

    // Adds devices through the add row's type picker: `deviceClass` 2 adds controllers, 3 modules
    // of the last controller.
    bool addThroughAddRow(Session& s, int deviceClass, int count, int revisionPosition)
    {
        const QModelIndex add = s.addRow();
        if (!add.isValid())
            return false;
        QScopedPointer<QWidget> editor(s.editorFor(add));
        auto* selector = qobject_cast<DeviceSelector*>(editor.data());
        if (!selector)
            return false;
        selector->onRevisionChanged(revisionPosition);
        const QList<QListWidgetItem*> items = choosable(selector, deviceClass);
        if (items.isEmpty())
            return false;
        selector->findChild<QSpinBox*>(QStringLiteral("spinBox"))->setValue(count);
        selector->onItemSelected(any(items));
        s.edit([&] { s.renderer()->setModelData(selector, s.tree(), add); });
        return true;
    }

    void randomStep(Session& s)
    {
        const QModelIndexList devices = s.deviceRows();
        const QModelIndexList groups = s.groupRows();
        // A system past a few controllers' worth takes more removals than additions, so that a
        // step's check stays quick.
        const int choice = devices.size() > kCrowded && below(3) == 0 ? 3 : below(14);
        switch (choice) {
        case 0:
        case 1:
            addThroughAddRow(s, 2, 1 + below(2), below(2));
            break;
        case 2:
            if (!devices.isEmpty())
                addThroughAddRow(s, 3, 1 + below(2), below(2));
            break;
        case 3: {
            // The row's close button.
            const QModelIndexList rows = devices + groups;
            if (!rows.isEmpty()) {
                const QModelIndex row = any(rows);
                s.edit([&] { emit s.view()->deleteIt(row); });
            }
            break;
        }
        case 4:
        case 5: {
            if (devices.isEmpty())
                break;
            const QModelIndex source = any(devices);
            QModelIndexList targets;
            for (const QModelIndex& t : s.allRows()) {
                if (View::isDraggable(t) && View::canMoveTo(source, t))
                    targets << t;
            }
            if (!targets.isEmpty()) {
                const QModelIndex target = any(targets);
                s.edit([&] { s.drag(source, target); });
            }
            break;
        }
        case 6: {
            // The type editor of a device row.
            if (devices.isEmpty())
                break;
            const QModelIndex row = any(devices);
            QScopedPointer<QWidget> editor(s.editorFor(row));
            auto* selector = qobject_cast<DeviceSelector*>(editor.data());
            selector->onRevisionChanged(below(2));
            const QList<QListWidgetItem*> items = choosable(selector);
            if (items.isEmpty())
                break;
            selector->onItemSelected(any(items));
            s.edit([&] { s.renderer()->setModelData(selector, s.tree(), row); });
            break;
        }
        case 7: {
            if (groups.isEmpty())
                break;
            const QModelIndex group = any(groups);
            QScopedPointer<QWidget> editor(s.editorFor(group));
            auto* line = qobject_cast<QLineEdit*>(editor.data());
            line->setText(QStringLiteral("Щит %1").arg(below(5)));
            s.edit([&] { s.renderer()->setModelData(line, s.tree(), group); });
            break;
        }
        case 8: {
            const QList<IoResource::Ptr_t> ports = s.system.serialPorts();
            if (ports.isEmpty())
                break;
            const IoResource::Ptr_t port = any(ports);
            AbstractConfig config;
            port->exportConfig(config);
            config.port.delay = quint32(below(100));
            s.edit([&] { s.page.onSystemResourceChanging({{port, config}}); });
            break;
        }
        case 9:
        case 10:
            menuStep(s, devices, groups);
            break;
        case 11:
            if (s.stack.canUndo())
                s.stack.undo();
            break;
        case 12:
            if (s.stack.canRedo())
                s.stack.redo();
            break;
        case 13:
            if (below(4) == 0)
                s.clearHistory();
            else if (s.stack.canUndo())
                s.stack.undo();
            break;
        }
    }

    // A choice of the context menu, opened on one to three selected rows.
    void menuStep(Session& s, const QModelIndexList& devices, const QModelIndexList& groups)
    {
        const QModelIndexList pool = below(4) == 0 ? groups : devices;
        if (pool.isEmpty())
            return;
        QModelIndexList selected;
        for (int i = 1 + below(3); i > 0; --i)
            selected << any(pool);
        const QModelIndex on = selected.last();
        const int pick = below(7);
        s.edit([&] {
            s.openMenu(selected, on, [&](ContextMenu& menu) -> QAction* {
                const QList<ContextMenu::Code> actions{
                    ContextMenu::CreateGroup, ContextMenu::DeleteDevices,
                    ContextMenu::CloneDevices, ContextMenu::DeleteGroups,
                    ContextMenu::DeleteGroupsAndDevices};
                DeviceSelector* page = pick == 5   ? menu.changeTypePage()
                                       : pick == 6 ? menu.addModulePage()
                                                   : nullptr;
                if (page) {
                    page->onRevisionChanged(below(2));
                    const QList<QListWidgetItem*> items = choosable(page);
                    if (!items.isEmpty())
                        page->onItemSelected(any(items));
                    return nullptr;
                }
                QAction* a = menu.action(actions.value(pick, ContextMenu::DeleteDevices));
                return a && a->isEnabled() ? a : nullptr;
            });
        });
    }

private slots:
    void initTestCase()
    {
        // The limit mode is fixed by the application name when the catalogue first loads.
        mode0 = QCoreApplication::applicationName().endsWith(QLatin1String("_mode0"));
        QCoreApplication::setApplicationName(mode0 ? QStringLiteral("Tav Configurator Test")
                                                   : QStringLiteral("Tav Configurator"));
        QCOMPARE(SettingsProvider::instance().mode, mode0 ? 0 : 1);
        // Every drag writes a debug line: hundreds of them would bury the test's own report.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        QVERIFY(SettingsProvider::instance().templates.contains(kTav1020));
    }

    void aModuleAddedAfterABusChangeSurvivesUndoAndRedo_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("third controller closed") << true;
        QTest::newRow("third controller dragged") << false;
    }

    // Three controllers; the third closed or dragged in front of the second; a module added to
    // the second from the context menu; undo, undo, redo, redo.
    void aModuleAddedAfterABusChangeSurvivesUndoAndRedo()
    {
        QFETCH(bool, close);
        where = QTest::currentDataTag();
        Session s;
        for (int i = 0; i < 3; ++i) {
            QScopedPointer<QWidget> editor(s.editorFor(s.addRow()));
            auto* selector = qobject_cast<DeviceSelector*>(editor.data());
            QListWidgetItem* tav = nullptr;
            for (QListWidgetItem* item : choosable(selector, 2)) {
                if (item->data(Qt::UserRole).toUInt() == kTav1020)
                    tav = item;
            }
            QVERIFY(tav);
            selector->onItemSelected(tav);
            s.edit([&] { s.renderer()->setModelData(selector, s.tree(), s.addRow()); });
        }
        const QList<DeviceHandle> bus = s.system.deviceHandles();
        QCOMPARE(bus.size(), 3);
        if (close)
            s.edit([&] { s.clickClose(s.row(bus.at(2).id)); });
        else
            s.edit([&] { s.drag(s.row(bus.at(2).id), s.row(bus.at(0).id)); });
        const NodeId_t second = bus.at(1).id;
        s.edit([&] {
            s.openMenu({s.row(second)}, s.row(second), [&](ContextMenu& menu) -> QAction* {
                const QList<QListWidgetItem*> items = choosable(menu.addModulePage());
                if (!items.isEmpty())
                    menu.addModulePage()->onItemSelected(items.first());
                return nullptr;
            });
        });
        QCOMPARE(s.stack.count(), 5);
        const QByteArray withModule = jsonOf(s.system);
        const int rows = s.deviceRows().size();
        QCOMPARE(rows, close ? 3 : 4);

        s.stack.undo();
        s.stack.undo();
        s.stack.redo();
        s.stack.redo();
        QCOMPARE(s.deviceRows().size(), rows);
        QVERIFY(!s.stack.canRedo());
        QCOMPARE(jsonOf(s.system), withModule);
        checkStep(s);
    }

    void randomEditsUndoAndRedoExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("steps");
        for (const quint32 seed : {1u, 2u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << 150;
    }

    void randomEditsUndoAndRedoExactly()
    {
        QFETCH(quint32, seed);
        QFETCH(int, steps);
        random.seed(seed);
        Session s;
        for (int step = 0; step < steps; ++step) {
            where = QStringLiteral("seed %1 step %2").arg(seed).arg(step);
            randomStep(s);
            // A save now and then keeps the history, and the time each step's check takes, short.
            if (s.stack.count() > kHistory)
                s.clearHistory();
            checkStep(s);
            if (QTest::currentTestFailed())
                return;
        }
    }
};

QTEST_MAIN(SystemUndoTest)
#include "tst_systemundo.moc"
