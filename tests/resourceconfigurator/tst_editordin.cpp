// The discrete-input editor: the pulse length and pass frequency a filter window gives, windows
// outside the device's range, the mixed states of a differing selection and the counter reset.
#include "editorfixture.h"
#include "resourceconfigurator/editordin.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"
#include "widgets/stylesource.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

using namespace ResourceFixture;
using namespace EditorFixture;

namespace {


struct Inputs
{
    SystemModel system;
    System s;
    QList<IoResource::Ptr_t> dins;
    EditorDin editor;
    Inputs()
        : s(build(system))
        , dins(ofKind(system, s.m1, ResourceKind::Din).mid(0, 2))
    {
        editor.setDevices({s.m1});
    }
    QString text(const char* name) const { return editor.findChild<QLabel*>(name)->text(); }
    // Pulse length, its unit, pass frequency, its unit.
    QStringList labels() const
    {
        return {text("label_Value"), text("label_Value_Units"), text("label_Value_Freq"),
                text("label_Value_Units_Freq")};
    }
    template <typename T>
    T* widget(const char* name) const { return editor.findChild<T*>(name); }
};

} // namespace

class EditorDinTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        EditorFixture::initEditorTest();
    }

    // The editor's check boxes look like every other one of the program, also after the form
    // has been retranslated.
    void checkBoxesKeepTheProgramsLook_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"checkBoxFilter", "checkBoxAcEnable"})
            QTest::newRow(name) << name;
    }

    void checkBoxesKeepTheProgramsLook()
    {
        QFETCH(QString, name);
        Inputs in;
        QEvent languageChange(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&in.editor, &languageChange);
        auto* box = in.editor.findChild<QCheckBox*>(name);
        box->setChecked(false);
        box->setEnabled(true);
        in.editor.show();
        QWidget holder;
        auto* reference = new QCheckBox(&holder);
        reference->setPalette(box->palette());
        applyCheckBoxStyle(reference);
        reference->setGeometry(box->rect());
        holder.show();
        QCOMPARE(box->grab().toImage(), reference->grab().toImage());
    }

    void pulseLengthAndPassFrequency_data()
    {
        QTest::addColumn<bool>("filterOn");
        QTest::addColumn<int>("window");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("shownWindow");
        const auto row = [](const char* name, bool on, int window, QStringList labels, int shown) {
            QTest::newRow(name) << on << window << labels << shown;
        };
        row("hardware filter", false, 7, {"25.0", "мкс", "20.0", "кГц)"}, 7);
        row("window 1", true, 1, {"500.0", "мкс", "1.0", "кГц)"}, 1);
        row("window 2", true, 2, {"1.0", "мс", "500.0", "Гц)"}, 2);
        row("window 3", true, 3, {"1.5", "мс", "333.3", "Гц)"}, 3);
        row("window 2000", true, 2000, {"1.0", "сек", "0.5", "Гц)"}, 2000);
        row("window 20000", true, 20000, {"10.0", "сек", "0.1", "Гц)"}, 20000);
        // Windows the device does not accept show as they are, and count the pulses they stand
        // for: none shorter than the hardware filter's.
        row("window 0", true, 0, {"25.0", "мкс", "20.0", "кГц)"}, 0);
        row("window 30000", true, 30000, {"15.0", "сек", "0.0", "Гц)"}, 30000);
    }

    void pulseLengthAndPassFrequency()
    {
        QFETCH(bool, filterOn);
        QFETCH(int, window);
        QFETCH(QStringList, labels);
        QFETCH(int, shownWindow);
        Inputs in;
        setConfig(in.dins[0], [&](AbstractConfig& c) {
            c.din.filterOn = filterOn;
            c.din.filter = quint16(window);
        });
        QSignalSpy changes(&in.editor, resourceChange);
        in.editor.setResources({in.dins[0]});
        QCOMPARE(in.labels(), labels);
        QCOMPARE(in.widget<QSpinBox>("spinBoxFilterWindow")->text(), QString::number(shownWindow));
        QCOMPARE(in.widget<QLabel>("label_InfoHwFilter")->isHidden(), filterOn);

        // A language change computes the labels again instead of showing the form's.
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&in.editor, &change);
        QCOMPARE(in.labels(), labels);
        QCOMPARE(changes.count(), 0);
    }

    void differingWindowsThenOneEntry()
    {
        Inputs in;
        setConfig(in.dins[0], [](AbstractConfig& c) { c.din.filterOn = true; c.din.filter = 4; c.din.ac = true; });
        setConfig(in.dins[1], [](AbstractConfig& c) { c.din.filterOn = true; c.din.filter = 9; });
        QSignalSpy changes(&in.editor, resourceChange);
        in.editor.setResources(in.dins);
        auto* box = in.widget<QSpinBox>("spinBoxFilterWindow");
        QCOMPARE(box->text(), QStringLiteral(" "));
        // No pulse length fits both: the note says so instead of showing blank numbers.
        QVERIFY(in.widget<QLabel>("label_Value")->isHidden());
        QVERIFY(in.widget<QLabel>("label_Value_Units_Freq")->isHidden());
        QCOMPARE(in.widget<QCheckBox>("checkBoxAcEnable")->checkState(), Qt::PartiallyChecked);
        QCOMPARE(changes.count(), 0);

        // One step up from the blank is the smallest window, never 0.
        box->stepUp();
        QCOMPARE(changes.count(), 1);
        const Editor::ResourceConfigs_t map = configsAt(changes, 0);
        QCOMPARE(map.size(), 2);
        QCOMPARE(map[in.dins[0]].din.filter, quint16(1));
        QCOMPARE(map[in.dins[1]].din.filter, quint16(1));
        QCOMPARE(map[in.dins[0]].din.ac, true);
        QCOMPARE(map[in.dins[1]].din.ac, false);
        box->setValue(EditorDin::WindowMax + 5);
        QCOMPARE(configsAt(changes, 1)[in.dins[1]].din.filter, quint16(EditorDin::WindowMax));
    }

    void partlyCheckedFilterWritesOnlyWhenChosen()
    {
        Inputs in;
        setConfig(in.dins[0], [](AbstractConfig& c) { c.din.filterOn = false; c.din.filter = 3; });
        setConfig(in.dins[1], [](AbstractConfig& c) { c.din.filterOn = true; c.din.filter = 3; });
        QSignalSpy changes(&in.editor, resourceChange);
        in.editor.setResources(in.dins);
        auto* filter = in.widget<QCheckBox>("checkBoxFilter");
        QCOMPARE(filter->checkState(), Qt::PartiallyChecked);
        QVERIFY(!in.widget<QLabel>("label_InfoHwFilter")->isHidden());
        // The inputs count pulses of different lengths: no number stands for both.
        QVERIFY(in.widget<QLabel>("label_Value")->isHidden());
        filter->click();
        QCOMPARE(filter->checkState(), Qt::Checked);
        QCOMPARE(changes.count(), 1);
        for (const AbstractConfig& c : configsAt(changes, 0))
            QCOMPARE(c.din.filterOn, true);
    }

    void slowInputs()
    {
        Inputs in;
        in.dins[0]->setSubType(1);
        setConfig(in.dins[0], [](AbstractConfig& c) { c.din.filter = 1; });
        in.editor.setResources({in.dins[0]});
        QVERIFY(in.widget<QCheckBox>("checkBoxFilter")->isHidden());
        QVERIFY(!in.widget<QSpinBox>("spinBoxFilterWindow")->isHidden());
        QCOMPARE(in.labels(), QStringList({"500.0", "мкс", "1.0", "кГц)"}));
        // A slow and a counting input together: no filter setting fits both.
        in.editor.setResources(in.dins);
        QVERIFY(in.widget<QSpinBox>("spinBoxFilterWindow")->isHidden());
        QCOMPARE(in.widget<QSpinBox>("spinBoxFilterWindow")->text(), QStringLiteral(" "));
    }

    void counterResetWhileMonitoring()
    {
        Inputs in;
        in.editor.setResources(in.dins);
        in.editor.setControlling(true);
        QSignalSpy controls(&in.editor, &Editor::control);
        auto* reset = in.widget<QPushButton>("pushButtonReset");
        QTest::mousePress(reset, Qt::LeftButton);
        QTest::mouseRelease(reset, Qt::LeftButton);
        QCOMPARE(controls.count(), 2);
        for (int i = 0; i < 2; ++i) {
            const Editor::ResourceValues_t sent = valuesAt(controls, i);
            QCOMPARE(sent.size(), 2);
            for (const AbstractValue& v : sent)
                QCOMPARE(v.din.reset, quint16(i == 0 ? 1 : 0));
        }
    }
};

QTEST_MAIN(EditorDinTest)
#include "tst_editordin.moc"
