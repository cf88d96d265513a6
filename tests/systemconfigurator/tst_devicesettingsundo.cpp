// The device-wide input settings (counter and frequency polling) across a module's type change,
// and the undo of input edits made on the resource page: undo gives every input back exactly as
// it was. Runs under the device-count limit, whose input editor shows the polling switches.
#include "model/resourcekind.h"
#include "resourceconfigurator/editor.h"
#include "resourceconfigurator/editorfixture.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "support/isolatedenvironment.h"
#include "systemconfigurator/systemconfigurationmodel.h"
#include "systemconfigurator/systemconfigurator.h"
#include "systempagefixture.h"

#include <QCheckBox>
#include <QtTest>

using namespace ModelFixture;
using namespace SystemFixture;
using EditorFixture::exported;

namespace {

// Both pages over one system, their commands on one undo stack, as the main window has them.
struct Pages
{
    SystemModel system;
    QUndoStack stack;
    SystemConfigurator systemPage{&system};
    ResourceConfigurator resourcePage{&system};
    Device::Ptr_t module;

    Pages(DeviceType_t moduleType, HardwareVersion revision)
    {
        QObject::connect(&systemPage, &SystemConfigurator::changeSystem, &stack, &QUndoStack::push);
        QObject::connect(&resourcePage, &ResourceConfigurator::changeResource, &stack,
                         &QUndoStack::push);
        const DeviceHandle controller = handleOf(kTav1020, 0);
        DeviceHandle m = handleOf(moduleType, 1, controller.id);
        m.revision = revision;
        system.addDevice(controller);
        module = system.addDevice(m);
        system.systemUpdated();
        resourcePage.resize(900, 3000);
        resourcePage.show();
    }
    QList<IoResource::Ptr_t> inputs() const
    {
        QList<IoResource::Ptr_t> out;
        for (const IoResource::Ptr_t& r : system.deviceResources(module->id(), false)) {
            if (r->kind() == ResourceKind::Din)
                out << r;
        }
        return out;
    }
    // Selects the input on the resource page and clicks a switch of the input editor.
    void click(const IoResource::Ptr_t& input, const QByteArray& box)
    {
        const QModelIndex source = resourcePage.model()->indexes({input->id()}).value(0);
        resourcePage.view()->selectRows({resourcePage.proxy()->mapFromSource(source)});
        Editor* editor = resourcePage.editorViewer()->editor(ResourceKind::Din);
        QVERIFY(editor && editor->isVisibleTo(&resourcePage));
        auto* check = editor->findChild<QCheckBox*>(QString::fromLatin1(box));
        QVERIFY(check && check->isVisibleTo(editor) && check->isEnabled());
        check->click();
    }
    void changeType(DeviceType_t type)
    {
        module = system.device(module->id());
        const QModelIndex row = systemPage.treeModel()->rowOfDevice().value(module->id());
        systemPage.treeModel()->changeType(row, type, module->revision());
        module = system.device(module->id());
    }
};

} // namespace

class DeviceSettingsUndoTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCOMPARE(ModelFixture::loadCatalogueAs("Tav Configurator Test").mode, 0);
        SystemModel::registerMetaTypes();
    }

    void undoOfASlowInputEditKeepsItsFilter_data()
    {
        QTest::addColumn<DeviceType_t>("type");
        QTest::addColumn<QByteArray>("box");
        const QList<DeviceType_t> types = typesWith(3, ResourceKind::Din);
        for (const DeviceType_t t : types) {
            DeviceTemplate tpl;
            if (!SettingsProvider::instance().deviceTemplate(t, 4, &tpl, false) || tpl.revision != 4)
                continue;
            bool slow = false;
            for (const IoChannel& c : tpl.channels)
                slow = slow || (c.kind == ResourceKind::Din && c.sub == 1);
            if (!slow)
                continue;
            for (const char* box : {"checkBoxAcEnable", "checkBoxContrPool", "checkBoxFreqPool"}) {
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(t).arg(box))) << t << QByteArray(box);
            }
        }
        QVERIFY(QTest::currentTestFailed() || types.contains(0x0A14000Au));
    }

    // A new revision-4 module's slow input: an edit, undone, gives back the file as it was.
    void undoOfASlowInputEditKeepsItsFilter()
    {
        QFETCH(DeviceType_t, type);
        QFETCH(QByteArray, box);
        Pages p(type, 4);
        QVERIFY(p.module);
        IoResource::Ptr_t slow;
        for (const IoResource::Ptr_t& r : p.inputs()) {
            if (!slow && r->subType() == 1)
                slow = r;
        }
        QVERIFY(slow);
        const QByteArray before = jsonOf(p.system);
        const QList<IoResource::Ptr_t> inputs = p.inputs();
        QList<bool> filters;
        for (const IoResource::Ptr_t& r : inputs)
            filters << exported(r).din.filterOn;
        p.click(slow, box);
        QCOMPARE(p.stack.count(), 1);
        const QByteArray after = jsonOf(p.system);
        QVERIFY(after != before);
        p.stack.undo();
        for (int i = 0; i < inputs.size(); ++i)
            QCOMPARE(exported(inputs.at(i)).din.filterOn, filters.at(i));
        QCOMPARE(jsonOf(p.system), before);
        p.stack.redo();
        QCOMPARE(jsonOf(p.system), after);
    }

    void typeChangeKeepsThePollingAgreed_data()
    {
        QTest::addColumn<DeviceType_t>("from");
        QTest::addColumn<DeviceType_t>("to");
        QTest::addColumn<QByteArray>("box");
        QTest::addColumn<bool>("on");
        // One module type for each number of inputs: the change that matters is to more or to
        // fewer inputs than before.
        QMap<int, DeviceType_t> byInputs;
        for (const DeviceType_t t : typesWith(3, ResourceKind::Din)) {
            int inputs = 0;
            for (const IoChannel& c : SettingsProvider::instance().templates.value(t).channels)
                inputs += c.kind == ResourceKind::Din;
            if (!byInputs.contains(inputs))
                byInputs.insert(inputs, t);
        }
        const QList<DeviceType_t> types = byInputs.values();
        QVERIFY(types.size() >= 2);
        for (const DeviceType_t from : types) {
            for (const DeviceType_t to : types) {
                if (from == to)
                    continue;
                for (const char* box : {"checkBoxContrPool", "checkBoxFreqPool"}) {
                    for (const bool on : {false, true}) {
                        QTest::newRow(qPrintable(QStringLiteral("%1 to %2 %3 %4")
                                                     .arg(from)
                                                     .arg(to)
                                                     .arg(box)
                                                     .arg(on ? "on" : "off")))
                            << from << to << QByteArray(box) << on;
                    }
                }
            }
        }
    }

    // The switch set on every input, the module's type changed on the system page, then the
    // switch clicked on the first input and undone: each input as before the click.
    void typeChangeKeepsThePollingAgreed()
    {
        QFETCH(DeviceType_t, from);
        QFETCH(DeviceType_t, to);
        QFETCH(QByteArray, box);
        QFETCH(bool, on);
        const bool counter = box == "checkBoxContrPool";
        const auto switchOf = [counter](const IoResource::Ptr_t& r) {
            return counter ? exported(r).din.pollCntr : exported(r).din.pollFreq;
        };
        Pages p(from, 0);
        if (on)
            p.click(p.inputs().first(), box);
        p.stack.clear();
        for (const IoResource::Ptr_t& r : p.inputs())
            QCOMPARE(switchOf(r), on);

        p.changeType(to);
        QCOMPARE(p.module->type(), to);
        for (const IoResource::Ptr_t& r : p.inputs())
            QCOMPARE(switchOf(r), on);
        const QByteArray retyped = jsonOf(p.system);

        p.click(p.inputs().first(), box);
        for (const IoResource::Ptr_t& r : p.inputs())
            QCOMPARE(switchOf(r), !on);
        p.stack.undo();
        QCOMPARE(jsonOf(p.system), retyped);
    }
};

QTEST_MAIN(DeviceSettingsUndoTest)
#include "tst_devicesettingsundo.moc"
