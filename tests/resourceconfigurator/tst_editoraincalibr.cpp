// The analogue-input calibration page and its panels (cells, read-only rules, blanks and what an
// edit writes) and the editor frame that decides when calibration is offered.
#include "ainfixture.h"
#include "editorfixture.h"
#include "resourceconfigurator/currentvoltage.h"
#include "resourceconfigurator/editorain.h"
#include "resourceconfigurator/editoraincalibr.h"
#include "resourceconfigurator/editorainconfig.h"
#include "resourceconfigurator/editorainrules.h"
#include "resourceconfigurator/ntccalibr.h"
#include "resourceconfigurator/rtdcalibr.h"
#include "support/isolatedenvironment.h"
#include "widgets/tabbarnowheel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <limits>

using namespace AinFixture;
using Configs = QMap<IoResource::Ptr_t, AbstractConfig>;

namespace {

struct Page
{
    Inputs in;
    EditorAinCalibr editor;
    QSignalSpy changes{&editor, qOverload<const Configs&>(&Editor::change)};

    QDoubleSpinBox* cell(const char* name) const
    {
        return editor.findChild<QDoubleSpinBox*>(QLatin1String(name));
    }
    QString label(const char* name) const
    {
        return editor.findChild<QLabel*>(QLatin1String(name))->text();
    }
    QCheckBox* manual() const { return editor.findChild<QCheckBox*>(QStringLiteral("manual")); }
    bool blank(const char* name) const
    {
        const QDoubleSpinBox* box = cell(name);
        return box->specialValueText() == QLatin1String(" ") && box->value() == box->minimum();
    }
    Configs lastChange() const { return changes.last().at(0).value<Configs>(); }
};

void setInput(const IoResource::Ptr_t& input, qint32 range, qint32 sensor,
              const SensorBlock& params = SensorBlock())
{
    change(input, [=](AinConfig& c) {
        c.range = range;
        c.tsType = sensor;
        c.sensors[0] = params;
    });
}

} // namespace

class EditorAinCalibrTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        EditorFixture::initEditorTest();
    }

    // The input range is in the device's unit; the output range in the user's scale has none.
    void inputRangeShowsItsUnit_data()
    {
        QTest::addColumn<int>("range");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("high");
        QTest::newRow("current") << int(Ain::Current) << "Тип 4-20 мА" << "4.00 мА" << "20.00 мА";
        QTest::newRow("voltage") << int(Ain::Voltage) << "Тип 0-10 Вольт" << "0.00 мВ"
                                 << "10000.00 мВ";
    }

    void inputRangeShowsItsUnit()
    {
        QFETCH(int, range);
        QFETCH(QString, title);
        QFETCH(QString, low);
        QFETCH(QString, high);
        Page p;
        const IoResource::Ptr_t a = p.in.ains.at(0);
        change(a, [range](AinConfig& c) { c.range = range; c.scMin = 0; c.scMax = 100; });
        p.editor.setResources({a});
        QCOMPARE(p.label("type"), title);
        QCOMPARE(p.cell("f00")->text(), low);
        QCOMPARE(p.cell("f01")->text(), high);
        QCOMPARE(p.cell("f11")->text(), QStringLiteral("100.00"));
    }

    void currentAndVoltagePanels()
    {
        Page p;
        const IoResource::Ptr_t a = p.in.ains.at(0);
        const IoResource::Ptr_t b = p.in.ains.at(1);
        change(a, [](AinConfig& c) { c.range = Ain::Current; c.scMin = 0; c.scMax = 100; });
        p.editor.setResources({a});
        QCOMPARE(p.label("type"), QStringLiteral("Тип 4-20 мА"));
        QCOMPARE(p.label("col0"), QStringLiteral("Мин"));
        QCOMPARE(p.label("row1"), QStringLiteral("Выходной диапазон"));
        QCOMPARE(p.label("row2"), QString());
        QCOMPARE(p.cell("f00")->text(), QStringLiteral("4.00 мА"));
        QCOMPARE(p.cell("f01")->text(), QStringLiteral("20.00 мА"));
        QVERIFY(!p.cell("f00")->isEnabled() && !p.cell("f01")->isEnabled());
        QVERIFY(p.cell("f10")->isEnabled() && p.cell("f11")->isEnabled());
        QCOMPARE(p.cell("f11")->value(), 100.0);
        QCOMPARE(p.cell("f10")->minimum(), -99999.0);
        QCOMPARE(p.cell("f11")->maximum(), 100000000.0);
        QCOMPARE(p.cell("f00")->minimum(), 0.0);
        QVERIFY(!p.cell("f20")->isVisibleTo(&p.editor));
        QVERIFY(!p.manual()->isVisibleTo(&p.editor));

        // An output range never set shows blank; a differing one too, and a negative value
        // typed into the blank is taken for every input.
        change(b, [](AinConfig& c) { c.range = Ain::Current; c.scMin = 0; c.scMax = 0; });
        p.editor.setResources({b});
        QVERIFY(p.blank("f10") && p.blank("f11"));
        change(b, [](AinConfig& c) { c.scMin = 1; });
        p.editor.setResources({a, b});
        QVERIFY(p.blank("f10"));
        QVERIFY(p.blank("f11"));
        QCOMPARE(p.changes.count(), 0);
        p.cell("f10")->setValue(-500.25);
        QCOMPARE(p.changes.count(), 1);
        QCOMPARE(p.lastChange().size(), 2);
        QCOMPARE(p.lastChange().value(b).ain.scMin, -500.25f);

        change(a, [](AinConfig& c) { c.range = Ain::Voltage; });
        p.editor.setResources({a});
        QCOMPARE(p.label("type"), QStringLiteral("Тип 0-10 Вольт"));
        QCOMPARE(p.cell("f01")->text(), QStringLiteral("10000.00 мВ"));
    }

    void rtdPanel()
    {
        Page p;
        const IoResource::Ptr_t a = p.in.ains.at(0);
        const IoResource::Ptr_t b = p.in.ains.at(2);
        setInput(a, Ain::Rtd, 2, {100, 0, 0.00385, 0, 0, 0});
        p.editor.setResources({a});
        QCOMPARE(p.label("type"), QStringLiteral("Тип RTD"));
        QCOMPARE(p.label("row2"), QStringLiteral("Коррекция, °C"));
        QVERIFY(!p.cell("f00")->isEnabled() && !p.cell("f01")->isEnabled());
        QVERIFY(!p.cell("f10")->isEnabled() && p.cell("f20")->isEnabled());
        QCOMPARE(p.cell("f10")->text(), QStringLiteral("0.003850"));
        QCOMPARE(p.cell("f20")->minimum(), -10000.0);
        QCOMPARE(p.cell("f20")->maximum(), 10000.0);
        QVERIFY(!p.cell("f11")->isVisibleTo(&p.editor));
        QVERIFY(!p.manual()->isVisibleTo(&p.editor));

        for (const qint32 user : {90, 91, 92, 93}) {
            setInput(a, Ain::Rtd3Wire, user, {500, 0, 0.00391, 0.5, 0, 0});
            p.editor.setResources({a});
            QVERIFY(p.cell("f00")->isEnabled() && p.cell("f10")->isEnabled());
            QVERIFY(!p.cell("f01")->isEnabled());
        }

        // The correction ranges to -10000 and is taken from the blank.
        change(b, [](AinConfig& c) { c = AinConfig(); });
        setInput(b, Ain::Rtd3Wire, 93, {500, 0, 0.00391, 0.5, 0, 0});
        change(b, [](AinConfig& c) { c.scOffset = 1.5f; });
        p.editor.setResources({a, b});
        QVERIFY(p.blank("f20") && !p.blank("f00"));
        p.cell("f20")->setValue(-9999.5);
        QCOMPARE(p.lastChange().value(a).ain.scOffset, -9999.5f);
        QCOMPARE(p.lastChange().value(b).ain.scOffset, -9999.5f);
        p.cell("f10")->setValue(0.004);
        QCOMPARE(p.lastChange().value(b).ain.sensors[0].abFactor, 0.004);
        QCOMPARE(p.lastChange().value(b).ain.scOffset, 1.5f);
    }

    void ntcPanelAndManualReference()
    {
        Page p;
        QList<IoResource::Ptr_t> three = p.in.ains.mid(0, 3);
        for (int i = 0; i < 3; ++i)
            setInput(three.at(i), Ain::Ntc, 103, {10000 + i, 25, 3977.0 + i * 0.05, 0, 0, 0});
        p.editor.setResources(three);
        QCOMPARE(p.label("type"), QStringLiteral("Тип NTC"));
        QVERIFY(p.manual()->isVisibleTo(&p.editor));
        QCOMPARE(p.manual()->text(), QStringLiteral("Ручн."));
        QVERIFY(!p.cell("f01")->isEnabled());
        p.manual()->setChecked(true);
        QVERIFY(p.cell("f01")->isEnabled());
        p.manual()->setChecked(false);
        QVERIFY(!p.cell("f01")->isEnabled());

        QVERIFY(p.blank("f00"));
        p.cell("f00")->setValue(4700);
        QCOMPARE(p.changes.count(), 1);
        QCOMPARE(p.lastChange().size(), 3);
        for (const IoResource::Ptr_t& r : three)
            QCOMPARE(p.lastChange().value(r).ain.sensors[0].rref, 4700);

        // A discrete input has no table: the page shows none, and keeps none of the former
        // inputs to write into.
        setInput(p.in.ains.at(5), Ain::Discrete, 0);
        p.editor.setResources({p.in.ains.at(5)});
        QCOMPARE(p.label("type"), QString());
        QVERIFY(!p.editor.currentPanel());
        QVERIFY(p.cell("f00")->isHidden());
        p.cell("f00")->setValue(4800);
        QCOMPARE(p.changes.count(), 1);
        p.editor.setResources(three);
        QVERIFY(p.cell("f00")->isVisibleTo(&p.editor) && p.cell("f10")->isVisibleTo(&p.editor));

        // Betas the controller keeps apart, however close: the first one's typed reaches all.
        p.cell("f10")->selectAll();
        QTest::keyClicks(p.cell("f10"), "3977");
        QTest::keyClick(p.cell("f10"), Qt::Key_Return);
        QCOMPARE(p.changes.count(), 2);
        for (const IoResource::Ptr_t& r : three)
            QCOMPARE(p.lastChange().value(r).ain.sensors[0].abFactor, 3977.0);
    }

    // A selection shows the table its inputs share, or none, whatever was shown before and
    // whichever input comes first: nothing of an earlier selection lingers, and a typed cell
    // reaches every selected input. A cell reads "00e" (editable), "01r" (read-only), with "b"
    // for a blank.
    void calibrationShowsWhatTheSelectionShares_data()
    {
        QTest::addColumn<int>("before");
        QTest::addColumn<QList<int>>("modes");
        QTest::addColumn<QList<int>>("sensors");
        QTest::addColumn<int>("panel");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("typed");
        const int none = -1;
        const int rtd = Ain::Rtd;
        const int ntc = Ain::Ntc;
        const int current = Ain::Current;
        QTest::newRow("RTD and NTC") << none << QList<int>{rtd, ntc} << QList<int>{2, 103} << 0
                                     << "" << "";
        QTest::newRow("RTD shown, RTD and NTC")
            << rtd << QList<int>{rtd, ntc} << QList<int>{2, 103} << 0 << "" << "";
        QTest::newRow("NTC shown, NTC and RTD")
            << ntc << QList<int>{ntc, rtd} << QList<int>{103, 2} << 0 << "" << "";
        QTest::newRow("current shown, current and voltage")
            << current << QList<int>{current, int(Ain::Voltage)} << QList<int>{0, 0} << 0 << ""
            << "";
        QTest::newRow("RTD shown, RTD and a discrete input")
            << rtd << QList<int>{rtd, int(Ain::Discrete)} << QList<int>{2, 0} << 0 << "" << "";
        QTest::newRow("NTC shown, two- and three-wire RTD")
            << ntc << QList<int>{rtd, int(Ain::Rtd3Wire)} << QList<int>{2, 2} << 3
            << "00r 01rb 10r 20e" << "20";
        QTest::newRow("RTD shown, user and catalogue sensor")
            << rtd << QList<int>{rtd, rtd} << QList<int>{90, 2} << 3 << "00rb 01rb 10r 20e"
            << "20";
        QTest::newRow("catalogue and user sensor")
            << none << QList<int>{rtd, rtd} << QList<int>{2, 90} << 3 << "00rb 01rb 10r 20e"
            << "20";
        QTest::newRow("RTD shown, current pair with one range unset")
            << rtd << QList<int>{current, current} << QList<int>{0, 0} << 1
            << "00r 01r 10eb 11eb" << "10";
        QTest::newRow("NTC pair") << current << QList<int>{ntc, ntc} << QList<int>{103, 103} << 4
                                  << "00e 01rb 10e" << "00";
    }

    void calibrationShowsWhatTheSelectionShares()
    {
        QFETCH(int, before);
        QFETCH(QList<int>, modes);
        QFETCH(QList<int>, sensors);
        QFETCH(int, panel);
        QFETCH(QString, cells);
        QFETCH(QString, typed);
        Inputs in;
        EditorAin editor;
        editor.show();
        EditorAinCalibr* page = editor.calibrationPage();
        QSignalSpy changes(&editor, qOverload<const Configs&>(&Editor::change));
        const auto cell = [page](const QString& name) {
            return page->findChild<QDoubleSpinBox*>(QLatin1Char('f') + name);
        };
        const auto enter = [&](const char* name, const char* text) {
            editor.tabBar()->setCurrentIndex(EditorAin::calibrationIndex);
            QDoubleSpinBox* box = cell(name);
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, QLatin1String(text));
            QTest::keyClick(box, Qt::Key_Return);
        };
        // Another input, its table shown and a value typed into it.
        if (before != -1) {
            const IoResource::Ptr_t shown = in.ains.at(4);
            const qint32 sensor = before == Ain::Ntc ? 103 : before == Ain::Rtd ? 2 : 0;
            setInput(shown, before, sensor, EditorAinRules::sensorParameters(sensor));
            editor.setResources({shown});
            enter(before == Ain::Ntc ? "00" : before == Ain::Rtd ? "20" : "10", "7");
            QCOMPARE(changes.count(), 1);
            importAll(changes.takeLast().at(0).value<Configs>());
        }
        const QList<IoResource::Ptr_t> pair{in.ains.at(0), in.ains.at(2)};
        for (int i = 0; i < 2; ++i) {
            setInput(pair[i], modes[i], sensors[i], EditorAinRules::sensorParameters(sensors[i]));
            change(pair[i], [i](AinConfig& c) {
                c.scMax = i == 0 ? 100.0f : 0.0f;
                c.sensors[0].tref += i;
            });
        }
        editor.setResources(pair);

        editor.tabBar()->setCurrentIndex(EditorAin::calibrationIndex);
        QCOMPARE(page->currentPanel() ? page->currentPanel()->key() : 0, panel);
        QStringList shown;
        for (const char* name : {"00", "01", "10", "11", "20"}) {
            const QDoubleSpinBox* box = cell(name);
            if (box->isVisible()) {
                const bool blank = box->specialValueText() == QLatin1String(" ")
                                   && box->value() == box->minimum();
                shown << QLatin1String(name) + (box->isEnabled() ? "e" : "r") + (blank ? "b" : "");
            }
        }
        QCOMPARE(shown.join(QLatin1Char(' ')), cells);
        if (panel == 0)
            QCOMPARE(page->findChild<QLabel*>(QStringLiteral("type"))->text(), QString());
        if (typed.isEmpty())
            return;
        enter(qPrintable(typed), "5");
        QCOMPARE(changes.count(), 1);
        const Configs map = changes.last().at(0).value<Configs>();
        QCOMPARE(map.size(), 2);
        for (const IoResource::Ptr_t& r : pair) {
            QVERIFY(map.contains(r));
            const AinConfig c = map.value(r).ain;
            QCOMPARE(typed == "20" ? c.scOffset : typed == "10" ? c.scMin : float(c.sensors[0].rref),
                     5.0f);
        }
    }

    void cellsCompareAsTheControllerKeepsThem()
    {
        CurrentVoltage current(1, 4.0, 20.0);
        RtdCalibr rtd;
        NtcCalibr ntc;
        AinConfig a;
        AinConfig b;
        a.sensors[0].abFactor = 0.00385;
        b.sensors[0].abFactor = double(float(0.00385));
        QVERIFY(rtd.sameCell("10", a, b));
        b.sensors[0].abFactor = 0.00385 + 5e-8;
        QVERIFY(!rtd.sameCell("10", a, b));
        b.sensors[0].abFactor = 0.00385 + 2e-7;
        QVERIFY(!rtd.sameCell("10", a, b));
        b.scOffset = 0.0005f;
        QVERIFY(!rtd.sameCell("20", a, b));
        b.scOffset = 0.002f;
        QVERIFY(!rtd.sameCell("20", a, b));

        a.sensors[0].abFactor = 3977.0;
        b.sensors[0].abFactor = 3977.05;
        QVERIFY(!ntc.sameCell("10", a, b));
        b.sensors[0].abFactor = 3977.2;
        QVERIFY(!ntc.sameCell("10", a, b));
        b.sensors[0].tref = 30;
        QVERIFY(!ntc.sameCell("01", a, b));
        QVERIFY(ntc.sameCell("00", a, b));

        a.scMin = b.scMin = std::numeric_limits<float>::quiet_NaN();
        QVERIFY(!current.sameCell("10", a, b));
        QVERIFY(current.sameCell("11", a, b));
        QVERIFY(!current.sameCell("00", a, b) && !rtd.sameCell("11", a, b));
    }

    void frameOffersCalibrationForOneModeAndSensor()
    {
        Inputs in;
        EditorAin editor;
        QSignalSpy changes(&editor, qOverload<const Configs&>(&Editor::change));
        TabBarNoWheel* tabs = editor.tabBar();
        const IoResource::Ptr_t a = in.ains.at(0);
        const IoResource::Ptr_t b = in.ains.at(2);
        QVERIFY(!EditorAin::calibrationAvailable({}));

        setInput(a, Ain::Rtd, 2);
        setInput(b, Ain::Rtd, 2);
        editor.setResources({a, b});
        QVERIFY(tabs->isTabEnabled(EditorAin::calibrationIndex));
        tabs->setCurrentIndex(EditorAin::calibrationIndex);
        QCOMPARE(editor.currentPage(), static_cast<QWidget*>(editor.calibrationPage()));

        // Different sensors, no sensor, mixed modes, a discrete input: settings only.
        setInput(b, Ain::Rtd, 3);
        editor.setResources({a, b});
        QVERIFY(!tabs->isTabEnabled(EditorAin::calibrationIndex));
        QCOMPARE(editor.currentPage(), static_cast<QWidget*>(editor.configPage()));
        setInput(a, Ain::Rtd, 0);
        setInput(b, Ain::Rtd, 0);
        QVERIFY(!EditorAin::calibrationAvailable({a, b}));
        setInput(a, Ain::Current, 0);
        setInput(b, Ain::Voltage, 0);
        QVERIFY(!EditorAin::calibrationAvailable({a, b}));
        QVERIFY(EditorAin::calibrationAvailable({a}));
        setInput(b, Ain::Discrete, 0);
        QVERIFY(!EditorAin::calibrationAvailable({b}));

        // Both pages' edits leave as the frame's own.
        editor.setResources({a});
        editor.calibrationPage()->findChild<QDoubleSpinBox*>(QStringLiteral("f11"))->setValue(7);
        editor.configPage()->findChild<QSpinBox*>(QStringLiteral("spinBoxImpulse"))->setValue(360);
        QCOMPARE(changes.count(), 2);
        QCOMPARE(changes.at(0).at(0).value<Configs>().value(a).ain.scMax, 7.0f);
        QCOMPARE(changes.at(1).at(0).value<Configs>().value(a).ain.onePole, qint16(3));
    }
};

QTEST_MAIN(EditorAinCalibrTest)
#include "tst_editoraincalibr.moc"
