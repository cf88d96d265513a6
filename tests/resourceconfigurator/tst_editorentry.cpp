// What the user types into the editors of the resource page lands as typed: an entry into a blank
// box is taken even at the box's lowest value, a typed number is one undo command and one live
// value, both decimal separators are read in every language, the sensor list is the shown mode's,
// and a discrete-input selection that differs says so in words.
#include "editorfixture.h"
#include "model/ain.h"
#include "pagefixture.h"
#include "resourceconfigurator/editorainrules.h"
#include "resourceconfigurator/editorserialport.h"
#include "shell/transactionengine.h"
#include "support/isolatedenvironment.h"
#include "widgets/pendingentry.h"
#include "widgets/tabbarnowheel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QTabBar>
#include <QWheelEvent>
#include <QtTest>

#include <utility>

using namespace ResourceFixture;
using PageFixture::Page;

namespace {

Editor* editorOf(Page& p, int kind)
{
    return p.page.editorViewer()->editor(kind);
}

void select(Page& p, const QList<IoResource::Ptr_t>& resources)
{
    QList<QModelIndex> rows;
    for (const IoResource::Ptr_t& r : resources)
        rows << p.row(r->id());
    p.page.view()->selectRows(rows);
}

// The user selects the box's text, types over it and ends the entry as given.
enum Finish { Return, FocusOut };

void typeInto(QAbstractSpinBox* box, const QString& text, Finish finish = Return)
{
    box->selectAll();
    QTest::keyClicks(box, text);
    if (finish == Return) {
        QTest::keyClick(box, Qt::Key_Return);
    } else {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }
}

// The page as the main window wires it: its commands go to the program's undo engine, whose keys
// work anywhere on the page.
struct PageWithUndoKeys
{
    Page p;
    TransactionEngine engine;
    PageWithUndoKeys()
    {
        QObject::disconnect(&p.page, &ResourceConfigurator::changeResource, &p.stack, nullptr);
        QObject::connect(&p.page, &ResourceConfigurator::changeResource, &engine,
                         &TransactionEngine::push);
        engine.createActions();
        p.page.addActions(engine.toolBarActions());
        p.page.activateWindow();
    }
};

AbstractValue valueOf(const IoResource::Ptr_t& r)
{
    AbstractValue v;
    v.kind = ResourceKind::Block;
    r->exportValue(v);
    return v;
}

// Every live value the page hands the monitoring loop, as the outputs hold it at that moment.
struct SentValues
{
    QList<QList<int>> sent;
    QMetaObject::Connection connection;
    SentValues(SystemModel& system, const QList<IoResource::Ptr_t>& outputs)
    {
        connection = QObject::connect(&system, &SystemModel::controlValues, [this, outputs] {
            QList<int> now;
            for (const IoResource::Ptr_t& r : outputs) {
                const AbstractValue v = valueOf(r);
                now << (v.aout.control == 1 ? int(v.aout.overrideValue) : -1);
            }
            sent << now;
        });
    }
    ~SentValues() { QObject::disconnect(connection); }
};

// The language of the machine the program runs on, for one test row.
struct MachineLanguage
{
    QLocale before;
    explicit MachineLanguage(QLocale::Language language) { QLocale::setDefault(QLocale(language)); }
    ~MachineLanguage() { QLocale::setDefault(before); }
};

// An input method (a compose key, ibus) that commits what is being composed once the field
// loses the focus.
struct ComposingInput : QObject
{
    QString composing;
    void compose(QWidget* field, const QString& text)
    {
        composing = text;
        field->installEventFilter(this);
        QInputMethodEvent preedit(text, {});
        QCoreApplication::sendEvent(field, &preedit);
    }
    bool eventFilter(QObject* field, QEvent* event) override
    {
        if (event->type() == QEvent::FocusOut && !composing.isEmpty()) {
            QInputMethodEvent commit;
            commit.setCommitString(std::exchange(composing, QString()));
            QCoreApplication::sendEvent(field, &commit);
        }
        return false;
    }
};

QString visibleText(const QList<QLabel*>& labels)
{
    QStringList texts;
    for (const QLabel* label : labels) {
        if (!label->isHidden())
            texts << label->text();
    }
    return texts.join(QLatin1Char(' '));
}

} // namespace

class EditorEntryTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        EditorFixture::initEditorTest();
    }

    void blankBoxTakesEveryValidEntry_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("millivolts");
        // The blank's own minimum must not round onto the lowest value the box offers.
        QTest::newRow("safe state 0") << "spinBoxSaveMode" << false << "0" << 0;
        QTest::newRow("safe state 10") << "spinBoxSaveMode" << false << "10" << 10000;
        QTest::newRow("live output 0") << "spinBoxControl" << true << "0" << 0;
        QTest::newRow("live output 10") << "spinBoxControl" << true << "10" << 10000;
    }

    void blankBoxTakesEveryValidEntry()
    {
        QFETCH(QString, box);
        QFETCH(bool, monitoring);
        QFETCH(QString, typed);
        QFETCH(int, millivolts);
        Page p;
        const QList<IoResource::Ptr_t> aouts = ofKind(p.system, p.s.m1, ResourceKind::Aout);
        EditorFixture::setConfig(aouts[0], [](AbstractConfig& c) { c.aout.save = 2500; });
        EditorFixture::setConfig(aouts[1], [](AbstractConfig& c) { c.aout.save = 3000; });
        EditorFixture::setValue(aouts[0], [](AbstractValue& v) { v.aout.value = 1000; });
        EditorFixture::setValue(aouts[1], [](AbstractValue& v) { v.aout.value = 4200; });
        p.page.monitoringMode(monitoring);
        select(p, aouts);
        auto* spin = editorOf(p, ResourceKind::Aout)->findChild<QDoubleSpinBox*>(box);
        QCOMPARE(spin->text(), QStringLiteral(" "));
        SentValues live(p.system, aouts);

        typeInto(spin, typed);
        if (monitoring) {
            QCOMPARE(live.sent, (QList<QList<int>>{{millivolts, millivolts}}));
            QCOMPARE(p.stack.count(), 0);
        } else {
            QCOMPARE(p.stack.count(), 1);
            for (const IoResource::Ptr_t& r : aouts)
                QCOMPARE(EditorFixture::exported(r).aout.save, quint16(millivolts));
        }
    }

    // The other blanks of the editors: each takes the lowest value of its box as an edit, ended by
    // Return or by a click on a switch, which takes no focus: then as the edit before the switch's.
    void everyBlankTakesItsLowestValue_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("clicked");
        QTest::newRow("filter window 1") << int(ResourceKind::Din) << "spinBoxFilterWindow" << "1"
                                         << "";
        QTest::newRow("filter time 0") << int(ResourceKind::Ain) << "spinBoxImpulse" << "0" << "";
        QTest::newRow("output range -99999") << int(ResourceKind::Ain) << "f10" << "-99999" << "";
        QTest::newRow("filter time 0, wire count")
            << int(ResourceKind::Ain) << "spinBoxImpulse" << "0" << "comboBoxConnection";
        QTest::newRow("filter time 0, value mode")
            << int(ResourceKind::Ain) << "spinBoxImpulse" << "0" << "comboBoxAinMode";
    }

    void everyBlankTakesItsLowestValue()
    {
        QFETCH(int, kind);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, clicked);
        // The value mode is offered outside the program's own brand.
        const QScopedValueRollback<int> brand(SettingsProvider::instance().mode,
                                              clicked == "comboBoxAinMode" ? 0 : 1);
        Page p;
        const Device::Ptr_t device = kind == ResourceKind::Din ? p.s.m1 : p.s.m2;
        const QList<IoResource::Ptr_t> pair = ofKind(p.system, device, kind).mid(1, 2);
        for (int i = 0; i < 2; ++i) {
            EditorFixture::setConfig(pair[i], [i, &clicked](AbstractConfig& c) {
                c.din.filterOn = 1;
                c.din.filter = quint16(5 + i);
                c.ain.range = clicked.isEmpty() ? Ain::Current : Ain::Rtd;
                c.ain.onePole = quint16(3 + i);
                c.ain.scMin = float(i);
            });
        }
        select(p, pair);
        Editor* editor = editorOf(p, kind);
        if (box == QLatin1String("f10"))
            editor->findChild<QTabBar*>()->setCurrentIndex(1);
        auto* spin = editor->findChild<QAbstractSpinBox*>(box);
        QVERIFY(spin->isVisible());
        QCOMPARE(spin->text(), QStringLiteral(" "));
        p.page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.page));
        spin->setFocus();

        spin->selectAll();
        QTest::keyClicks(spin, typed);
        auto* control = editor->findChild<QWidget*>(clicked);
        if (clicked.isEmpty())
            QTest::keyClick(spin, Qt::Key_Return);
        else
            QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(control->width() * 3 / 4, 5));
        QCOMPARE(p.stack.count(), clicked.isEmpty() ? 1 : 2);
        p.stack.setIndex(1);
        const AbstractConfig first = EditorFixture::exported(pair[0]);
        const AbstractConfig second = EditorFixture::exported(pair[1]);
        if (box == QLatin1String("spinBoxFilterWindow"))
            QCOMPARE(QList<int>({first.din.filter, second.din.filter}), QList<int>({1, 1}));
        else if (box == QLatin1String("spinBoxImpulse"))
            QCOMPARE(QList<int>({first.ain.onePole, second.ain.onePole}), QList<int>({0, 0}));
        else
            QCOMPARE(QList<float>({first.ain.scMin, second.ain.scMin}),
                     QList<float>({-99999.0f, -99999.0f}));
    }

    // The blank sits below the outputs' range; once a value is entered, typing the blank's own
    // value must not reach the outputs as a wrapped-around voltage.
    void liveOutputNeverTakesTheBlank_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QList<int>>("sent");
        // Below the range the box, back in range, corrects the entry to its lowest value.
        QTest::newRow("5, then below the range") << QStringList{"5", "-0,1"} << QList<int>{5000, 0};
        QTest::newRow("0, then below the range") << QStringList{"0", "-0,1"} << QList<int>{0};
        // The blank's own value typed into the blank changes nothing.
        QTest::newRow("below the range first") << QStringList{"-0,1", "3"} << QList<int>{3000};
    }

    void liveOutputNeverTakesTheBlank()
    {
        QFETCH(QStringList, entries);
        QFETCH(QList<int>, sent);
        Page p;
        const QList<IoResource::Ptr_t> aouts = ofKind(p.system, p.s.m1, ResourceKind::Aout);
        EditorFixture::setValue(aouts[0], [](AbstractValue& v) { v.aout.value = 1000; });
        p.page.monitoringMode(true);
        select(p, aouts);
        auto* spin = editorOf(p, ResourceKind::Aout)->findChild<QDoubleSpinBox*>("spinBoxControl");
        QCOMPARE(spin->text(), QStringLiteral(" "));
        SentValues live(p.system, aouts);
        for (QString entry : entries)
            typeInto(spin, entry.replace(QLatin1Char(','), spin->locale().decimalPoint()));
        QList<QList<int>> expected;
        for (int millivolts : sent)
            expected << QList<int>{millivolts, millivolts};
        QCOMPARE(live.sent, expected);
        QCOMPARE(spin->value(), sent.last() / 1000.0);
    }

    void sensorListIsTheShownModes_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("mode");
        // 0: no input was shown before the pair.
        QTest::newRow("fresh editor, RTD pair") << 0 << int(Ain::Rtd);
        QTest::newRow("after an NTC input, RTD pair") << int(Ain::Ntc) << int(Ain::Rtd);
        QTest::newRow("after a voltage input, RTD pair") << int(Ain::Voltage) << int(Ain::Rtd);
        QTest::newRow("after an RTD input, NTC pair") << int(Ain::Rtd) << int(Ain::Ntc);
        QTest::newRow("fresh editor, 2- and 3-wire RTD") << 0 << int(Ain::Rtd3Wire);
    }

    void sensorListIsTheShownModes()
    {
        QFETCH(int, before);
        QFETCH(int, mode);
        const int sensorClass = mode == Ain::Ntc ? 4 : 3;
        QList<int> offered;
        const QMap<int, SensorInfo>& sensors = SettingsProvider::instance().sensors();
        for (auto it = sensors.cbegin(); it != sensors.cend(); ++it) {
            if (it->sensorClass == sensorClass)
                offered << it.key();
        }
        QVERIFY(offered.size() >= 2);

        Page p;
        const QList<IoResource::Ptr_t> ains = ofKind(p.system, p.s.m2, ResourceKind::Ain);
        const QList<IoResource::Ptr_t> pair{ains[0], ains[4]};
        const auto setMode = [](const IoResource::Ptr_t& r, qint32 range, qint32 sensor) {
            EditorFixture::setConfig(r, [=](AbstractConfig& c) {
                c.ain.range = range;
                c.ain.tsType = sensor;
            });
        };
        // The second of a 2- and 3-wire pair has no partner selected: its mode stays its own.
        setMode(pair[0], mode == Ain::Rtd3Wire ? Ain::Rtd : mode, offered[0]);
        setMode(pair[1], mode, offered[1]);
        if (before != 0) {
            int other = 0;
            for (auto it = sensors.cbegin(); it != sensors.cend() && other == 0; ++it) {
                if (it->sensorClass == (before == Ain::Ntc ? 4 : 3))
                    other = it.key();
            }
            setMode(ains[6], before, before == Ain::Voltage ? 0 : other);
            select(p, {ains[6]});
        }
        select(p, pair);
        auto* combo = editorOf(p, ResourceKind::Ain)->findChild<QComboBox*>("comboBoxType");
        QVERIFY(!combo->isHidden());
        QCOMPARE(combo->currentIndex(), -1);
        QList<int> listed;
        for (int i = 0; i < combo->count(); ++i)
            listed << combo->itemData(i).toInt();
        QCOMPARE(listed, offered);

        const QByteArray unchanged = json(p.system);
        combo->setCurrentIndex(listed.size() - 1);
        QCOMPARE(p.stack.count(), 1);
        for (const IoResource::Ptr_t& r : pair) {
            QCOMPARE(EditorFixture::exported(r).ain.tsType, offered.last());
            QCOMPARE(EditorFixture::exported(r).ain.sensors[0].rref, sensors.value(offered.last()).rRef);
        }
        p.stack.undo();
        QCOMPARE(json(p.system), unchanged);
    }

    // Ended by Return, or by a click on another module's input after the wheel took the typed
    // ones out of sight: the click opens the row it was pressed on, and an undo brings the inputs
    // back into view.
    void typedWindowIsOneCommand_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("clicked");
        QTest::newRow("1500 over 1") << 1 << 1 << "1500" << 1500 << false;
        QTest::newRow("1500 over a blank") << 4 << 9 << "1500" << 1500 << false;
        QTest::newRow("20 over 300") << 300 << 300 << "20" << 20 << false;
        QTest::newRow("1500, another module's input clicked") << 1 << 1 << "1500" << 1500 << true;
    }

    void typedWindowIsOneCommand()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, typed);
        QFETCH(int, window);
        QFETCH(bool, clicked);
        Page p;
        auto* view = p.page.view();
        if (clicked) {
            // Short enough for the tree to scroll; active, so that a click takes the focus.
            p.page.resize(900, 500);
            p.page.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&p.page));
        }
        const QList<IoResource::Ptr_t> dins = ofKind(p.system, p.s.m1, ResourceKind::Din).mid(0, 2);
        for (int i = 0; i < 2; ++i) {
            const quint16 w = quint16(i == 0 ? first : second);
            EditorFixture::setConfig(dins[i], [w](AbstractConfig& c) {
                c.din.filterOn = 1;
                c.din.filter = w;
            });
        }
        select(p, dins);
        const QByteArray unchanged = json(p.system);
        auto* box = editorOf(p, ResourceKind::Din)->findChild<QSpinBox*>("spinBoxFilterWindow");
        QVERIFY(!box->isHidden());

        if (clicked) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, typed);
            for (int notch = 0; view->visualRect(p.row(dins[1]->id())).bottom() >= 0; ++notch) {
                QVERIFY(notch < 50);
                const QPoint centre = view->viewport()->rect().center();
                QWheelEvent wheel(centre, view->viewport()->mapToGlobal(centre), QPoint(),
                                  QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                                  Qt::NoScrollPhase, false);
                QApplication::sendEvent(view->viewport(), &wheel);
            }
            const IoResource::Ptr_t input = ofKind(p.system, p.s.m2, ResourceKind::Ain).first();
            const QRect target = view->visualRect(p.row(input->id()));
            QVERIFY(view->viewport()->rect().contains(target));
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, target.center());
            QCOMPARE(p.selectedIds(), QList<NodeId_t>{input->id()});
        } else {
            typeInto(box, typed);
        }
        QCOMPARE(p.stack.count(), 1);
        for (const IoResource::Ptr_t& r : dins)
            QCOMPARE(EditorFixture::exported(r).din.filter, quint16(window));
        QCOMPARE(box->value(), window);
        p.stack.undo();
        QCOMPARE(json(p.system), unchanged);
        QVERIFY(view->viewport()->rect().intersects(view->visualRect(p.row(dins[0]->id()))));
    }

    // An undo or a redo hides the editor the user is typing in. The entry still waiting in its
    // box is the user's last edit: an undo takes it back (a redo brings it again), and before a
    // redo it is a new edit like any other, which leaves nothing to redo. Moved by no action (the
    // engine's slot itself), the history gives the entry up; a wheel over another cell changes
    // nothing at all.
    void entryPendingAtUndoIsItsOwnStep_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<qint32>("range");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("redo");
        QTest::addColumn<QString>("how");
        const struct
        {
            const char* name;
            int kind;
            qint32 range;
            const char* box;
            const char* typed;
        } boxes[] = {{"filter window", ResourceKind::Din, 0, "spinBoxFilterWindow", "1500"},
                     {"safe output", ResourceKind::Aout, 0, "spinBoxSaveMode", "7"},
                     {"input filter time", ResourceKind::Ain, Ain::Current, "spinBoxImpulse", "360"},
                     {"scale low", ResourceKind::Ain, Ain::Current, "f10", "3"},
                     {"scale high", ResourceKind::Ain, Ain::Current, "f11", "30"},
                     {"thermistor resistance", ResourceKind::Ain, Ain::Ntc, "f00", "4700"},
                     {"sensor correction", ResourceKind::Ain, Ain::Rtd, "f20", "2"},
                     {"thermistor temperature", ResourceKind::Ain, Ain::Ntc, "f01", "30"}};
        for (const auto& b : boxes) {
            QTest::addRow("%s, Ctrl+Z", b.name)
                << b.kind << b.range << b.box << b.typed << false << "keys";
            // The filter's window is shown only while the redo's filter is off.
            if (b.kind != ResourceKind::Din) {
                QTest::addRow("%s, Ctrl+Shift+Z", b.name)
                    << b.kind << b.range << b.box << b.typed << true << "keys";
            }
        }
        QTest::newRow("scale low, undo slot")
            << int(ResourceKind::Ain) << qint32(Ain::Current) << "f10" << "3" << false << "slot";
        QTest::newRow("sensor correction, redo slot")
            << int(ResourceKind::Ain) << qint32(Ain::Rtd) << "f20" << "2" << true << "slot";
        QTest::newRow("scale low, wheel over scale high")
            << int(ResourceKind::Ain) << qint32(Ain::Current) << "f10" << "3" << false << "wheel";
        // A controller's label being composed when the undo leaves its editor for the input.
        QTest::newRow("controller label, undo slot")
            << -1 << qint32(0) << "lineEditLabel" << "ё" << false << "slot";
    }

    void entryPendingAtUndoIsItsOwnStep()
    {
        QFETCH(int, kind);
        QFETCH(qint32, range);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(bool, redo);
        QFETCH(QString, how);
        // The label editor is offered outside the program's own brand.
        const QScopedValueRollback<int> brand(SettingsProvider::instance().mode, kind < 0 ? 0 : 1);
        PageWithUndoKeys w;
        Page& p = w.p;
        QVERIFY(QTest::qWaitForWindowActive(&p.page));
        const QUndoStack& stack = w.engine.stack();
        const IoResource::Ptr_t din = ofKind(p.system, p.s.m1, ResourceKind::Din).first();
        if (kind < 0) {
            const QByteArray start = json(p.system);
            select(p, {din});
            editorOf(p, ResourceKind::Din)->findChild<QCheckBox*>("checkBoxFilter")->click();
            p.page.view()->selectRows({p.row(p.s.controller->id())});
            auto* label = p.page.editorViewer()->currentEditor()->findChild<QLineEdit*>(box);
            QVERIFY(label && label->isVisible());
            label->setFocus();
            ComposingInput input;
            input.compose(label, typed);
            w.engine.undoActivated();
            QVERIFY(input.composing.isEmpty());
            QCOMPARE(json(p.system), start);
            QCOMPARE(stack.count(), 1);
            QVERIFY(stack.canRedo());
            return;
        }
        const IoResource::Ptr_t edited =
            ofKind(p.system, kind == ResourceKind::Ain ? p.s.m2 : p.s.m1, kind).first();
        if (kind == ResourceKind::Ain) {
            const qint32 sensor = range == Ain::Rtd ? 2 : range == Ain::Ntc ? 103 : 0;
            EditorFixture::setConfig(edited, [range, sensor](AbstractConfig& c) {
                c.ain.range = range;
                c.ain.tsType = sensor;
                c.ain.sensors[0] = EditorAinRules::sensorParameters(sensor);
            });
        }
        const QByteArray start = json(p.system);
        select(p, {din});
        editorOf(p, ResourceKind::Din)->findChild<QCheckBox*>("checkBoxFilter")->click();
        QCOMPARE(stack.count(), 1);
        const QByteArray filtered = json(p.system);
        if (redo)
            w.engine.undoAction()->trigger();
        const QByteArray before = json(p.system);

        select(p, {edited});
        Editor* editor = editorOf(p, kind);
        if (box.startsWith(QLatin1Char('f')))
            editor->findChild<QTabBar*>()->setCurrentIndex(1);
        // The thermistor's reference temperature is typed only in the manual calibration.
        if (range == Ain::Ntc)
            editor->findChild<QCheckBox*>("manual")->click();
        auto* spin = editor->findChild<QAbstractSpinBox*>(box);
        QVERIFY(spin->isVisible());
        QVERIFY(spin->isEnabled());
        const QString shown = spin->text();
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, typed);
        if (how == QLatin1String("wheel")) {
            auto* other = editor->findChild<QAbstractSpinBox*>("f11");
            const QPoint inside = other->rect().center();
            QWheelEvent wheel(inside, other->mapToGlobal(inside), QPoint(), QPoint(0, 120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            const QString before = other->text();
            QApplication::sendEvent(other, &wheel);
            QCOMPARE(other->text(), before);
            QCOMPARE(stack.count(), 1);
        } else if (how == QLatin1String("slot")) {
            redo ? w.engine.redoActivated() : w.engine.undoActivated();
            QCOMPARE(json(p.system), redo ? filtered : start);
        }
        if (how != QLatin1String("keys")) {
            select(p, {edited});
            // Left alone by the wheel, the entry is ended by the refill as an edit of its own.
            if (how == QLatin1String("wheel"))
                QCOMPARE(spin->property("value").toDouble(), typed.toDouble());
            else
                QCOMPARE(spin->text(), shown);
            while (stack.canUndo())
                w.engine.undoAction()->trigger();
            QCOMPARE(json(p.system), start);
            return;
        }
        QTest::keyClick(spin, Qt::Key_Z,
                        redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
        // The caret is back in the box: the digits typed next land there.
        if (spin->isVisible())
            QCOMPARE(QApplication::focusWidget(), spin);
        if (redo) {
            QCOMPARE(stack.count(), 1);
            QVERIFY(!stack.canRedo());
            AbstractConfig filter;
            din->exportConfig(filter);
            QVERIFY(!filter.din.filterOn);
        } else {
            QCOMPARE(json(p.system), before);
            QCOMPARE(stack.count(), 2);
            QCOMPARE(stack.index(), 1);
            w.engine.redoAction()->trigger();
        }
        QVERIFY(spin->isVisible());
        QCOMPARE(spin->property("value").toDouble(), typed.toDouble());
        while (stack.canUndo())
            w.engine.undoAction()->trigger();
        QCOMPARE(json(p.system), start);
    }

    void liveOutputTakesOnlyTheEnteredValue_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("finish");
        QTest::addColumn<int>("key");
        QTest::addColumn<QList<int>>("sent");
        // The outputs show 4.2 V; "," stands for the box's own decimal separator.
        QTest::newRow("10, Return") << "10" << int(Return) << 0 << QList<int>{10000};
        QTest::newRow("7,3, Return") << "7,3" << int(Return) << 0 << QList<int>{7300};
        QTest::newRow("5, focus out") << "5" << int(FocusOut) << 0 << QList<int>{5000};
        QTest::newRow("up arrow") << "" << -1 << int(Qt::Key_Up) << QList<int>{4300};
        QTest::newRow("down arrow twice") << "" << -1 << int(Qt::Key_Down) << QList<int>{4100, 4000};
    }

    void liveOutputTakesOnlyTheEnteredValue()
    {
        QFETCH(QString, typed);
        QFETCH(int, finish);
        QFETCH(int, key);
        QFETCH(QList<int>, sent);
        Page p;
        const QList<IoResource::Ptr_t> aouts = ofKind(p.system, p.s.m1, ResourceKind::Aout);
        for (const IoResource::Ptr_t& r : aouts)
            EditorFixture::setValue(r, [](AbstractValue& v) { v.aout.value = 4200; });
        p.page.monitoringMode(true);
        select(p, aouts);
        auto* spin = editorOf(p, ResourceKind::Aout)->findChild<QDoubleSpinBox*>("spinBoxControl");
        QCOMPARE(spin->value(), 4.2);
        SentValues live(p.system, aouts);
        // A command to the outputs leaves nothing to save: typed, it is no pending entry of the
        // window that shows it.
        const PendingEntry watch(&p.page);
        bool pending = false;
        connect(&watch, &PendingEntry::pendingChanged,
                [&pending](bool on) { pending = pending || on; });
        p.page.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&p.page));
        spin->setFocus();
        QCOMPARE(QApplication::focusWidget(), spin);

        if (key != 0) {
            for (int i = 0; i < sent.size(); ++i)
                QTest::keyClick(spin, Qt::Key(key));
        } else {
            typed.replace(QLatin1Char(','), spin->locale().decimalPoint());
            typeInto(spin, typed, Finish(finish));
        }
        QList<QList<int>> expected;
        for (int millivolts : sent)
            expected << QList<int>{millivolts, millivolts};
        QCOMPARE(live.sent, expected);
        QCOMPARE(p.stack.count(), 0);
        QVERIFY(!pending);
    }

    void bothDecimalSeparatorsInEveryLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        const QList<QPair<QString, QLocale::Language>> languages{{"ru", QLocale::Russian},
                                                                 {"en", QLocale::English}};
        for (const auto& language : languages) {
            for (const char* box : {"spinBoxSaveMode", "spinBoxControl", "f10"}) {
                for (const char* typed : {"2.5", "2,5"}) {
                    QTest::addRow("%s %s %s", qPrintable(language.first), box, typed)
                        << int(language.second) << QString(box) << QString(typed);
                }
            }
        }
    }

    void bothDecimalSeparatorsInEveryLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        const MachineLanguage machine{QLocale::Language(language)};
        Page p;
        const QList<IoResource::Ptr_t> aouts = ofKind(p.system, p.s.m1, ResourceKind::Aout);
        const IoResource::Ptr_t ain = ofKind(p.system, p.s.m2, ResourceKind::Ain).first();
        SentValues live(p.system, aouts);
        QDoubleSpinBox* spin = nullptr;
        if (box == QLatin1String("f10")) {
            EditorFixture::setConfig(ain, [](AbstractConfig& c) { c.ain.range = Ain::Current; });
            select(p, {ain});
            Editor* editor = editorOf(p, ResourceKind::Ain);
            editor->findChild<QTabBar*>()->setCurrentIndex(1);
            spin = editor->findChild<QDoubleSpinBox*>(box);
        } else {
            p.page.monitoringMode(box == QLatin1String("spinBoxControl"));
            select(p, aouts);
            spin = editorOf(p, ResourceKind::Aout)->findChild<QDoubleSpinBox*>(box);
        }
        QVERIFY(spin->isVisible());
        QCOMPARE(spin->locale().language(), QLocale::Language(language));

        typeInto(spin, typed);
        QCOMPARE(spin->value(), 2.5);
        if (box == QLatin1String("f10")) {
            QCOMPARE(EditorFixture::exported(ain).ain.scMin, 2.5f);
        } else if (box == QLatin1String("spinBoxControl")) {
            QCOMPARE(live.sent, (QList<QList<int>>{{2500, 2500}}));
        } else {
            for (const IoResource::Ptr_t& r : aouts)
                QCOMPARE(EditorFixture::exported(r).aout.save, quint16(2500));
        }
    }

    // A box the user empties (or leaves with a lone sign or separator) holds no number: it shows
    // its value again and edits nothing, however the entry ends, whether it showed one value or
    // the blank of differing items.
    void emptiedBoxKeepsItsValue_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("box");
        QTest::addColumn<bool>("differ");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("finish");
        const struct
        {
            const char* name;
            int kind;
            const char* box;
            bool decimal;
        } boxes[] = {{"input filter time", ResourceKind::Ain, "spinBoxImpulse", false},
                     {"scale low", ResourceKind::Ain, "f10", true},
                     {"sensor correction", ResourceKind::Ain, "f20", true},
                     {"thermistor resistance", ResourceKind::Ain, "f00", true},
                     {"safe output", ResourceKind::Aout, "spinBoxSaveMode", true},
                     {"live output", ResourceKind::Aout, "spinBoxControl", true},
                     {"filter window", ResourceKind::Din, "spinBoxFilterWindow", false},
                     {"port safe time", ResourceKind::SerialPort, "spinBoxSafeMode", false},
                     {"response delay", ResourceKind::SerialPort, "spinBoxResponseDelay", false},
                     {"address", ResourceKind::SerialPort, "spinBoxAddress", false}};
        for (const auto& b : boxes) {
            QStringList texts{QString(), QStringLiteral("-")};
            if (b.decimal)
                texts << QStringLiteral(",");
            // The port editor shows one port at a time, and these ports share their safe time.
            for (const bool differ : {false, true}) {
                if (differ && b.kind == ResourceKind::SerialPort)
                    continue;
                for (const QString& typed : texts) {
                    for (const Finish finish : {Return, FocusOut}) {
                        QTest::addRow("%s%s, \"%s\", %s", b.name, differ ? " blank" : "",
                                      qPrintable(typed), finish == Return ? "Return" : "focus out")
                            << b.kind << QString(b.box) << differ << typed
                            << int(finish);
                    }
                }
            }
        }
    }

    void emptiedBoxKeepsItsValue()
    {
        QFETCH(int, kind);
        QFETCH(QString, box);
        QFETCH(bool, differ);
        QFETCH(QString, typed);
        QFETCH(int, finish);
        Page p;
        Editor* editor = nullptr;
        QList<IoResource::Ptr_t> items;
        EditorSerialPort ports;
        if (kind == ResourceKind::SerialPort) {
            items = ofKind(p.system, p.s.controller, ResourceKind::SerialPort);
            QVERIFY(items.size() >= 2);
            ports.setPortsVisible(true);
            ports.setResources(items);
            ports.portTabs()->setCurrentIndex(1);
            ports.show();
            editor = &ports;
        } else {
            const Device::Ptr_t device = kind == ResourceKind::Ain ? p.s.m2 : p.s.m1;
            // The module has only two outputs; the first discrete input is a slow one.
            items = ofKind(p.system, device, kind).mid(kind == ResourceKind::Aout ? 0 : 1, 2);
            QCOMPARE(items.size(), 2);
            // The correction is an RTD's cell, the resistance a thermistor's.
            const qint32 range = box == "f20" ? Ain::Rtd : box == "f00" ? Ain::Ntc : Ain::Current;
            const qint32 sensor = range == Ain::Rtd ? 2 : range == Ain::Ntc ? 103 : 0;
            for (int i = 0; i < 2; ++i) {
                const int step = differ ? i : 0;
                EditorFixture::setConfig(items[i], [=](AbstractConfig& c) {
                    c.din.filterOn = 1;
                    c.din.filter = quint16(5 + step);
                    c.aout.save = quint16(2500 + 500 * step);
                    c.ain.range = range;
                    c.ain.tsType = sensor;
                    c.ain.sensors[0] = EditorAinRules::sensorParameters(sensor);
                    c.ain.sensors[0].rref += step;
                    c.ain.onePole = quint16(3 + step);
                    c.ain.scMin = float(1 + step);
                    c.ain.scMax = 100.0f;
                    c.ain.scOffset = 1.5f + float(step);
                });
                EditorFixture::setValue(items[i], [=](AbstractValue& v) {
                    v.aout.value = quint16(4200 + 500 * step);
                });
            }
            p.page.monitoringMode(box == "spinBoxControl");
            select(p, items);
            editor = editorOf(p, kind);
            if (box.startsWith(QLatin1Char('f')))
                editor->findChild<QTabBar*>()->setCurrentIndex(1);
        }
        auto* spin = editor->findChild<QAbstractSpinBox*>(box);
        QVERIFY(spin->isVisible() && spin->isEnabled());
        const QString shown = spin->text();
        QCOMPARE(shown == QLatin1String(" "), differ);
        QSignalSpy changes(editor, EditorFixture::resourceChange);
        QSignalSpy controls(editor, &Editor::control);

        spin->setFocus();
        spin->selectAll();
        QTest::keyClick(spin, Qt::Key_Delete);
        typeInto(spin, typed.replace(QLatin1Char(','), spin->locale().decimalPoint()),
                 Finish(finish));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(controls.count(), 0);
        QCOMPARE(spin->text(), shown);
    }

    void differingDiscreteInputsReadAsSuch_data()
    {
        QTest::addColumn<QList<int>>("filterOn");
        QTest::addColumn<QList<int>>("window");
        QTest::addColumn<QString>("filterNote");
        QTest::addColumn<QString>("pulses");
        const QString differ = QStringLiteral("Выбранные входы считают импульсы разной длины");
        QTest::newRow("windows differ") << QList<int>{1, 1} << QList<int>{2, 3} << QString()
                                        << differ;
        QTest::newRow("filter on for some")
            << QList<int>{1, 0} << QList<int>{2, 2}
            << QStringLiteral("Фильтр включён не у всех выбранных входов") << differ;
        QTest::newRow("filter off for some, windows differ")
            << QList<int>{0, 1} << QList<int>{2, 7}
            << QStringLiteral("Фильтр включён не у всех выбранных входов") << differ;
        QTest::newRow("filter off for all")
            << QList<int>{0, 0} << QList<int>{2, 7}
            << QStringLiteral("Работает аппаратная фильтрация")
            << QStringLiteral("Считаются импульсы, длиннее: 25.0 мкс "
                              "(частота пропускаемого сигнала: 20.0 кГц)");
        QTest::newRow("one window") << QList<int>{1, 1} << QList<int>{2, 2} << QString()
                                    << QStringLiteral("Считаются импульсы, длиннее: 1.0 мс "
                                                      "(частота пропускаемого сигнала: 500.0 Гц)");
    }

    void differingDiscreteInputsReadAsSuch()
    {
        QFETCH(QList<int>, filterOn);
        QFETCH(QList<int>, window);
        QFETCH(QString, filterNote);
        QFETCH(QString, pulses);
        Page p;
        QList<IoResource::Ptr_t> dins;
        for (const IoResource::Ptr_t& r : ofKind(p.system, p.s.m1, ResourceKind::Din)) {
            if (r->subType() != 1 && dins.size() < 2)
                dins << r;
        }
        QCOMPARE(dins.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const quint8 on = quint8(filterOn[i]);
            const quint16 w = quint16(window[i]);
            EditorFixture::setConfig(dins[i], [=](AbstractConfig& c) {
                c.din.filterOn = on;
                c.din.filter = w;
            });
        }
        // Shown after another selection, so that nothing of a former state lingers unseen.
        select(p, {dins[0]});
        select(p, dins);
        Editor* editor = editorOf(p, ResourceKind::Din);
        const auto label = [editor](const char* name) { return editor->findChild<QLabel*>(name); };
        const QLabel* note = label("label_InfoHwFilter");
        QCOMPARE(note->isHidden() ? QString() : note->text(), filterNote);
        QCOMPARE(visibleText({label("labelNote"), label("label_Value"), label("label_Value_Units"),
                              label("labelNoteFreq"), label("label_Value_Freq"),
                              label("label_Value_Units_Freq")}),
                 pulses);

        // Switching the filter off for all of them makes the hardware's claim true again.
        auto* box = editor->findChild<QCheckBox*>("checkBoxFilter");
        box->setCheckState(Qt::Unchecked);
        QCOMPARE(note->text(), QStringLiteral("Работает аппаратная фильтрация"));
        QVERIFY(!note->isHidden());
    }
};

QTEST_MAIN(EditorEntryTest)
#include "tst_editorentry.moc"
