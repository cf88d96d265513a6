// The analogue-input settings page: what each edit writes (mode changes with their saved
// settings, three-wire partners, sensors, filter steps, freezing), what a selection shows
// (unit texts, wiring texts and pictures, mixed states) and that showing never emits.
#include "ainfixture.h"
#include "editorfixture.h"
#include "resourceconfigurator/editorainconfig.h"
#include "support/isolatedenvironment.h"
#include "widgets/ainconnection.h"
#include "widgets/switch.h"

#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QRegularExpression>
#include <QTranslator>
#include <QtTest>

using namespace AinFixture;
using Configs = QMap<IoResource::Ptr_t, AbstractConfig>;
using Values = QMap<IoResource::Ptr_t, AbstractValue>;

namespace {

struct Page
{
    Inputs in;
    EditorAinConfig editor;
    QSignalSpy changes{&editor, qOverload<const Configs&>(&Editor::change)};
    QSignalSpy controls{&editor, &Editor::control};

    template <typename T>
    T* child(const char* name) const
    {
        T* w = editor.findChild<T*>(QLatin1String(name));
        Q_ASSERT(w);
        return w;
    }
    void click(const char* button) { child<QRadioButton>(button)->click(); }
    Configs lastChange() const { return changes.last().at(0).value<Configs>(); }
    QStringList texts(const char* prefix, int count) const
    {
        QStringList out;
        for (int i = 0; i < count; ++i)
            out << child<QLabel>(QByteArray(prefix).append(QByteArray::number(i)).constData())->text();
        return out;
    }
};

void setRange(const IoResource::Ptr_t& input, qint32 range, qint32 sensor = 0)
{
    change(input, [range, sensor](AinConfig& c) {
        c.range = range;
        c.tsType = sensor;
    });
}

} // namespace

class EditorAinConfigTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        EditorFixture::initEditorTest();
        QCOMPARE(SettingsProvider::instance().irrFilterStep, 120);
    }

    void filterTimeIsRoundedToWholeSteps()
    {
        Page p;
        const IoResource::Ptr_t ain = p.in.ains.first();
        change(ain, [](AinConfig& c) { c.onePole = 5; });
        p.editor.setResources({ain});
        auto* box = p.child<QSpinBox>("spinBoxImpulse");
        QCOMPARE(box->value(), 600);
        const QList<QPair<int, int>> cases{{0, 0}, {50, 1}, {100, 1}, {130, 1},
                                           {180, 1}, {181, 2}, {240, 2}};
        for (const auto& c : cases) {
            box->setValue(c.first);
            QCOMPARE(p.lastChange().value(ain).ain.onePole, qint16(c.second));
        }
        importAll(p.lastChange());
        p.editor.setResources({ain});
        QCOMPARE(box->value(), 240);
        QCOMPARE(box->singleStep(), 120);

        // Differing filters show a blank from which even 0 is taken, for every input.
        change(p.in.ains.at(1), [](AinConfig& c) { c.onePole = 3; });
        p.editor.setResources({ain, p.in.ains.at(1)});
        QCOMPARE(box->text(), QStringLiteral(" "));
        const int before = p.changes.count();
        box->setValue(0);
        QCOMPARE(p.changes.count(), before + 1);
        QCOMPARE(p.lastChange().size(), 2);
        QCOMPARE(p.lastChange().value(p.in.ains.at(1)).ain.onePole, qint16(0));
    }

    void leavingAModeKeepsItsSettingsForTheReturn()
    {
        Page p;
        const IoResource::Ptr_t ain = p.in.ains.first();
        // Never an RTD before: the catalogue's default sensor with its parameters, and the
        // sensor list's rebuild is no choice of a sensor.
        setRange(ain, Ain::Voltage);
        p.editor.setResources({ain});
        QCOMPARE(p.changes.count(), 0);
        p.click("radioButtonRtd");
        QCOMPARE(p.changes.count(), 1);
        const AinConfig rtd = p.lastChange().value(ain).ain;
        QCOMPARE(rtd.range, qint32(Ain::Rtd));
        QCOMPARE(rtd.tsType, 2);
        SensorInfo pt100;
        QVERIFY(SettingsProvider::instance().sensor(2, &pt100));
        QCOMPARE(rtd.sensors[0].rref, pt100.rRef);
        QCOMPARE(rtd.sensors[0].abFactor, pt100.abFactor);

        // NTC -> voltage -> NTC: the sensor and its (edited) parameters come back.
        change(ain, [](AinConfig& c) {
            c.range = Ain::Ntc;
            c.tsType = 105;
            c.sensors[0] = {4700, 25, 3977.0, 0, 0, 0};
        });
        const SensorBlock ntc = EditorFixture::exported(ain).ain.sensors[0];
        p.editor.setResources({ain});
        p.click("radioButton010");
        const AinConfig voltage = p.lastChange().value(ain).ain;
        QCOMPARE(voltage.range, qint32(Ain::Voltage));
        QCOMPARE(voltage.scMax, 10.0f);
        importAll(p.lastChange());
        p.editor.setResources({ain});
        p.click("radioButtonNtc");
        const AinConfig back = p.lastChange().value(ain).ain;
        QCOMPARE(back.range, qint32(Ain::Ntc));
        QCOMPARE(back.tsType, 105);
        QVERIFY(back.sensors[0] == ntc);
    }

    // Each thermometer group keeps its sensor in a word and a block of its own: the RTD's in the
    // first carried word and the second sensor block, the NTC's in the second and the third.
    void leftThermometerSensorIsKeptInItsGroupsWord_data()
    {
        QTest::addColumn<qint32>("range");
        QTest::addColumn<qint32>("sensor");
        QTest::addColumn<int>("word");
        QTest::newRow("RTD") << qint32(Ain::Rtd) << 3 << 1;
        QTest::newRow("3-wire RTD") << qint32(Ain::Rtd3Wire) << 4 << 1;
        QTest::newRow("NTC") << qint32(Ain::Ntc) << 105 << 2;
    }

    void leftThermometerSensorIsKeptInItsGroupsWord()
    {
        QFETCH(qint32, range);
        QFETCH(qint32, sensor);
        QFETCH(int, word);
        Page p;
        const IoResource::Ptr_t ain = p.in.ains.first();
        const SensorBlock parameters{4700, 25, 3977.0, 1, 2, 3};
        change(ain, [&](AinConfig& c) {
            c.range = range;
            c.tsType = sensor;
            c.sensors[0] = parameters;
        });
        p.editor.setResources({ain});
        p.click("radioButton010");
        const AinConfig left = p.lastChange().value(ain).ain;
        const quint32 id = quint32(sensor);
        const QList<quint32> words{word == 1 ? id : 0, word == 2 ? id : 0};
        QCOMPARE(QList<quint32>({left.reserved1, left.reserved2}), words);
        QVERIFY(left.sensors[size_t(word)] == parameters);
        QVERIFY(left.sensors[size_t(3 - word)] == SensorBlock{});
    }

    // The catalogue's Russian standard sensors read in the interface's language, also after a
    // switch of language while they are shown; other names are shown as the catalogue has them.
    void sensorNamesReadInTheInterfaceLanguage_data()
    {
        QTest::addColumn<int>("sensor");
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("name");
        QTest::newRow("platinum, Russian") << 30 << false << "ТСП50";
        QTest::newRow("platinum, English") << 30 << true << "Pt50 (0.00391)";
        QTest::newRow("copper, English") << 42 << true << "Cu1000 (0.00428)";
        QTest::newRow("international, English") << 2 << true << "Pt100";
        QTest::newRow("user's, Russian") << 90 << false << "User RTD50";
    }

    void sensorNamesReadInTheInterfaceLanguage()
    {
        QFETCH(int, sensor);
        QFETCH(bool, english);
        QFETCH(QString, name);
        Page p;
        setRange(p.in.ains.at(0), Ain::Rtd, sensor);
        p.editor.setResources({p.in.ains.at(0)});
        QTranslator translator;
        if (english) {
            QVERIFY(translator.load(QStringLiteral(TAV_I18N_DIR "/tavcfg_en.qm")));
            QCoreApplication::installTranslator(&translator);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        }
        auto* sensors = p.child<QComboBox>("comboBoxType");
        QCOMPARE(sensors->currentText(), name);
        static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
        for (int i = 0; english && i < sensors->count(); ++i)
            QVERIFY2(!sensors->itemText(i).contains(cyrillic), qPrintable(sensors->itemText(i)));
        QCoreApplication::removeTranslator(&translator);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    }

    void threeWireTakesThePartnerAlong()
    {
        Page p;
        const IoResource::Ptr_t first = p.in.ains.at(0);
        const IoResource::Ptr_t partner = p.in.ains.at(1);
        QCOMPARE(first->partner(), partner);
        setRange(first, Ain::Rtd, 3);
        p.editor.setResources({first});
        auto* wires = p.child<Switch>("comboBoxConnection");
        QVERIFY(wires->isEnabled());
        QCOMPARE(wires->currentIndex(), 0);

        emit wires->currentChanged(1);
        Configs map = p.lastChange();
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value(partner), map.value(first));
        QCOMPARE(map.value(first).ain.range, qint32(Ain::Rtd3Wire));
        QCOMPARE(map.value(first).ain.tsType, 3);
        importAll(map);
        QVERIFY(first->isCoupled());

        // A coupled pair takes a sensor together.
        p.editor.setResources({first});
        QCOMPARE(wires->currentIndex(), 1);
        auto* sensors = p.child<QComboBox>("comboBoxType");
        sensors->setCurrentIndex(sensors->findData(4));
        QCOMPARE(p.lastChange().size(), 2);
        QCOMPARE(p.lastChange().value(partner).ain.tsType, 4);

        // Both of the pair selected: each keeps its own other settings.
        change(partner, [](AinConfig& c) { c.onePole = 7; });
        p.editor.setResources({first, partner});
        sensors->setCurrentIndex(sensors->findData(1));
        QCOMPARE(p.lastChange().value(partner).ain.onePole, qint16(7));
        QCOMPARE(p.lastChange().value(first).ain.tsType, 1);

        p.editor.setResources({first});
        emit wires->currentChanged(0);
        map = p.lastChange();
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value(partner).ain.range, qint32(Ain::Rtd));
        importAll(map);
        QVERIFY(!first->isCoupled());
    }

    void unitTextsPerMode()
    {
        AinConfig c;
        const auto text = [&c](qint32 range, qint32 poll, float lo, float hi) {
            c.range = range;
            c.pollAin = poll;
            c.scMin = lo;
            c.scMax = hi;
            return EditorAinConfig::unitText(c);
        };
        QCOMPARE(text(Ain::Voltage, 2, 0, 10), QStringLiteral("Напряжение\nВ"));
        QCOMPARE(text(Ain::Voltage, 2, 0, 5), QStringLiteral("Напряжение\n—"));
        QCOMPARE(text(Ain::Voltage, 1, 0, 5), QStringLiteral("Напряжение\nмВ"));
        QCOMPARE(text(Ain::Current, 2, 4, 20), QStringLiteral("Сила тока\nмА"));
        QCOMPARE(text(Ain::Current, 2, 0, 20), QStringLiteral("Сила тока\n—"));
        QCOMPARE(text(Ain::Current, 1, 0, 20), QStringLiteral("Сила тока\nмА"));
        QCOMPARE(text(Ain::Rtd3Wire, 1, 0, 0), QStringLiteral("Сопротивление\nОм"));
        QCOMPARE(text(Ain::Ntc, 2, 0, 0), QStringLiteral("Температура\n°C"));
        QCOMPARE(text(Ain::Discrete, 2, 0, 0), QStringLiteral(" "));
        QCOMPARE(text(9, 2, 0, 0), QStringLiteral(" "));
    }

    void wiringTextsAndPictures()
    {
        Page p;
        const IoResource::Ptr_t odd = p.in.ains.at(0);
        const IoResource::Ptr_t even = p.in.ains.at(1);
        const QString t1 = QString::number(odd->terminal());
        const QString t2 = QString::number(odd->commonTerminal());
        const auto picture = [&p] {
            return p.child<QLabel>("pinConnectionDown")->pixmap(Qt::ReturnByValue).toImage();
        };
        const auto file = [](const char* name) {
            return QPixmap(QStringLiteral(":/pics/resources/pics/ain/down/") + name).toImage();
        };

        setRange(odd, Ain::Voltage);
        p.editor.setResources({odd});
        QCOMPARE(p.texts("pinDown_", 3), (QStringList{t1, t2, QString()}));
        QCOMPARE(p.texts("ainDown_", 2), (QStringList{"1", QString()}));
        QCOMPARE(picture(), file("connection_2x_0-10_bottom1.png"));
        QCOMPARE(p.child<AinConnection>("ainConnection")->isFlipped(), odd->isTop());

        setRange(even, Ain::Voltage);
        p.editor.setResources({even});
        QCOMPARE(p.texts("pinDown_", 3),
                 (QStringList{QString(), QString::number(even->commonTerminal()),
                              QString::number(even->terminal())}));
        QCOMPARE(p.texts("ainDown_", 2), (QStringList{QString(), "2"}));
        QCOMPARE(picture(), file("connection_2x_0-10_bottom2.png"));

        // Three wires: the partner's terminal and number join; the picture shows for the pair.
        setRange(odd, Ain::Rtd3Wire, 2);
        setRange(even, Ain::Rtd3Wire, 2);
        p.editor.setResources({odd, even});
        QCOMPARE(p.texts("pinDown_", 3), (QStringList{t1, t2, QString::number(even->terminal())}));
        QCOMPARE(p.texts("ainDown_", 2), (QStringList{"1", "2"}));
        QVERIFY(p.child<QWidget>("ainConnection")->isVisibleTo(&p.editor));
        p.editor.setResources({odd, p.in.ains.at(2)});
        QVERIFY(!p.child<QWidget>("ainConnection")->isVisibleTo(&p.editor));
        QCOMPARE(p.changes.count(), 0);
    }

    void mixedSelectionsShowNothingTheyDisagreeOn()
    {
        Page p;
        setRange(p.in.ains.at(0), Ain::Rtd, 2);
        setRange(p.in.ains.at(1), Ain::Rtd3Wire, 2);
        p.editor.setResources({p.in.ains.at(0), p.in.ains.at(1)});
        QVERIFY(p.child<QRadioButton>("radioButtonRtd")->isChecked());
        QCOMPARE(p.child<Switch>("comboBoxConnection")->currentIndex(), 0);
        QVERIFY(p.child<QWidget>("comboBoxType")->isVisibleTo(&p.editor));

        setRange(p.in.ains.at(1), Ain::Ntc, 103);
        p.editor.setResources({p.in.ains.at(0), p.in.ains.at(1)});
        for (const char* b : {"radioButtonRtd", "radioButtonNtc", "radioButton010",
                              "radioButton420", "radioButtonDIN"})
            QVERIFY(!p.child<QRadioButton>(b)->isChecked());
        QCOMPARE(p.child<QComboBox>("comboBoxType")->currentIndex(), -1);
        for (const char* hidden : {"comboBoxType", "labelMeasure", "ainConnection"})
            QVERIFY(!p.child<QWidget>(hidden)->isVisibleTo(&p.editor));
        QVERIFY(p.child<QWidget>("frImpulse")->isVisibleTo(&p.editor));

        setRange(p.in.ains.at(1), Ain::Discrete);
        p.editor.setResources({p.in.ains.at(0), p.in.ains.at(1)});
        QVERIFY(!p.child<QWidget>("frImpulse")->isVisibleTo(&p.editor));
        QCOMPARE(p.changes.count(), 0);
    }

    void freezingAnotherInputReleasesTheFirst()
    {
        Page p;
        const IoResource::Ptr_t a = p.in.ains.at(0);
        const IoResource::Ptr_t b = p.in.ains.at(2);
        setRange(a, Ain::Rtd, 2);
        setRange(b, Ain::Rtd, 2);
        p.editor.setControlling(true);
        auto* freeze = p.child<Switch>("debugOnOff");

        p.editor.setResources({a});
        QVERIFY(freeze->isVisibleTo(&p.editor));
        emit freeze->currentChanged(0);
        Values map = p.controls.last().at(0).value<Values>();
        QCOMPARE(map.size(), 1);
        QCOMPARE(map.value(a).ain.freeze, quint8(1));
        a->importValue(map.value(a));

        p.editor.setResources({b});
        QCOMPARE(freeze->currentIndex(), 1);
        emit freeze->currentChanged(0);
        map = p.controls.last().at(0).value<Values>();
        QCOMPARE(map.size(), 2);
        QCOMPARE(map.value(b).ain.freeze, quint8(1));
        QCOMPARE(map.value(a).ain.freeze, quint8(0));
        QCOMPARE(map.value(a).kind, qint32(ResourceKind::Ain));

        p.editor.setResources({a, b});
        QVERIFY(!freeze->isVisibleTo(&p.editor));
        QCOMPARE(p.changes.count(), 0);
    }
};

QTEST_MAIN(EditorAinConfigTest)
#include "tst_editorainconfig.moc"
