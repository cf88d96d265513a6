// What the editors show outside the "Tav Configurator" brand (mode 0): the label section for
// controllers only, and the value-mode switch on the inputs' own polling mode.
#include "ainfixture.h"
#include "resourceconfigurator/editorainconfig.h"
#include "resourceconfigurator/editorkor.h"
#include "resourceconfigurator/editorviewer.h"
#include "support/isolatedenvironment.h"
#include "widgets/switch.h"

#include <QtTest>

using namespace ResourceFixture;

class EditorsShownMode0Test : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCOMPARE(ModelFixture::loadCatalogueAs("tav-test").mode, 0);
        SystemModel::registerMetaTypes();
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

    // The switch's first segment is the raw value (1), the second the scaled one (2).
    void valueModeSwitchShowsTheInputsMode_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<int>("segment");
        QTest::newRow("raw") << 1 << 1 << 0;
        QTest::newRow("scaled") << 2 << 2 << 1;
        QTest::newRow("mixed") << 1 << 2 << -1;
    }

    void valueModeSwitchShowsTheInputsMode()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(int, segment);
        AinFixture::Inputs in;
        QVERIFY(in.ains.size() >= 4);
        // Inputs 1 and 3: of different pairs, so neither edit drags the other along.
        AinFixture::change(in.ains.at(0), [first](AinConfig& c) { c.pollAin = first; });
        AinFixture::change(in.ains.at(2), [second](AinConfig& c) { c.pollAin = second; });
        EditorAinConfig editor;
        QSignalSpy changes(&editor, qOverload<const Editor::ResourceConfigs_t&>(&Editor::change));
        editor.setResources({in.ains.at(0), in.ains.at(2)});
        auto* modeSwitch = editor.findChild<Switch*>("comboBoxAinMode");
        QVERIFY(modeSwitch && modeSwitch->isVisibleTo(&editor));
        QCOMPARE(modeSwitch->currentIndex(), segment);
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(EditorsShownMode0Test)
#include "tst_editorsshown_mode0.moc"
