// The main window as the program opens it: the empty screen, and a system of a controller with two
// modules on the system page and on the resources page, in Russian and in English.
#include "gallery.h"

#include "catalogue/settingsprovider.h"
#include "model/systemmodel.h"
#include "shell/tavconfigurator.h"
#include "support/modelfixture.h"
#include "systemconfigurator/systemconfigurator.h"

#include <QApplication>
#include <QTranslator>

TAV_GALLERY_SCENES(window)
{
    qputenv("TAVCFG_EXTRA_PORTS", "");
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
