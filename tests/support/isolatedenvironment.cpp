#include "support/isolatedenvironment.h"

#include <QDir>
#include <QFile>
#include <QSettings>

IsolatedEnvironment::IsolatedEnvironment()
    : previousDir(QDir::currentPath())
{
    const QString config = dir.filePath(QStringLiteral("config"));
    QDir().mkpath(config);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);
    QDir::setCurrent(dir.path());
}

IsolatedEnvironment::~IsolatedEnvironment()
{
    QDir::setCurrent(previousDir);
}

void IsolatedEnvironment::setVendorChoice(const QString& df)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brelvox"));
    if (df.isEmpty())
        store.remove(QStringLiteral("df"));
    else
        store.setValue(QStringLiteral("df"), df);
    store.sync();
}

void IsolatedEnvironment::putOverrideCatalogue(const QString& vendor, const QByteArray& bytes)
{
    QDir(dir.path()).mkpath(vendor);
    QFile file(dir.filePath(vendor + QStringLiteral("/settings.json")));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

void IsolatedEnvironment::removeOverrideCatalogue(const QString& vendor)
{
    QDir(dir.filePath(vendor)).removeRecursively();
}
