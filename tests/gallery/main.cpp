// Renders the gallery: tav_gallery OUTDIR [AREA]. Runs under the offscreen platform when no
// display is named.
#include "gallery.h"

#include "widgets/startup.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

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
        QTextStream(stderr) << "usage: tav_gallery OUTDIR [AREA]\n";
        return 2;
    }
    const QString outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        QTextStream(stderr) << "gallery: cannot create " << outDir << '\n';
        return 1;
    }
    initWidgets();
    const int written = Gallery::runAreas(outDir, args.value(2));
    QTextStream(stdout) << "gallery: " << written << " pictures in " << outDir << '\n';
    return 0;
}
