// The resource page outside the "Tav Configurator" brand (mode 0): the label editor of the
// controllers, the Save/Cancel panel, and the device information page's readings.
#include "resourceconfigurator/editordefault.h"
#include "resourceconfigurator/editorkor.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourcefixture.h"
#include "support/isolatedenvironment.h"
#include "widgets/indicator/indicator.h"
#include "widgets/infopanel/infopanel.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QUndoStack>
#include <QtTest>

using namespace ResourceFixture;

namespace {

QString mainValue(InfoPanel* panel, int n)
{
    // The indicator's main value label is the one the adaptor writes numbers into.
    QStringList texts;
    for (const QLabel* l : panel->indicator(n)->findChildren<QLabel*>())
        texts << l->text();
    return texts.join(QLatin1Char('|'));
}

} // namespace

class ResourceConfiguratorMode0Test : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;

private slots:
    void initTestCase()
    {
        QCOMPARE(ModelFixture::loadCatalogueAs("tav-test").mode, 0);
        qRegisterMetaType<Editor::DeviceConfigs_t>("QMap<Device::Ptr_t,AbstractConfig>");
    }

    void labelEditorOfControllers()
    {
        SystemModel system;
        const Device::Ptr_t a = add(system, ModelFixture::kTav1020, 0);
        const Device::Ptr_t b = add(system, ModelFixture::kTav1020, 1);
        const Device::Ptr_t module = add(system, kPex2000, 1, QString(), a->id());
        a->setLabel(QStringLiteral("K1"));
        EditorViewer viewer(&system);
        auto* kor = static_cast<EditorKor*>(viewer.editor(EditorViewer::LabelEditor));
        QVERIFY(kor);
        auto* field = kor->findChild<QLineEdit*>(QStringLiteral("lineEditLabel"));
        QSignalSpy changes(&viewer, &EditorViewer::changeDevices);

        viewer.edit({a, b}, {});
        QCOMPARE(viewer.currentEditor(), kor);
        QVERIFY(!field->isEnabled());
        QVERIFY(field->text().isEmpty());
        viewer.edit({a, module}, {});
        QCOMPARE(viewer.currentEditor(), viewer.editor(EditorViewer::DefaultEditor));

        viewer.edit({a}, {});
        QCOMPARE(field->text(), QStringLiteral("K1"));
        QCOMPARE(changes.count(), 0);
        viewer.show();
        field->setFocus();
        field->end(false);
        QTest::keyClicks(field, "ab");
        QCOMPARE(changes.count(), 2);
        const auto last = changes.last().first().value<Editor::DeviceConfigs_t>();
        QCOMPARE(last.value(a).device.label, QStringLiteral("K1ab"));
        QCOMPARE(a->label(), QStringLiteral("K1"));
    }

    void saveCancelPanel()
    {
        SystemModel system;
        build(system);
        ResourceConfigurator page(&system);
        QDialogButtonBox* box = page.buttonBox();
        QVERIFY(box);
        QCOMPARE(box->button(QDialogButtonBox::Ok) ? box->button(QDialogButtonBox::Ok)->text()
                                                   : box->buttons().first()->text(),
                 QStringLiteral("Сохранить"));
        QSignalSpy accepted(&page, &ResourceConfigurator::accepted);
        QSignalSpy rejected(&page, &ResourceConfigurator::rejected);
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == QDialogButtonBox::RejectRole)
                QCOMPARE(b->text(), QStringLiteral("Отмена"));
            b->click();
        }
        QCOMPARE(accepted.count(), 1);
        QCOMPARE(rejected.count(), 1);

        // A device label edit from the page is one undoable step.
        QUndoStack stack;
        connect(&page, &ResourceConfigurator::changeResource, &stack, &QUndoStack::push);
        const Device::Ptr_t controller = system.device(system.deviceHandles().first().id);
        const QByteArray before = json(system);
        emit page.editorViewer()->changeDevices(Editor::edited(
            QList<Device::Ptr_t>{controller}, [](AbstractConfig& c) { c.device.label = "X"; }));
        QCOMPARE(controller->label(), QStringLiteral("X"));
        stack.undo();
        QCOMPARE(json(system), before);
    }

    void readingsShowOnlyWhileMonitoring()
    {
        SystemModel system;
        const System s = build(system);
        Device::Readings_t readings{};
        readings[4] = 23.5;
        s.m3->setReadings(readings);
        EditorViewer viewer(&system);
        auto* info = static_cast<EditorDefault*>(viewer.editor(EditorViewer::DefaultEditor));
        viewer.edit({s.controller, s.m3}, {});
        QCOMPARE(viewer.currentEditor(), info);
        viewer.edit({s.m1}, {});
        QCOMPARE(viewer.currentEditor(), info);
        QCOMPARE(info->currentPage(), int(EditorDefault::InformationPage));
        // PEX-2000: eight discrete inputs.
        QVERIFY(mainValue(info->devicePanel(), 2).split(QLatin1Char('|')).contains(QStringLiteral("8")));
        QVERIFY(!mainValue(info->paramsPanel(), 0).contains(QStringLiteral("23.50")));

        // A module shown, monitoring on: the next values fill the readings.
        viewer.edit({s.m3}, {});
        viewer.controlling(true);
        QVERIFY(!mainValue(info->paramsPanel(), 0).contains(QStringLiteral("23.50")));
        viewer.updateValues({s.m1->id()});
        QVERIFY(!mainValue(info->paramsPanel(), 0).contains(QStringLiteral("23.50")));
        viewer.updateValues({s.m3->id()});
        QVERIFY(mainValue(info->paramsPanel(), 0).contains(QStringLiteral("23.50")));
        viewer.controlling(false);
        QVERIFY(!mainValue(info->paramsPanel(), 0).contains(QStringLiteral("23.50")));
        viewer.edit({s.controller, s.m1, s.m2}, {});
        QCOMPARE(info->currentPage(), int(EditorDefault::HintPage));
    }
};

QTEST_MAIN(ResourceConfiguratorMode0Test)
#include "tst_resourceconfigurator_mode0.moc"
