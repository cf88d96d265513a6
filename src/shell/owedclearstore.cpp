#include "shell/owedclearstore.h"

#include "model/korcpu.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>

namespace {

const QString OwedClearsKey = QStringLiteral("owedPasswordClears");
constexpr int OtherCopyWaitMs = 250;

bool parseStored(const QString& text, ControllerIdentity* owed)
{
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0 || text.indexOf(QLatin1Char(':'), colon + 1) >= 0)
        return false;
    bool serialOk = false;
    bool typeOk = false;
    owed->first = text.leftRef(colon).toUInt(&serialOk);
    owed->second = text.midRef(colon + 1).toUInt(&typeOk);
    return serialOk && typeOk;
}

// A controller block of either brand carries this identity; no controller answers with another.
bool canBeFound(const ControllerIdentity& owed)
{
    return owed.first != 0 && owed.second != 0 && KorCpu::typeOfAnyVendor(owed.second);
}

// Every copy of the program reads, changes and writes the entries while it holds this lock, so
// none writes over another's change between its read and its write. The settings lock their file
// under another name while they write it.
class LockedSettings
{
public:
    LockedSettings()
        // The user's own file alone, where the program writes: its status then tells of this
        // file's reading and writing only.
        : settings(QSettings().fileName(), QSettings::IniFormat)
        , lockName(settings.fileName() + QStringLiteral(".owedclears.lock"))
        , lock(lockName)
    {
        // The lock lies beside the settings, which make their folder only when they first write.
        QDir().mkpath(QFileInfo(settings.fileName()).absolutePath());
        // Tried once: another copy holds it only for the few milliseconds it reads and writes
        // the entries, so a short wait lets it finish rather than calling its lock a fault, and
        // one left by a killed copy is taken over at once. A lock that cannot be taken at all (a
        // folder or a dangling link in its place) fails without the wait, which QLockFile spends
        // only on a lock another live process holds; every store runs on the window's thread.
        locked = lock.tryLock(OtherCopyWaitMs);
        // Other keys that other copies wrote since these settings were read.
        settings.sync();
        readable = readBack(&stored);
    }

    // Why the entries cannot be changed now; empty when they can.
    QString refusal() const
    {
        if (!locked)
            return QStringLiteral("the lock %1 cannot be taken (error %2)")
                .arg(lockName)
                .arg(int(lock.error()));
        if (settings.status() != QSettings::NoError || !readable)
            return QStringLiteral("the settings cannot be read");
        return QString();
    }

    const QStringList& entries() const { return stored; }

    // Why they were not written; empty when they were.
    QString write(const QStringList& entries)
    {
        if (entries.isEmpty())
            settings.remove(OwedClearsKey);
        else
            settings.setValue(OwedClearsKey, entries);
        settings.sync();
        if (settings.status() != QSettings::NoError)
            return QStringLiteral("the settings cannot be written");
        QStringList found;
        if (!readBack(&found) || found != entries)
            return QStringLiteral("the settings read back differ from what was written");
        return QString();
    }

    QString fileName() const { return QDir::toNativeSeparators(settings.fileName()); }

private:
    // The entries as a later run finds them. A full disk leaves the file cut short with no error
    // told, and settings opened on the file again take what they wrote, or read at the same size
    // and time, from memory: a copy of its bytes shows what is there. No file reads as none kept.
    bool readBack(QStringList* entries) const
    {
        QFile file(settings.fileName());
        QTemporaryFile copy;
        if (!file.exists()) {
            entries->clear();
            return true;
        }
        if (!file.open(QIODevice::ReadOnly) || !copy.open() || copy.write(file.readAll()) < 0
            || !copy.flush())
            return false;
        *entries = QSettings(copy.fileName(), QSettings::IniFormat).value(OwedClearsKey).toStringList();
        return true;
    }

    QSettings settings;
    const QString lockName;
    QLockFile lock;
    bool locked = false;
    QStringList stored;
    bool readable = false;
};

} // namespace

QString OwedClearStore::storedForm(const ControllerIdentity& owed)
{
    return QStringLiteral("%1:%2").arg(owed.first).arg(owed.second);
}

QList<ControllerIdentity> OwedClearStore::restore()
{
    LockedSettings settings;
    QList<ControllerIdentity> owed;
    QStringList findable;
    QStringList dropped;
    for (const QString& text : settings.entries()) {
        ControllerIdentity identity;
        // A damaged entry, or one no controller can answer to, would be kept for ever; the
        // others are still paid.
        if (parseStored(text, &identity) && canBeFound(identity)) {
            owed.append(identity);
            findable.append(text);
        } else {
            dropped.append(text);
        }
    }
    if (!dropped.isEmpty()) {
        qDebug() << "DevShutdown, Warning! Kept password clears that no controller can answer to "
                    "are dropped:"
                 << dropped;
        if (settings.refusal().isEmpty())
            settings.write(findable);
    }
    kept = QSet<ControllerIdentity>(owed.cbegin(), owed.cend());
    return owed;
}

OwedClearStore::Outcome OwedClearStore::store(const QList<ControllerIdentity>& owed)
{
    LockedSettings settings;
    Outcome outcome{true, settings.fileName(), settings.refusal()};
    if (outcome.why.isEmpty()) {
        const QSet<ControllerIdentity> owedNow(owed.cbegin(), owed.cend());
        // What this copy paid, or owed ahead and let go; another copy's entries stay.
        QSet<ControllerIdentity> settled = kept;
        settled.subtract(owedNow);
        const QStringList before = settings.entries();
        QStringList entries;
        entries.reserve(before.size() + owed.size());
        QSet<ControllerIdentity> present;
        for (const QString& text : before) {
            ControllerIdentity stored;
            const bool parsed = parseStored(text, &stored);
            if (parsed && settled.contains(stored))
                continue;
            entries.append(text);
            if (parsed)
                present.insert(stored);
        }
        kept.subtract(settled);
        // Also when another copy paid it meanwhile: this one owes it again.
        for (const ControllerIdentity& identity : owed) {
            if (present.contains(identity))
                continue;
            entries.append(storedForm(identity));
            present.insert(identity);
            kept.insert(identity);
        }
        if (entries != before)
            outcome.why = settings.write(entries);
    }
    outcome.ok = outcome.why.isEmpty();
    if (!outcome.ok)
        qDebug() << "DevShutdown, Error! Owed password clears cannot be kept in the settings:"
                 << outcome.fileName << outcome.why;
    return outcome;
}
