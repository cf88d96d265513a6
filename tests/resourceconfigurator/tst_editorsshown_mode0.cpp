// What the editors show outside the "Tav Configurator" brand (mode 0): the label section for
// controllers only, and every choice and every number box fed from the records on the records'
// own value.
#include "ainfixture.h"
#include "resourceconfigurator/editoraincalibr.h"
#include "resourceconfigurator/editorainconfig.h"
#include "resourceconfigurator/editoraout.h"
#include "resourceconfigurator/editordin.h"
#include "resourceconfigurator/editorkor.h"
#include "resourceconfigurator/editorserialport.h"
#include "resourceconfigurator/editorviewer.h"
#include "support/isolatedenvironment.h"
#include "widgets/switch.h"
#include "widgets/wheelguard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QtTest>
#include <qpa/qwindowsysteminterface.h>

#include <type_traits>

using namespace ResourceFixture;

namespace {

// The record's field a number box stands for, handed to `use` as itself.
template <typename Use>
void withField(AbstractConfig& c, AbstractValue& v, const QString& field, Use use)
{
    SensorBlock& sensor = c.ain.sensors[0];
    field == "save"       ? use(c.aout.save)
    : field == "output"   ? use(v.aout.value)
    : field == "control"  ? use(v.aout.overrideValue)
    : field == "onePole"  ? use(c.ain.onePole)
    : field == "window"   ? use(c.din.filter)
    : field == "safeTime" ? use(c.port.safeTime)
    : field == "scMin"    ? use(c.ain.scMin)
    : field == "scMax"    ? use(c.ain.scMax)
    : field == "scOffset" ? use(c.ain.scOffset)
    : field == "rref"     ? use(sensor.rref)
    : field == "tref"     ? use(sensor.tref)
                          : use(sensor.abFactor);
}

} // namespace

