// The main window as the program opens it: the empty screen, and a system of a controller with two
// modules on the system page and on the resources page, in Russian and in English; and a file
// opened, with a value typed into a box and not yet entered.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "resourceconfigurator/editor.h"
#include "resourceconfigurator/editorviewer.h"
#include "resourceconfigurator/filteringproxymodel.h"
#include "resourceconfigurator/resourceconfigurationmodel.h"
#include "resourceconfigurator/resourceconfigurationview.h"
#include "resourceconfigurator/resourceconfigurator.h"
#include "resourceconfigurator/resourcefixture.h"
#include "shell/configurationstorage.h"
#include "shell/tavconfigurator.h"
#include "support/modelfixture.h"
#include "systemconfigurator/systemconfigurator.h"

#include <QApplication>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

namespace {

// Opened from a file, nothing is unsaved and Save is not offered; a value typed into the filter
// time of an analogue input is unsaved, and Save is there for it.
void typedValue(const QString& outDir)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plant.tavc"));
    SystemModel system;
    ResourceFixture::build(system);
    ConfigurationStorage storage(&system);
    storage.setFileName(path);
    if (!storage.save())
        return;
    TavConfigurator window(false);
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window))
        return;
    window.files().open(path);
    window.tabs().goEditResources();
    ResourceConfigurator* page = window.resourcesPage();
    // The module with the analogue inputs, as the file brought it back.
    const SystemModel& opened = window.model();
    const QList<IoResource::Ptr_t> inputs = ResourceFixture::ofKind(
        opened, opened.device(opened.deviceHandles().value(2).id), ResourceKind::Ain);
    if (inputs.isEmpty())
        return;
    const IoResource::Ptr_t input = inputs.first();
    page->view()->selectRows(
        {page->proxy()->mapFromSource(page->model()->indexes({input->id()}).value(0))});
    auto* box = page->editorViewer()->editor(ResourceKind::Ain)->findChild<QSpinBox*>(
        QStringLiteral("spinBoxImpulse"));
    if (!box)
        return;
    QApplication::processEvents();
    Gallery::save(&window, outDir, "window_mainwindow_opened_ain");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, QStringLiteral("360"));
    QApplication::processEvents();
    Gallery::save(&window, outDir, "window_mainwindow_opened_ain_typedvalue");
}

} // namespace

TAV_GALLERY_SCENES(window)
{
    qputenv("TAVCFG_EXTRA_PORTS", "");
    typedValue(outDir);
    TavConfigurator window(false);
    Gallery::save(&window, outDir, "window_mainwindow_emptyscreen");

    window.files().createNew();
    const DeviceHandle controller = ModelFixture::handleOf(ModelFixture::kTav1020, 0);
    window.systemPage()->onAdd({controller});
    const SettingsProvider& catalogue = SettingsProvider::instance();
    for (int number = 1; number <= 2 && number <= catalogue.pexTypes.size(); ++number) {
        window.systemPage()->onAdd(
            {ModelFixture::handleOf(catalogue.pexTypes.value(number * 3), number, controller.id)});
    }
    QApplication::processEvents();
    Gallery::save(&window, outDir, "window_mainwindow_systempage");

    window.tabs().goEditResources();
    QApplication::processEvents();
    Gallery::save(&window, outDir, "window_mainwindow_resourcespage");

    QTranslator english;
    if (!english.load(QStringLiteral(TAV_I18N_DIR "/tavcfg_en.qm")))
        return;
    QCoreApplication::installTranslator(&english);
    QApplication::processEvents();
    Gallery::save(&window, outDir, "window_mainwindow_english_resourcespage");
    window.tabs().goEditSystem();
    QApplication::processEvents();
    Gallery::save(&window, outDir, "window_mainwindow_english_systempage");
    QCoreApplication::removeTranslator(&english);
    QApplication::processEvents();
}
