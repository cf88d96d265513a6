// What the editors show and keep, as a user meets them: the wiring picture for one input, the
// serial ports' tabs in the shipped brand, the sensor each thermometer group comes back with, and
// the texts after a language switch.
#include "ainfixture.h"
#include "editorfixture.h"
#include "model/ain.h"
#include "resourceconfigurator/editoraout.h"
#include "resourceconfigurator/editorainconfig.h"
#include "resourceconfigurator/editordefault.h"
#include "resourceconfigurator/editorserialport.h"
#include "resourceconfigurator/editorviewer.h"
#include "support/isolatedenvironment.h"
#include "widgets/tabbarnowheel.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTranslator>
#include <QtTest>

using namespace AinFixture;
using namespace EditorFixture;

namespace {

// Every text of the program in a language of its own, with no Cyrillic letter left.
class MarkedLanguage : public QTranslator
{
public:
    QString translate(const char*, const char* source, const char* = nullptr,
                      int = -1) const override
    {
        return QStringLiteral("tr%1").arg(qHash(QString::fromUtf8(source)));
    }
    bool isEmpty() const override { return false; }
};

QStringList cyrillicTexts(const QWidget* editor)
{
    static const QRegularExpression cyrillic(QStringLiteral("[\\x{0400}-\\x{04FF}]"));
    QStringList found;
    for (const QLabel* label : editor->findChildren<QLabel*>())
        if (label->text().contains(cyrillic))
            found << label->text();
    for (const QAbstractButton* button : editor->findChildren<QAbstractButton*>())
        if (button->text().contains(cyrillic))
            found << button->text();
    return found;
}

} // namespace

class EditorsSeenTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase() { initEditorTest(); }

    // Inputs by number (1-based); a three-wire pair is one picture.
    void wiringPictureForExactlyOneInput_data()
    {
        QTest::addColumn<qint32>("range");
        QTest::addColumn<QList<int>>("inputs");
        QTest::addColumn<bool>("shown");
        QTest::newRow("one voltage input") << qint32(Ain::Voltage) << QList<int>{1} << true;
        QTest::newRow("one current input") << qint32(Ain::Current) << QList<int>{2} << true;
        QTest::newRow("one thermometer") << qint32(Ain::Rtd) << QList<int>{3} << true;
        QTest::newRow("one discrete input") << qint32(Ain::Discrete) << QList<int>{1} << false;
        QTest::newRow("two voltage inputs") << qint32(Ain::Voltage) << QList<int>{1, 3} << false;
        QTest::newRow("two of one pair") << qint32(Ain::Voltage) << QList<int>{1, 2} << false;
        QTest::newRow("three-wire pair") << qint32(Ain::Rtd3Wire) << QList<int>{1, 2} << true;
    }

    void wiringPictureForExactlyOneInput()
    {
        QFETCH(qint32, range);
        QFETCH(QList<int>, inputs);
        QFETCH(bool, shown);
        Inputs in;
        QList<IoResource::Ptr_t> selection;
        // Thermometers with the catalogue's second resistance sensor, the others without.
        const qint32 sensor = range == Ain::Rtd || range == Ain::Rtd3Wire ? 2 : 0;
        for (int n : inputs) {
            change(in.ains.at(n - 1), [range, sensor](AinConfig& c) {
                c.range = range;
                c.tsType = sensor;
            });
            selection << in.ains.at(n - 1);
        }
        EditorAinConfig editor;
        editor.setResources(selection);
        QCOMPARE(editor.findChild<QWidget*>("ainConnection")->isVisibleTo(&editor), shown);
    }

    // The thermometer groups keep their sensors apart: after a trip through the other group and
    // back each comes back with its own, in the record and in the bytes sent to the device.
    void eachThermometerGroupKeepsItsSensor()
    {
        Inputs in;
        const IoResource::Ptr_t ain = in.ains.first();
        change(ain, [](AinConfig& c) {
            c.range = Ain::Rtd;
            c.tsType = 2;
        });
        EditorAinConfig editor;
        QSignalSpy changes(&editor, resourceChange);
        const auto choose = [&](const char* button) {
            editor.setResources({ain});
            editor.findChild<QRadioButton*>(button)->click();
            importAll(configsAt(changes, changes.count() - 1));
        };
        choose("radioButtonNtc");
        change(ain, [](AinConfig& c) { c.tsType = 105; });
        struct Step
        {
            const char* button;
            qint32 range;
            qint32 sensor;
        };
        for (const Step& step : {Step{"radioButtonRtd", Ain::Rtd, 2},
                                 Step{"radioButtonNtc", Ain::Ntc, 105},
                                 Step{"radioButton010", Ain::Voltage, -1},
                                 Step{"radioButtonRtd", Ain::Rtd, 2},
                                 Step{"radioButtonNtc", Ain::Ntc, 105}}) {
            choose(step.button);
            QCOMPARE(EditorFixture::exported(ain).ain.range, step.range);
            if (step.sensor < 0)
                continue;
            QCOMPARE(EditorFixture::exported(ain).ain.tsType, step.sensor);
            QByteArray bytes;
            ain.staticCast<Ain>()->encode(&bytes);
            QCOMPARE(int(quint8(bytes.at(1))), step.sensor);
        }
    }

    void serialPortSectionInTheShippedBrand_data()
    {
        QTest::addColumn<bool>("ports");
        QTest::newRow("system with ports") << true;
        QTest::newRow("system without ports") << false;
    }

    void serialPortSectionInTheShippedBrand()
    {
        QFETCH(bool, ports);
        QCOMPARE(SettingsProvider::instance().mode, 1);
        EditorSerialPort editor;
        editor.setPortsVisible(ports);
        for (const char* section : {"internalVisibilitiWidget", "widgetWithPortSelector"})
            QCOMPARE(editor.findChild<QWidget*>(section)->isVisibleTo(&editor), ports);
        QCOMPARE(editor.portTabs()->isVisibleTo(&editor), ports);
        QCOMPARE(editor.portTabs()->count(), 2);
    }

    void editorsFollowALanguageSwitch_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("analogue output") << "aout";
        QTest::newRow("device") << "device";
    }

    void editorsFollowALanguageSwitch()
    {
        QFETCH(QString, editor);
        QScopedPointer<QWidget> shown(editor == "aout" ? static_cast<QWidget*>(new EditorAout)
                                                       : new EditorDefault);
        QVERIFY(!cyrillicTexts(shown.data()).isEmpty());
        MarkedLanguage language;
        QCoreApplication::installTranslator(&language);
        QCoreApplication::processEvents();
        const QStringList left = cyrillicTexts(shown.data());
        QCoreApplication::removeTranslator(&language);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(" | ")));
    }

    // The filter window is a text field: without the redirection Ctrl+Z would undo its typing
    // instead of the user's last edit.
    void undoKeysInTheDinFilterReachTheProgram_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("undo");
        QTest::newRow("Ctrl+Z") << int(Qt::ControlModifier) << true;
        QTest::newRow("Ctrl+Shift+Z") << int(Qt::ControlModifier | Qt::ShiftModifier) << false;
    }

    void undoKeysInTheDinFilterReachTheProgram()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, undo);
        SystemModel system;
        const Device::Ptr_t module = ResourceFixture::add(system, ResourceFixture::kPex2000, 1);
        const IoResource::Ptr_t din =
            ResourceFixture::ofKind(system, module, ResourceKind::Din).value(0);
        QVERIFY(din);
        setConfig(din, [](AbstractConfig& c) { c.din.filterOn = true; });
        QMainWindow window;
        auto* viewer = new EditorViewer(&system);
        window.setCentralWidget(viewer);
        QAction undoAction(QStringLiteral("undo"), &window);
        undoAction.setShortcuts(QKeySequence::Undo);
        QAction redoAction(QStringLiteral("redo"), &window);
        redoAction.setShortcuts(QKeySequence::Redo);
        window.addAction(&undoAction);
        window.addAction(&redoAction);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        viewer->edit({}, {din});
        auto* field = viewer->editor(ResourceKind::Din)->findChild<QSpinBox*>("spinBoxFilterWindow");
        QVERIFY(field && field->isVisible());
        field->setFocus();
        QTest::keyClick(field, Qt::Key_End);
        QTest::keyClicks(field, "7");
        const QString typed = field->text();
        QSignalSpy undone(&undoAction, &QAction::triggered);
        QSignalSpy redone(&redoAction, &QAction::triggered);
        QTest::keyClick(field, Qt::Key_Z, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(undone.count(), undo ? 1 : 0);
        QCOMPARE(redone.count(), undo ? 0 : 1);
        QCOMPARE(field->text(), typed);
    }
};

QTEST_MAIN(EditorsSeenTest)
#include "tst_editorsseen.moc"