class EditorsShownMode0Test : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        WheelGuard::install();
        QCOMPARE(ModelFixture::loadCatalogueAs("tav-test").mode, 0);
        SystemModel::registerMetaTypes();
        EditorFixture::registerMaps();
    }

    void labelSectionOnlyForControllers_data()
    {
        QTest::addColumn<bool>("plc");
        QTest::addColumn<bool>("shown");
        QTest::newRow("PLC alone") << true << false;
        QTest::newRow("controller alone") << false << true;
    }

    void labelSectionOnlyForControllers()
    {
        QFETCH(bool, plc);
        QFETCH(bool, shown);
        const DeviceType_t plcType = SettingsProvider::instance().plcTypes.value(0);
        QVERIFY(plcType);
        SystemModel system;
        const Device::Ptr_t device = add(system, plc ? plcType : ModelFixture::kTav1020, 0);
        QVERIFY(device);
        EditorViewer viewer(&system);
        Editor* kor = viewer.editor(EditorViewer::LabelEditor);
        QVERIFY(kor);
        viewer.edit({device}, {});
        QCOMPARE(viewer.currentEditor(), kor);
        QCOMPARE(kor->findChild<QWidget*>("labelContainer")->isVisibleTo(kor), shown);
    }

    // A choice fed from the records shows their value, or none where they differ or where their
    // value is none of its items; showing it is no edit, and the records keep their value until
    // the user chooses. The value-mode switch's first segment is the raw value (1), the second
    // the scaled one (2).
    void choiceShowsTheRecordsValueOrNone_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("segment");
        QTest::newRow("raw") << "comboBoxAinMode" << 1 << 1 << 0;
        QTest::newRow("scaled") << "comboBoxAinMode" << 2 << 2 << 1;
        QTest::newRow("mixed") << "comboBoxAinMode" << 1 << 2 << -1;
        QTest::newRow("value mode of neither segment") << "comboBoxAinMode" << 3 << 3 << -1;
        QTest::newRow("sensor the catalogue lacks") << "comboBoxType" << 999 << 999 << -1;
        QTest::newRow("input mode of no button") << "range" << 9 << 9 << -1;
        QTest::newRow("unlisted baud rate") << "comboBoxBaudRate" << 3750000 << 0 << -1;
        QTest::newRow("protocol of neither item") << "comboBoxProtocol" << 2 << 0 << -1;
    }

    void choiceShowsTheRecordsValueOrNone()
    {
        QFETCH(QString, choice);
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, segment);
        AinFixture::Inputs in;
        add(in.system, ModelFixture::kTav1020, 0);
        const bool ofPort = choice == "comboBoxBaudRate" || choice == "comboBoxProtocol";
        // Inputs 1 and 3: of different pairs, so neither edit drags the other along.
        const QList<IoResource::Ptr_t> records =
            ofPort ? in.system.serialPorts() : QList<IoResource::Ptr_t>{in.ains[0], in.ains[2]};
        QScopedPointer<Editor> editor(ofPort ? static_cast<Editor*>(new EditorSerialPort)
                                             : new EditorAinConfig);
        // Shown first as they come, so that a former choice would linger.
        editor->setResources(records);
        for (int i = 0; i < 2; ++i) {
            AbstractConfig c = EditorFixture::exported(records[i]);
            const auto set = [value = i ? second : first](auto& f) {
                f = std::remove_reference_t<decltype(f)>(value);
            };
            c.ain.range = choice == "comboBoxType" ? Ain::Rtd : c.ain.range;
            choice == "comboBoxBaudRate"   ? set(c.port.baud)
            : choice == "comboBoxProtocol" ? set(c.port.mode)
            : choice == "comboBoxAinMode"  ? set(c.ain.pollAin)
            : choice == "comboBoxType"     ? set(c.ain.tsType)
                                           : set(c.ain.range);
            records[i]->importConfig(c);
        }
        QSignalSpy changes(editor.data(), EditorFixture::resourceChange);
        editor->setResources(records);
        if (choice == "range") {
            QCOMPARE(editor->findChild<QRadioButton*>("radioButtonHidden")->isChecked(),
                     segment < 0);
        } else if (auto* modeSwitch = editor->findChild<Switch*>(choice)) {
            QVERIFY(modeSwitch->isVisibleTo(editor.data()));
            QCOMPARE(modeSwitch->currentIndex(), segment);
        } else {
            QCOMPARE(editor->findChild<QComboBox*>(choice)->currentIndex(), segment);
        }
        QCOMPARE(changes.count(), 0);
    }

    // A number box fed from a record outside the box's range, or finer than its decimals, shows
    // the record's value, marked, never the range's end or a rounded value; a value entered
    // there, the range's end or the rounded value included, is an edit. A step from a value
    // outside the range (wheel, arrow and page keys) lands on the range's nearest end, which is
    // what the row types; the wheel over a box without the focus changes nothing. Rows without
    // an entry are of boxes the user cannot edit. Modes: 1 current, 2 RTD, 4 NTC.
    void numberShowsTheRecordsValue_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("held");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("entered");
        QTest::addColumn<QString>("action");
        const struct
        {
            const char* name;
            const char* box;
            int mode;
            const char* field;
            double held;
            const char* shown;
            const char* typed;
            double entered;
        } rows[] = {
            {"safe state above", "spinBoxSaveMode", -1, "save", 65535.0, "65.535", "10", 10000.0},
            {"live output above", "spinBoxControl", -1, "output", 65535.0, "65.535", "10", 10000.0},
            {"filter time above", "spinBoxImpulse", -1, "onePole", 1000.0, "120000", "65535", 546.0},
            {"filter window below", "spinBoxFilterWindow", -1, "window", 0.0, "0", "1", 1.0},
            {"filter window above", "spinBoxFilterWindow", -1, "window", 30000.0, "30000", "20000",
             20000.0},
            {"safe time above", "spinBoxSafeMode", -1, "safeTime", 4294967295.0, "4294967295",
             "60000", 60000.0},
            {"output range low, below", "f10", 1, "scMin", -200000.0, "-200000.00", "-99999",
             -99999.0},
            {"output range low, above", "f10", 1, "scMin", 2e8, "200000000.00", "100000000", 1e8},
            {"output range high, below", "f11", 1, "scMax", -200000.0, "-200000.00", "-99999",
             -99999.0},
            {"output range high, above", "f11", 1, "scMax", 2e8, "200000000.00", "100000000", 1e8},
            {"RTD R nom above", "f00", 2, "rref", 4294967295.0, "4294967295", "100000000", 1e8},
            {"RTD T nom above", "f01", 2, "tref", 4294967295.0, "4294967295", "", 0.0},
            {"RTD alpha below", "f10", 2, "abFactor", -0.5, "-0.500000", "0", 0.0},
            {"RTD alpha above", "f10", 2, "abFactor", 2e8, "200000000.000000", "100000000", 1e8},
            {"RTD correction below", "f20", 2, "scOffset", -20000.0, "-20000.00", "-10000",
             -10000.0},
            {"RTD correction above", "f20", 2, "scOffset", 20000.0, "20000.00", "10000", 10000.0},
            {"NTC R nom above", "f00", 4, "rref", 4294967295.0, "4294967295", "100000000", 1e8},
            {"NTC T nom above", "f01", 4, "tref", 4294967295.0, "4294967295", "100000000", 1e8},
            {"NTC beta below", "f10", 4, "abFactor", -5.0, "-5.0", "0", 0.0},
            {"NTC beta above", "f10", 4, "abFactor", 2e8, "200000000.0", "100000000", 1e8},
        };
        const char* const steps[] = {"unfocused wheel", "wheel", "Up", "Down", "PgUp", "PgDown"};
        for (const auto& r : rows) {
            QTest::addRow("%s", r.name) << r.box << r.mode << r.field << r.held << r.shown
                                        << r.typed << r.entered << "";
            for (const char* step : steps) {
                if (*r.typed) {
                    QTest::addRow("%s, %s", r.name, step) << r.box << r.mode << r.field << r.held
                                                          << r.shown << r.typed << r.entered
                                                          << step;
                }
            }
        }
        QTest::newRow("RTD alpha above, refilled") << "f10" << 2 << "abFactor" << 2e8
                                                   << "200000000.000000" << "" << 1.0
                                                   << "refilled";
        // Finer than the box shows: the rounded value typed is taken. Fields in single precision
        // take the typed value in single precision.
        QTest::newRow("safe state finer") << "spinBoxSaveMode" << -1 << "save" << 9999.0 << "9.999"
                                          << "10" << 10000.0 << "";
        QTest::newRow("safe state finer, Down") << "spinBoxSaveMode" << -1 << "save" << 9999.0
                                                << "9.999" << "" << 9900.0 << "Down";
        QTest::newRow("live output finer") << "spinBoxControl" << -1 << "output" << 4237.0
                                           << "4.237" << "4.2" << 4200.0 << "";
        QTest::newRow("output range high finer") << "f11" << 1 << "scMax" << 172.537 << "172.537"
                                                 << "172.54" << double(172.54f) << "";
        QTest::newRow("output range low finer") << "f10" << 1 << "scMin" << -72.125 << "-72.125"
                                                << "-72.13" << double(-72.13f) << "";
        QTest::newRow("output range high finer, to a whole number")
            << "f11" << 1 << "scMax" << 20.0049 << "20.0049" << "20" << 20.0 << "";
        QTest::newRow("RTD alpha finer") << "f10" << 2 << "abFactor" << 0.00385055 << "0.00385055"
                                         << "0.003851" << 0.003851 << "";
        QTest::newRow("RTD correction finer") << "f20" << 2 << "scOffset" << 0.125 << "0.125"
                                              << "0.13" << double(0.13f) << "";
        QTest::newRow("NTC beta finer") << "f10" << 4 << "abFactor" << 3456.95 << "3456.95"
                                        << "3457" << 3457.0 << "";
        // A step from a catalogue sensor's beta moves one step from the value shown.
        QTest::newRow("NTC beta of the catalogue, Up") << "f10" << 4 << "abFactor" << 3837.7
                                                       << "3837.7" << "" << 3838.7 << "Up";
    }

    void numberShowsTheRecordsValue()
    {
        QFETCH(QString, box);
        QFETCH(int, mode);
        QFETCH(QString, field);
        QFETCH(double, held);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(double, entered);
        QFETCH(QString, action);
        SystemModel system;
        const System s = build(system);
        QScopedPointer<Editor> editor;
        QList<IoResource::Ptr_t> records;
        if (box.startsWith("spinBoxS") || box == "spinBoxControl") {
            records = ofKind(system, s.m1, ResourceKind::Aout);
            editor.reset(box == "spinBoxSafeMode" ? static_cast<Editor*>(new EditorSerialPort)
                                                  : new EditorAout);
            if (box == "spinBoxSafeMode")
                records = system.serialPorts();
        } else if (box == "spinBoxFilterWindow") {
            records = ofKind(system, s.m1, ResourceKind::Din);
            editor.reset(new EditorDin);
        } else {
            records = ofKind(system, s.m2, ResourceKind::Ain);
            editor.reset(mode < 0 ? static_cast<Editor*>(new EditorAinConfig)
                                  : new EditorAinCalibr);
        }
        records = records.mid(0, 1);
        AbstractConfig c = EditorFixture::exported(records[0]);
        AbstractValue v;
        v.kind = ResourceKind::Block;
        records[0]->exportValue(v);
        c.din.filterOn = 1;
        c.ain.range = qMax(mode, 0);
        // A user's own RTD sensor: its parameters are the user's to edit.
        c.ain.tsType = mode == 2 ? 90 : c.ain.tsType;
        const auto store = [&](double value) {
            withField(c, v, field, [value](auto& f) {
                using Field = std::remove_reference_t<decltype(f)>;
                f = std::is_integral<Field>::value ? Field(qint64(value)) : Field(value);
            });
            records[0]->importConfig(c);
            records[0]->importValue(v);
        };
        store(held);
        // T nom of an NTC input is edited by hand.
        if (auto* manual = editor->findChild<QCheckBox*>("manual"))
            manual->setChecked(mode == 4);
        editor->setControlling(field == "output");
        QSignalSpy changes(editor.data(), EditorFixture::resourceChange);
        QSignalSpy controls(editor.data(), &Editor::control);
        auto* number = editor->findChild<QAbstractSpinBox*>(box);
        if (action.contains("wheel")) {
            // The wheel as the user turns it, over the box of a window that is active.
            editor->show();
            editor->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(editor.data()));
        }
        const int formWidth = number->width();
        editor->setResources(records);
        QCOMPARE(number->text(), shown.replace('.', number->locale().decimalPoint()));
        const bool marked = !QByteArray(QTest::currentDataTag()).contains("catalogue");
        QCOMPARE(number->property("outOfRange").toBool(), marked);
        QCOMPARE(number->toolTip().contains(shown), marked);
        QCOMPARE(changes.count() + controls.count(), 0);
        if (typed.isEmpty() && action.isEmpty()) {
            QVERIFY(!number->isEnabled());
            return;
        }

        if (action == "refilled") {
            // Refilled with a value of the range, then with the held one, twice over: the box
            // takes its own width back every time.
            for (int round = 0; round < 2; ++round) {
                store(entered);
                editor->setResources(records);
                QVERIFY(!number->property("outOfRange").toBool());
                QCOMPARE(number->width(), formWidth);
                store(held);
                editor->setResources(records);
                QVERIFY(number->width() > formWidth);
            }
            QCOMPARE(changes.count() + controls.count(), 0);
            return;
        }
        if (action.contains("wheel")) {
            if (action == "wheel")
                number->setFocus();
            else
                number->clearFocus();
            const QPoint inside = number->mapTo(editor.data(), number->rect().center());
            QWindowSystemInterface::handleWheelEvent(editor->windowHandle(), inside,
                                                     editor->mapToGlobal(inside), QPoint(),
                                                     QPoint(0, 120));
            QWindowSystemInterface::flushWindowSystemEvents();
            if (action != "wheel") {
                QCOMPARE(changes.count() + controls.count(), 0);
                QCOMPARE(number->text(), shown);
                QVERIFY(!number->hasFocus());
                return;
            }
        } else if (!action.isEmpty()) {
            QTest::keyClick(number, Qt::Key(QKeySequence(action)[0]));
        } else {
            // The shown value typed again is the record's own: no edit, and it stays shown.
            for (const QString& text : {shown, typed}) {
                number->selectAll();
                QTest::keyClicks(number, text);
                QTest::keyClick(number, Qt::Key_Return);
                QCOMPARE(changes.count() + controls.count(), text == shown ? 0 : 1);
                if (text == shown)
                    QCOMPARE(number->text(), shown);
            }
        }
        QCOMPARE(changes.count() + controls.count(), 1);
        QVERIFY(!number->property("outOfRange").toBool());
        QCOMPARE(number->width(), formWidth);
        if (changes.count())
            c = EditorFixture::configsAt(changes, 0).value(records[0]);
        else
            v = EditorFixture::valuesAt(controls, 0).value(records[0]);
        double now = 0;
        withField(c, v, field == "output" ? QStringLiteral("control") : field,
                  [&now](const auto& f) { now = double(f); });
        QCOMPARE(now, entered);
    }
};

QTEST_MAIN(EditorsShownMode0Test)
#include "tst_editorsshown_mode0.moc"
