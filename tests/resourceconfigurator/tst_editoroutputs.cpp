// The editors of analogue and discrete outputs: volts to millivolts, the safe state of a differing
// selection, the slider and spin box of the live output and the on/off switch.
#include "editorfixture.h"
#include "resourceconfigurator/editoraout.h"
#include "resourceconfigurator/editordout.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"
#include "widgets/switch.h"

#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSlider>
#include <QtTest>

using namespace ResourceFixture;
using namespace EditorFixture;

namespace {


struct Outputs
{
    SystemModel system;
    System s;
    QList<IoResource::Ptr_t> aouts, douts;
    Outputs()
        : s(build(system))
        , aouts(ofKind(system, s.m1, ResourceKind::Aout))
        , douts(ofKind(system, s.m1, ResourceKind::Dout).mid(0, 2))
    {
    }
};

} // namespace

class EditorOutputsTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        EditorFixture::initEditorTest();
    }

    void voltsBecomeWholeMillivolts()
    {
        QCOMPARE(EditorAout::toMillivolts(2.3), quint16(2300));
        QCOMPARE(EditorAout::toMillivolts(7.3), quint16(7300));
        QCOMPARE(EditorAout::toMillivolts(0.1), quint16(100));
        QCOMPARE(EditorAout::toMillivolts(10.0), quint16(10000));
        // The blank below the range is no voltage: never a wrap-around to the top.
        QCOMPARE(EditorAout::toMillivolts(-0.1), quint16(0));
    }

    void aoutSafeStateOfADifferingPair()
    {
        Outputs o;
        QCOMPARE(o.aouts.size(), 2);
        setConfig(o.aouts[0], [](AbstractConfig& c) { c.aout.save = 2500; c.aout.blockWord = 7; });
        setConfig(o.aouts[1], [](AbstractConfig& c) { c.aout.save = 3000; c.aout.blockWord = 9; });
        EditorAout editor;
        QSignalSpy changes(&editor, resourceChange);
        editor.setResources(o.aouts);
        auto* box = editor.findChild<QDoubleSpinBox*>("spinBoxSaveMode");
        QCOMPARE(box->text(), QStringLiteral(" "));
        QCOMPARE(changes.count(), 0);

        box->setValue(7.3);
        QCOMPARE(changes.count(), 1);
        const Editor::ResourceConfigs_t map = configsAt(changes, 0);
        QCOMPARE(map.size(), 2);
        QCOMPARE(map[o.aouts[0]].aout.save, quint16(7300));
        QCOMPARE(map[o.aouts[1]].aout.save, quint16(7300));
        // Every other field is each output's own.
        QCOMPARE(map[o.aouts[0]].aout.blockWord, 7u);
        QCOMPARE(map[o.aouts[1]].aout.blockWord, 9u);

        setConfig(o.aouts[1], [](AbstractConfig& c) { c.aout.save = 2500; });
        editor.setResources(o.aouts);
        QCOMPARE(box->value(), 2.5);
        QVERIFY(box->specialValueText().isEmpty());
        QCOMPARE(changes.count(), 1);
    }

    void aoutSliderAndSpinBoxWhileMonitoring()
    {
        Outputs o;
        EditorAout editor;
        editor.setResources(o.aouts);
        auto* spin = editor.findChild<QDoubleSpinBox*>("spinBoxControl");
        auto* slider = editor.findChild<QSlider*>("sliderControl");
        editor.setControlling(true);
        QCOMPARE(spin->text(), QStringLiteral(" "));
        QCOMPARE(slider->value(), 50);

        // Outputs reporting one value show it; differing values show the blank again.
        for (const IoResource::Ptr_t& r : o.aouts)
            setValue(r, [](AbstractValue& v) { v.aout.value = 4200; });
        editor.setResources(o.aouts);
        QCOMPARE(spin->value(), 4.2);
        QCOMPARE(slider->value(), 42);
        setValue(o.aouts[1], [](AbstractValue& v) { v.aout.value = 1000; });
        editor.setResources(o.aouts);
        QCOMPARE(spin->text(), QStringLiteral(" "));

        QSignalSpy controls(&editor, &Editor::control);
        // Dragging shows the voltage but sends nothing until the handle is released.
        slider->setSliderDown(true);
        for (int position = 10; position <= 37; ++position)
            slider->setSliderPosition(position);
        QCOMPARE(spin->value(), 3.7);
        QCOMPARE(controls.count(), 0);
        slider->setSliderDown(false);
        QCOMPARE(controls.count(), 1);
        Editor::ResourceValues_t sent = valuesAt(controls, 0);
        QCOMPARE(sent.size(), 2);
        for (const AbstractValue& v : sent) {
            QCOMPARE(v.aout.control, quint8(1));
            QCOMPARE(v.aout.overrideValue, qint16(3700));
        }

        spin->setValue(4.5);
        QCOMPARE(slider->value(), 45);
        QCOMPARE(controls.count(), 2);
        sent = valuesAt(controls, 1);
        QCOMPARE(sent[o.aouts[1]].aout.overrideValue, qint16(4500));

        editor.setControlling(false);
        QVERIFY(editor.findChild<QWidget*>("frameControl")->isHidden());
    }

    void doutSafeStateOfADifferingPair()
    {
        Outputs o;
        setConfig(o.douts[0], [](AbstractConfig& c) { c.dout.save = 1; c.dout.reserved = 3; });
        setConfig(o.douts[1], [](AbstractConfig& c) { c.dout.save = 0; c.dout.reserved = 4; });
        EditorDout editor;
        QSignalSpy changes(&editor, resourceChange);
        editor.setResources(o.douts);
        auto* close = editor.findChild<QRadioButton*>("radioButtonClose");
        auto* open = editor.findChild<QRadioButton*>("radioButtonOpen");
        QVERIFY(!close->isChecked() && !open->isChecked());

        close->click();
        QCOMPARE(changes.count(), 1);
        const Editor::ResourceConfigs_t map = configsAt(changes, 0);
        QCOMPARE(map.size(), 2);
        QCOMPARE(map[o.douts[0]].dout.save, qint16(1));
        QCOMPARE(map[o.douts[1]].dout.save, qint16(1));
        QCOMPARE(map[o.douts[1]].dout.reserved, quint16(4));

        setConfig(o.douts[1], [](AbstractConfig& c) { c.dout.save = 1; });
        editor.setResources(o.douts);
        QVERIFY(close->isChecked());
        QCOMPARE(changes.count(), 1);
    }

    void doutSwitchWhileMonitoring()
    {
        Outputs o;
        EditorDout editor;
        auto* onOff = editor.findChild<Switch*>("onoffSwitch");
        QSignalSpy controls(&editor, &Editor::control);
        editor.setControlling(true);
        for (const IoResource::Ptr_t& r : o.douts)
            setValue(r, [](AbstractValue& v) { v.dout.value = 1; });
        // Without the set flag on the first output the state is not known.
        editor.setResources(o.douts);
        QCOMPARE(onOff->currentIndex(), -1);
        setValue(o.douts[0], [](AbstractValue& v) { v.dout.control = 1; });
        editor.setResources(o.douts);
        QCOMPARE(onOff->currentIndex(), 0);
        setValue(o.douts[1], [](AbstractValue& v) { v.dout.value = 0; });
        editor.setResources(o.douts);
        QCOMPARE(onOff->currentIndex(), -1);
        QCOMPARE(controls.count(), 0);

        onOff->setCurrentIndex(1, true);
        onOff->setCurrentIndex(0, true);
        QCOMPARE(controls.count(), 2);
        for (int i = 0; i < 2; ++i) {
            const Editor::ResourceValues_t sent = valuesAt(controls, i);
            QCOMPARE(sent.size(), 2);
            for (const AbstractValue& v : sent) {
                QCOMPARE(v.dout.control, quint8(1));
                QCOMPARE(v.dout.value, quint16(i == 0 ? 0 : 1));
                QCOMPARE(v.dout.overrideValue, quint16(i == 0 ? 0 : 1));
            }
        }

        // A language change gives the switch its texts again and sends nothing.
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&editor, &change);
        QCOMPARE(onOff->count(), 2);
        QCOMPARE(controls.count(), 2);
    }
};

QTEST_MAIN(EditorOutputsTest)
#include "tst_editoroutputs.moc"
