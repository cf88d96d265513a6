#include "catalogue/settingsprovider.h"

#include <QApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
    QApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    QApplication::setApplicationVersion(QStringLiteral("5.5.0.001"));

    const SettingsProvider& catalogue = SettingsProvider::instance();
    QTextStream out(stdout);
    out << QApplication::applicationName() << ' ' << QApplication::applicationVersion() << ": "
        << catalogue.templates.size() << " device models of vendor \"" << catalogue.resolvedVendorKey
        << "\" loaded. The main window is not built yet.\n";
    return catalogue.templates.isEmpty() ? 1 : 0;
}
