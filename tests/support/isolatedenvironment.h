#pragma once

#include <QString>
#include <QTemporaryDir>

// Gives a test process its own settings store and working directory, so tests that write the
// vendor choice or drop override catalogues never see each other's files.
class IsolatedEnvironment
{
public:
    IsolatedEnvironment();
    ~IsolatedEnvironment();

    QString path() const { return dir.path(); }
    // Writes the user's vendor choice as the maker's programming environment would; empty removes it.
    void setVendorChoice(const QString& df);
    // Puts `bytes` where the loader looks for a catalogue overriding the compiled-in one.
    void putOverrideCatalogue(const QString& vendor, const QByteArray& bytes);
    void removeOverrideCatalogue(const QString& vendor);

private:
    QTemporaryDir dir;
    QString previousDir;
};
