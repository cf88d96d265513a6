#include "catalogue/settingsprovider.h"
#include "shell/logging.h"
#include "shell/programstart.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    initLogging(QCoreApplication::arguments());
    ProgramStart::setApplicationIdentity();

    const SettingsProvider& catalogue = SettingsProvider::instance();
    QTextStream out(stdout);
    out << QApplication::applicationName() << ' ' << QApplication::applicationVersion() << ": "
        << catalogue.templates.size() << " device models of vendor \"" << catalogue.resolvedVendorKey
        << "\" loaded. The main window is not built yet.\n";
    return catalogue.templates.isEmpty() ? 1 : 0;
}
