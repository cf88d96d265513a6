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

#include <optional>

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
        // The field the choice shows, given a value when it is to hold it.
        const auto field = [&choice](const IoResource::Ptr_t& r, std::optional<int> value) {
            AbstractConfig c = EditorFixture::exported(r);
            const auto held = [&value](auto& f) {
                if (value)
                    f = std::remove_reference_t<decltype(f)>(*value);
                return int(f);
            };
            c.ain.range = choice == "comboBoxType" ? Ain::Rtd : c.ain.range;
            const int now = choice == "comboBoxBaudRate"   ? held(c.port.baud)
                            : choice == "comboBoxProtocol" ? held(c.port.mode)
                            : choice == "comboBoxAinMode"  ? held(c.ain.pollAin)
                            : choice == "comboBoxType"     ? held(c.ain.tsType)
                                                           : held(c.ain.range);
            r->importConfig(c);
            return now;
        };
        QScopedPointer<Editor> editor(ofPort ? static_cast<Editor*>(new EditorSerialPort)
                                             : new EditorAinConfig);
        const auto shown = [&editor, &choice] {
            if (choice == "range")
                return editor->findChild<QRadioButton*>("radioButtonHidden")->isChecked() ? -1 : 0;
            if (auto* modeSwitch = editor->findChild<Switch*>(choice))
                return modeSwitch->currentIndex();
            return editor->findChild<QComboBox*>(choice)->currentIndex();
        };
        // Shown after a value it offers, so that no former choice lingers.
        field(records[0], choice == "comboBoxBaudRate" ? 9600 : choice == "comboBoxType" ? 2 : 1);
        editor->setResources({records[0]});
        QVERIFY(shown() >= 0);
        field(records[0], first);
        field(records[1], second);
        QSignalSpy changes(editor.data(), EditorFixture::resourceChange);
        editor->setResources(records);
        QCOMPARE(shown(), segment);
        if (choice == "comboBoxAinMode")
            QVERIFY(editor->findChild<Switch*>(choice)->isVisibleTo(editor.data()));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(field(records[0], std::nullopt), first);
    }
};

QTEST_MAIN(EditorsShownMode0Test)
#include "tst_editorsshown_mode0.moc"
