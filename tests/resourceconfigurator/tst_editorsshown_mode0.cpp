// What the editors show outside the "Tav Configurator" brand (mode 0): the label section for
// controllers only, and every choice fed from the records on the records' own value.
#include "ainfixture.h"
#include "resourceconfigurator/editorainconfig.h"
#include "resourceconfigurator/editorkor.h"
#include "resourceconfigurator/editorserialport.h"
#include "resourceconfigurator/editorviewer.h"
#include "support/isolatedenvironment.h"
#include "widgets/switch.h"

#include <QComboBox>
#include <QRadioButton>
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
};

QTEST_MAIN(EditorsShownMode0Test)
#include "tst_editorsshown_mode0.moc"
