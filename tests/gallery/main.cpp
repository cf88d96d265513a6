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
