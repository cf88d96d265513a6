// Renders the gallery: tav_gallery OUTDIR [AREA] [LANGUAGE]. Runs under the offscreen platform
// when no display is named. Every run renders through the program's translation of LANGUAGE ("en"),
// or of Russian without one, and Qt's own, as the program on a Russian desktop does.
#include "gallery.h"

#include "shell/optionsoperation.h"
#include "widgets/startup.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTranslator>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // The screens show what the program shows: the catalogue's mode follows the application name.
    QApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
    QApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    QApplication::setApplicationVersion(QStringLiteral("5.5.0.001"));
    const QStringList args = QApplication::arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: tav_gallery OUTDIR [AREA] [LANGUAGE]\n";
        return 2;
    }
    const QString outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        QTextStream(stderr) << "gallery: cannot create " << outDir << '\n';
        return 1;
    }
    initWidgets();
    QTranslator translator;
    const QString language = args.value(3);
    const QString code = language.isEmpty() ? QStringLiteral("ru") : language;
    if (!translator.load(QStringLiteral(TAV_I18N_DIR "/tavcfg_%1.qm").arg(code))) {
        QTextStream(stderr) << "gallery: no translation for " << code << '\n';
        return 1;
    }
    QCoreApplication::installTranslator(&translator);
    QTranslator qtTranslator;
    if (OptionsOperation::loadQtTranslation(&qtTranslator, code))
        QCoreApplication::installTranslator(&qtTranslator);
    Gallery::checkEnglish(language == QLatin1String("en"));
    const int written = Gallery::runAreas(outDir, args.value(2));
    QTextStream out(stdout);
    out << "gallery: " << written << " pictures in " << outDir << '\n';
    const QStringList defects = Gallery::sceneDefects();
    for (const QString& defect : defects)
        out << "layout: " << defect << '\n';
    out << "gallery: " << defects.size() << " layout defects\n";
    return defects.isEmpty() ? 0 : 1;
}
