// The system page: every edit leaves as one undo command whose undo gives the system file back;
// the context menu removes controllers with their modules and keeps the selection by row number;
// the information panel shows port counts and power budgets.
#include "model/resourcekind.h"
#include "panelprobe.h"
#include "resourceconfigurator/changeresource.h"
#include "resourceconfigurator/editorserialport.h"
#include "shell/transactionengine.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/adddevice.h"
#include "systemconfigurator/changegroup.h"
#include "systemconfigurator/changetype.h"
#include "systemconfigurator/contextmenu.h"
#include "systemconfigurator/deviceselector.h"
#include "systemconfigurator/systemconfigurationrenderer.h"
#include "systemconfigurator/duplicatedevice.h"
#include "systemconfigurator/informationstyled.h"
#include "systemconfigurator/movebus.h"
#include "systemconfigurator/removedevice.h"
#include "systemconfigurator/systemconfigurationview.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systemconfigurator/treerole.h"
#include "systempagefixture.h"
#include "widgets/header.h"
#include "widgets/tabbarnowheel.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QWheelEvent>
#include <QtTest>

using namespace ModelFixture;
using namespace SystemFixture;
using namespace SystemConfiguration;
using namespace PanelProbe;

namespace {

// A page over its own system whose commands go onto an undo stack, as the shell wires it.
struct PageOfSystem
{
    SystemModel system;
    QUndoStack stack;
    SystemConfigurator page{&system};

    PageOfSystem()
    {
        QObject::connect(&page, &SystemConfigurator::changeSystem, &stack, &QUndoStack::push);
    }
    QModelIndex row(const NodeId_t& id) const { return page.treeModel()->rowOfDevice().value(id); }
    void select(const QList<NodeId_t>& ids)
    {
        QItemSelectionModel* s = page.view()->selectionModel();
        s->clear();
        for (const NodeId_t& id : ids)
            s->select(row(id), QItemSelectionModel::Select);
    }
    // Opens the context menu on a row; `choose` picks from the open menu.
    int openMenu(const NodeId_t& on, const std::function<QAction*(ContextMenu&)>& choose)
    {
        int code = -1;
        page.setMenuRunner([&](ContextMenu& menu, const QPoint&) {
            QAction* a = choose(menu);
            code = menu.chosenAction(a);
            return a;
        });
        page.view()->resize(300, 600);
        page.onContextMenuRequested(page.view()->visualRect(row(on)).center());
        return code;
    }
    int commands() const { return stack.count(); }
    template <typename C>
    bool lastIs() const
    {
        return stack.count() && dynamic_cast<const C*>(stack.command(stack.count() - 1));
    }
};

} // namespace

class SystemPageTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    DeviceType_t tav = 0;
    DeviceType_t pex = 0;
    DeviceType_t otherPex = 0;

    QList<DeviceHandle> addController(SystemModel& system, int modules)
    {
        return appendController(system, tav, pex, modules);
    }

    // The edit is one command of the expected kind whose undo restores the file byte for byte.
    template <typename C>
    void checkSlot(PageOfSystem& p, const std::function<void()>& edit)
    {
        const QByteArray before = jsonOf(p.system);
        const int count = p.commands();
        edit();
        QCOMPARE(p.commands(), count + 1);
        QVERIFY(p.lastIs<C>());
        QVERIFY(jsonOf(p.system) != before);
        p.stack.undo();
        QCOMPARE(jsonOf(p.system), before);
        p.stack.redo();
    }

    // Wheels the tree to its end, moves the pointer onto the button of the last module's row as a
    // user does, clicks it and checks that it did what it does.
    void clickTreeButton(PageOfSystem& p, const NodeId_t& module, int button)
    {
        View* view = p.page.view();
        QScrollBar* bar = view->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        for (int notch = 0; bar->value() < bar->maximum(); ++notch) {
            QVERIFY(notch < 50);
            const QPoint centre = view->viewport()->rect().center();
            QWheelEvent wheel(centre, view->viewport()->mapToGlobal(centre), QPoint(),
                              QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(view->viewport(), &wheel);
        }
        const int y = view->visualRect(p.row(module)).center().y();
        QTest::mouseMove(view->viewport(), QPoint(100, y));
        const int rectRole = button == EditButtonRole ? EditButtonRectRole : CloseButtonRectRole;
        const QPoint on(p.row(module).data(rectRole).toRect().center().x(), y);
        QTest::mouseMove(view->viewport(), on);
        QCOMPARE(p.row(module).data(button).toInt(), 2);

        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, on);
        if (button == EditButtonRole)
            QVERIFY(qobject_cast<DeviceSelector*>(view->indexWidget(p.row(module))));
        else
            QVERIFY(!p.system.device(module));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(pickBusTypes(tav, pex, 1));
        otherPex = SettingsProvider::instance().types(3).last();
        QVERIFY(otherPex != pex);
    }

    void treeEditsBecomeCommands()
    {
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 2);
        const QList<DeviceHandle> b = addController(p.system, 0);
        p.page.reloadSystem();

        checkSlot<AddDevice>(p, [&] { p.page.onAdd({handleOf(pex, 3, a[0].id)}); });
        checkSlot<RemoveDevice>(p, [&] { p.page.onRemove({b[0]}); });
        DeviceHandle retyped = a[1];
        retyped.type = otherPex;
        checkSlot<::ChangeType>(p, [&] { p.page.onEdit(a[1], retyped); });
        QList<DeviceHandle> order = p.system.deviceHandles();
        order.swapItemsAt(1, 2);
        Model::renumberBus(order);
        checkSlot<MoveBus>(p, [&] { p.page.onBusMove(order); });
        DeviceHandle grouped = a[0];
        grouped.group = QStringLiteral("Щит");
        checkSlot<ChangeGroup>(p, [&] { p.page.onRenameGroup({grouped}); });
    }

    void menuEditsBecomeCommands()
    {
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 2);
        const QList<DeviceHandle> b = addController(p.system, 1);
        p.page.reloadSystem();
        const auto rows = [&](const QList<NodeId_t>& ids) {
            QModelIndexList out;
            for (const NodeId_t& id : ids)
                out << p.row(id);
            return out;
        };
        checkSlot<ChangeGroup>(p, [&] { p.page.onAddGroup(rows({a[0].id, b[0].id})); });
        const QModelIndex group = p.page.treeModel()->index(0, 0);
        QCOMPARE(group.data(KindRole).toInt(), GroupKind);
        checkSlot<ChangeGroup>(p, [&] { p.page.onRemoveGroups({group}); });
        checkSlot<::ChangeType>(p, [&] { p.page.onChangeType(rows({a[1].id}), otherPex, 0); });
        checkSlot<DuplicateDevice>(p, [&] { p.page.onDuplicateDevices(rows({b[0].id, b[1].id})); });
        checkSlot<RemoveDevice>(p, [&] { p.page.onRemoveDevices(rows({a[2].id})); });

        const IoResource::Ptr_t port = p.system.serialPorts().value(0);
        QVERIFY(port);
        AbstractConfig config;
        port->exportConfig(config);
        config.port.delay = 77;
        checkSlot<Tre::ChangeResource>(p, [&] { p.page.onSystemResourceChanging({{port, config}}); });
        // Nothing to group: nothing on the stack.
        const int count = p.commands();
        p.page.onAddGroup({});
        p.page.onChangeType({}, otherPex, 0);
        QCOMPARE(p.commands(), count);
    }

    void deletingAControllerFromTheMenuTakesItsModules()
    {
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 2);
        const QList<DeviceHandle> b = addController(p.system, 0);
        p.page.reloadSystem();
        p.select({a[0].id});
        const QByteArray before = jsonOf(p.system);
        // The tree is rebuilt while the menu is open: the rows acted on are the ones selected
        // after it closes, not the ones taken before it opened.
        QCOMPARE(p.openMenu(a[0].id,
                            [&](ContextMenu& m) {
                                p.page.reloadSystem();
                                return m.action(ContextMenu::DeleteDevices);
                            }),
                 int(ContextMenu::DeleteDevices));
        QCOMPARE(p.system.deviceHandles().size(), 1);
        QCOMPARE(p.system.deviceHandles().first().id, b[0].id);
        QVERIFY(p.page.savedRows().isEmpty());
        QVERIFY(p.page.view()->selectionModel()->selectedRows().isEmpty());
        p.stack.undo();
        QCOMPARE(jsonOf(p.system), before);
    }

    void groupingFromTheMenuKeepsTheRowNumbers()
    {
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 0);
        const QList<DeviceHandle> b = addController(p.system, 0);
        addController(p.system, 0);
        p.page.reloadSystem();
        p.select({a[0].id, b[0].id});
        QCOMPARE(p.openMenu(b[0].id,
                            [](ContextMenu& m) {
                                return m.action(ContextMenu::CreateGroup)->isEnabled()
                                           ? m.action(ContextMenu::CreateGroup)
                                           : nullptr;
                            }),
                 int(ContextMenu::CreateGroup));
        QCOMPARE(p.system.device(a[0].id)->group(), p.system.device(b[0].id)->group());
        QVERIFY(p.system.device(a[0].id)->group().startsWith(QStringLiteral("Group ")));
        QCOMPARE(p.page.savedRows(), (QList<int>{0, 1}));
        // The menu clears the selection; the next reload brings the saved rows back.
        QVERIFY(p.page.view()->selectionModel()->selectedRows().isEmpty());
        p.page.reloadSystem();
        QCOMPARE(p.page.view()->selectionModel()->selectedRows().size(), 2);
    }

    void changingTypeOnAMenuPage()
    {
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 1);
        p.page.reloadSystem();
        p.select({a[1].id});
        DeviceType_t offered = 0;
        const int code = p.openMenu(a[1].id, [&](ContextMenu& m) -> QAction* {
            DeviceSelector* page = m.changeTypePage();
            if (!page)
                return nullptr;
            auto* list = page->findChild<QListWidget*>();
            QListWidgetItem* item = list->item(0);
            offered = item->data(Qt::UserRole).toUInt();
            page->onItemSelected(item);
            return nullptr;
        });
        QCOMPARE(code, int(ContextMenu::ChangeType));
        QVERIFY(offered);
        QCOMPARE(p.system.device(a[1].id)->type(), offered);
    }

    void reloadHandsTheChangedPortToTheEditor()
    {
        PageOfSystem p;
        addController(p.system, 0);
        p.page.reloadSystem();
        const QList<IoResource::Ptr_t> ports = p.system.serialPorts();
        QVERIFY(ports.size() >= 2);
        EditorSerialPort* editor = p.page.informationPanel()->portEditor();
        p.page.reloadSystem({ports.at(1)->id()});
        QCOMPARE(editor->currentPort(), ports.at(1));
        // Two ids, or another kind of resource, name no port: the editor keeps its port.
        p.page.reloadSystem({ports.at(0)->id(), ports.at(1)->id()});
        QCOMPARE(editor->currentPort(), ports.at(1));
    }

    // The row the user edits the ports from stays selected across the reload the edit brings,
    // whatever rows the context menu saved before.
    void portEditKeepsTheEditedRowSelected_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("groupedBefore");
        for (const char* field : {"speed", "parity", "delay", "safe time"}) {
            QTest::addRow("%s", field) << QString(field) << false;
            QTest::addRow("%s after grouping from the menu", field) << QString(field) << true;
        }
    }

    void portEditKeepsTheEditedRowSelected()
    {
        QFETCH(QString, field);
        QFETCH(bool, groupedBefore);
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 1);
        const QList<DeviceHandle> b = addController(p.system, 1);
        p.page.reloadSystem();
        if (groupedBefore) {
            p.select({a[0].id, b[0].id});
            p.openMenu(b[0].id, [](ContextMenu& m) { return m.action(ContextMenu::CreateGroup); });
            QVERIFY(!p.system.device(b[0].id)->group().isEmpty());
        }
        p.select({b[1].id});
        EditorSerialPort* editor = p.page.informationPanel()->portEditor();
        const int count = p.commands();
        if (field == QLatin1String("speed")) {
            auto* speed = editor->findChild<QComboBox*>("comboBoxBaudRate");
            speed->setCurrentIndex(speed->findText(QStringLiteral("9600")));
        } else if (field == QLatin1String("parity")) {
            editor->findChild<QRadioButton*>("radioButtonParityOdd")->click();
        } else {
            auto* box = editor->findChild<QSpinBox*>(field == QLatin1String("delay")
                                                         ? "spinBoxResponseDelay"
                                                         : "spinBoxSafeMode");
            box->selectAll();
            QTest::keyClicks(box, QStringLiteral("1500"));
            QTest::keyClick(box, Qt::Key_Return);
        }
        QCOMPARE(p.commands(), count + 1);
        QCOMPARE(p.page.view()->selectionModel()->selectedRows(),
                 QModelIndexList{p.row(b[1].id)});
        p.stack.undo();
        QCOMPARE(p.page.view()->selectionModel()->selectedRows(),
                 QModelIndexList{p.row(b[1].id)});
    }

    // A number typed into the port editor is one command for the port it was typed for, whose
    // undo gives the file back: ended by Return or by a click on the other port's tab, which takes
    // no focus and shows that port in the same boxes. Ended by a click on a row's button in the
    // tree, wheeled meanwhile, the edit rebuilds the tree before the press arrives: the press
    // still does what the button it was aimed at does.
    void typedPortNumberIsOneCommand_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("clicked");
        QTest::addColumn<int>("button");
        QTest::newRow("safe time 1500") << "spinBoxSafeMode" << 0 << "1500" << -1 << 0;
        QTest::newRow("safe time 60000") << "spinBoxSafeMode" << 1 << "60000" << -1 << 0;
        QTest::newRow("address 17") << "spinBoxAddress" << 1 << "17" << -1 << 0;
        QTest::newRow("address 247") << "spinBoxAddress" << 1 << "247" << -1 << 0;
        QTest::newRow("delay 250") << "spinBoxResponseDelay" << 0 << "250" << -1 << 0;
        QTest::newRow("delay, COM2 clicked") << "spinBoxResponseDelay" << 0 << "250" << 1 << 0;
        QTest::newRow("safe time, COM1 clicked") << "spinBoxSafeMode" << 1 << "4500" << 0 << 0;
        QTest::newRow("address, COM1 clicked") << "spinBoxAddress" << 1 << "17" << 0 << 0;
        QTest::newRow("delay, a module's edit button clicked")
            << "spinBoxResponseDelay" << 0 << "250" << -1 << int(EditButtonRole);
        QTest::newRow("address, a module's close button clicked")
            << "spinBoxAddress" << 1 << "17" << -1 << int(CloseButtonRole);
    }

    void typedPortNumberIsOneCommand()
    {
        QFETCH(QString, box);
        QFETCH(int, port);
        QFETCH(QString, typed);
        QFETCH(int, clicked);
        QFETCH(int, button);
        PageOfSystem p;
        addController(p.system, 0);
        NodeId_t module;
        if (button) {
            for (int i = 0; i < 9; ++i)
                module = addController(p.system, 1).last().id;
            // Short enough for the tree to scroll.
            p.page.resize(1000, 460);
        }
        p.page.reloadSystem();
        p.page.show();
        p.page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.page));
        EditorSerialPort* editor = p.page.informationPanel()->portEditor();
        TabBarNoWheel* tabs = editor->portTabs();
        tabs->setCurrentIndex(port);
        auto* spin = editor->findChild<QSpinBox*>(box);
        QVERIFY(!spin->isHidden());
        const QByteArray before = jsonOf(p.system);
        const IoResource::Ptr_t typedFor = editor->currentPort();

        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        if (button) {
            clickTreeButton(p, module, button);
            if (QTest::currentTestFailed())
                return;
        } else if (clicked < 0) {
            QTest::keyClick(spin, Qt::Key_Return);
        } else {
            QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(clicked).center());
        }
        QCOMPARE(p.commands(), button == CloseButtonRole ? 2 : 1);
        QCOMPARE(editor->currentPort(), p.system.serialPorts().value(clicked < 0 ? port : clicked));
        QCOMPARE(spin->text() == typed, clicked < 0 || box == "spinBoxSafeMode");
        AbstractConfig shown;
        typedFor->exportConfig(shown);
        const quint32 stored = box == QLatin1String("spinBoxSafeMode")  ? shown.port.safeTime
                               : box == QLatin1String("spinBoxAddress") ? shown.port.address
                                                                        : shown.port.delay;
        QCOMPARE(stored, typed.toUInt());
        while (p.stack.canUndo())
            p.stack.undo();
        QCOMPARE(jsonOf(p.system), before);
    }

    // Undoing the controller's addition hides the port editor or the group's name field the user
    // is still typing in: the typed entry is the last edit, the one the undo takes back.
    void entryPendingAtUndoIsItsOwnStep_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("typed");
        QTest::newRow("safe time") << "spinBoxSafeMode" << 0 << "1500";
        QTest::newRow("address") << "spinBoxAddress" << 1 << "17";
        QTest::newRow("delay") << "spinBoxResponseDelay" << 0 << "250";
        QTest::newRow("group name") << "" << -1 << "Box 2";
    }

    void entryPendingAtUndoIsItsOwnStep()
    {
        QFETCH(QString, box);
        QFETCH(int, port);
        QFETCH(QString, typed);
        PageOfSystem p;
        TransactionEngine engine;
        QObject::disconnect(&p.page, &SystemConfigurator::changeSystem, &p.stack, nullptr);
        QObject::connect(&p.page, &SystemConfigurator::changeSystem, &engine,
                         &TransactionEngine::push);
        engine.createActions();
        p.page.addActions(engine.toolBarActions());
        p.page.resize(900, 700);
        p.page.show();
        p.page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.page));
        const QByteArray empty = jsonOf(p.system);
        QList<DeviceHandle> controller = controllerWithModules(tav, pex, 0, 0);
        controller[0].group = QStringLiteral("Щит");
        p.page.onAdd(controller);
        const QByteArray added = jsonOf(p.system);
        const NodeId_t id = p.system.deviceHandles().value(0).id;
        const auto shown = [&]() -> QString {
            if (port < 0)
                return p.system.device(id)->group();
            return p.page.informationPanel()->portEditor()->findChild<QSpinBox*>(box)->text();
        };

        QPointer<QWidget> field;
        if (port < 0) {
            const QModelIndex group = p.page.treeModel()->index(0, 0);
            QCOMPARE(group.data(KindRole).toInt(), GroupKind);
            p.page.view()->edit(group);
            field = p.page.view()->findChild<QLineEdit*>();
        } else {
            EditorSerialPort* editor = p.page.informationPanel()->portEditor();
            editor->portTabs()->setCurrentIndex(port);
            field = editor->findChild<QSpinBox*>(box);
        }
        QVERIFY(field && field->isVisible());
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, typed);
        // Ctrl+Z in the name field takes back its own typing: there the tool bar's undo button
        // moves the history, and it takes no focus.
        if (port < 0)
            engine.undoAction()->trigger();
        else
            QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
        // The caret is back in a port box still shown: the digits typed next land there.
        if (port >= 0 && field->isVisible())
            QCOMPARE(QApplication::focusWidget(), field.data());
        QCOMPARE(jsonOf(p.system), added);
        QCOMPARE(engine.stack().count(), 2);
        QCOMPARE(engine.stack().index(), 1);
        engine.redoAction()->trigger();
        QCOMPARE(shown(), typed);
        engine.undoAction()->trigger();
        engine.undoAction()->trigger();
        QCOMPARE(jsonOf(p.system), empty);
    }

    void panelPowerLines()
    {
        // The worked example's supply and consumption, given to two catalogue types.
        SettingsProvider& catalogue = SettingsProvider::instance();
        const DeviceTemplate savedTav = catalogue.templates.value(tav);
        const DeviceTemplate savedPex = catalogue.templates.value(pex);
        catalogue.templates[tav].pgen = 16000;
        catalogue.templates[tav].preq = 930;
        catalogue.templates[pex].preq = 260;

        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 2);
        p.page.reloadSystem();
        InformationStyled* panel = p.page.informationPanel();
        const InfoPanel* device = panel->deviceInfoPanel();
        p.select({a[0].id});
        QCOMPARE(value(device, 4), QStringLiteral("15.07"));
        QCOMPARE(value(device, 5), QStringLiteral("0.52"));
        QCOMPARE(title(device, 5), QStringLiteral("P сис, W"));
        QVERIFY(!highlighted(device, 4));
        QCOMPARE(panel->headerLine()->titleLabel()->text(),
                 QStringLiteral("Устройство ") + catalogue.templates.value(tav).name);
        QCOMPARE(panelTitle(device), QStringLiteral("Устройство"));

        p.select({a[1].id});
        QCOMPARE(value(device, 4), QStringLiteral("0.00"));
        QCOMPARE(value(device, 5), QStringLiteral("0.26"));
        QCOMPARE(title(device, 5), QStringLiteral("P pex, W"));

        // Two modules are no single selection: no power budget.
        p.select({a[1].id, a[2].id});
        QCOMPARE(value(device, 5), QStringLiteral("0.00"));

        // Modules drawing more than the supply gives.
        catalogue.templates[pex].preq = 8000;
        p.page.reloadSystem();
        p.select({a[0].id});
        QCOMPARE(value(device, 5), QStringLiteral("16.00"));
        QVERIFY(highlighted(device, 4));

        catalogue.templates[tav] = savedTav;
        catalogue.templates[pex] = savedPex;
    }

    void panelOfGroupsAndTheSystem()
    {
        PageOfSystem p;
        const QList<DeviceHandle> a = addController(p.system, 1);
        for (const DeviceHandle& h : a)
            p.system.device(h.id)->setGroup(QStringLiteral("G1"));
        p.page.reloadSystem();
        InformationStyled* panel = p.page.informationPanel();
        p.page.onElementEntered(p.page.treeModel()->index(0, 0));
        QCOMPARE(panel->headerLine()->titleLabel()->text(), QStringLiteral("Группа G1"));
        QCOMPARE(panelTitle(panel->deviceInfoPanel()), QStringLiteral("Группа"));

        DeviceTemplate t, m;
        QVERIFY(SettingsProvider::instance().deviceTemplate(tav, -1, &t, false));
        QVERIFY(SettingsProvider::instance().deviceTemplate(pex, -1, &m, false));
        int inputs = 0;
        for (const IoChannel& c : t.channels + m.channels)
            inputs += c.kind == 2;
        const InfoPanel* whole = panel->systemInfoPanel();
        QCOMPARE(value(whole, 2), QString::number(inputs));
        // No cycle estimate under the board limit.
        QVERIFY(whole->indicator(4)->isHidden());
        QVERIFY(whole->indicator(5)->isHidden());

        // Back to the selection once the pointer leaves the rows: none since the reload.
        p.page.onElementEntered(QModelIndex());
        QCOMPARE(panel->headerLine()->titleLabel()->text(), QString());
        QCOMPARE(value(panel->deviceInfoPanel(), 2), QStringLiteral("0"));
    }

    // The header names the kind once: a new group's own name already says "Group", and reads in
    // the interface's language there and in the tree.
    void groupHeaderNamesTheKindOnce_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("row");
        QTest::newRow("user's name") << "G1" << "Группа G1" << "G1";
        QTest::newRow("new group") << "Group 1" << "Группа 1" << "Группа 1";
        QTest::newRow("new group, two digits") << "Group 12" << "Группа 12" << "Группа 12";
        QTest::newRow("user's name saying group") << "Группа 3" << "Группа 3" << "Группа 3";
        QTest::newRow("user's word after Group") << "Group A" << "Группа Group A" << "Group A";
        QTest::newRow("zero is no default number") << "Group 0" << "Группа Group 0" << "Group 0";
    }

    void groupHeaderNamesTheKindOnce()
    {
        QFETCH(QString, group);
        QFETCH(QString, header);
        QFETCH(QString, row);
        PageOfSystem p;
        for (const DeviceHandle& h : addController(p.system, 1))
            p.system.device(h.id)->setGroup(group);
        p.page.reloadSystem();
        InformationStyled* panel = p.page.informationPanel();
        p.page.onElementEntered(p.page.treeModel()->index(0, 0));
        QCOMPARE(panel->headerLine()->titleLabel()->text(), header);
        QCOMPARE(panelTitle(panel->deviceInfoPanel()), QStringLiteral("Группа"));
        // The tree's group row names it as the header does.
        QCOMPARE(SystemConfiguration::Renderer::rowText(p.page.treeModel()->index(0, 0)), row);
    }

    void emptyPortEditsAreDropped()
    {
        SystemModel system;
        InformationStyled panel(&system);
        QSignalSpy spy(&panel, &InformationStyled::serialPortSettingsChanging);
        panel.onSerialPortEditorChange({});
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_MAIN(SystemPageTest)
#include "tst_systempage.moc"
