// Median time of a settings-provider initialisation (load and compose one catalogue).
#include "benchsupport.h"
#include "catalogue/settingsprovider.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

void chooseVendor(const QString& df)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brelvox"));
    store.setValue(QStringLiteral("df"), df);
    store.sync();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const Bench::Environment environment;

    const int runs = int(Bench::argument(argc, argv, 1, 200, 2));
    QTextStream out(stdout);
    for (const auto& [df, vendor] : {std::pair<QString, QString>{"", "drovanix"},
                                     std::pair<QString, QString>{"VIO4", "holmark"}}) {
        chooseVendor(df);
        std::vector<qint64> ns;
        int templates = 0;
        for (int i = 0; i < runs; ++i) {
            // A key that differs from the loaded one makes the provider clear and reload.
            SettingsProvider::instance(i % 2 ? vendor : QStringLiteral("reload"));
            QElapsedTimer timer;
            timer.start();
            const SettingsProvider& p = SettingsProvider::instance(i % 2 ? QStringLiteral("reload") : vendor);
            ns.push_back(timer.nsecsElapsed());
            templates = p.templates.size();
        }
        std::sort(ns.begin(), ns.end());
        out << "catalogue " << vendor << ": " << templates << " templates, median "
            << QString::number(ns[ns.size() / 2] / 1e6, 'f', 3) << " ms over " << runs << " loads\n";
    }
    return 0;
}
