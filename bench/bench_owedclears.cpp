// Median time of one store of the password clears owed, with thousands of entries kept (the
// number a damaged or hand-made settings file may hold), against a bare reference: reading the
// key from the settings file and writing it back once. A store that owes one more controller, one
// that pays it again, and one whose lock beside the settings cannot be taken (a folder in its
// place). Prints the medians and their ratios: a store linear in the entries stays within a few
// times the reference whatever their number.
#include "benchsupport.h"
#include "shell/owedclearstore.h"

#include <QDir>
#include <QTextStream>

namespace {

const QString Key = QStringLiteral("owedPasswordClears");
constexpr quint32 ControllerType = 0x0B0A140Au;

QStringList keptEntries(int count)
{
    QStringList entries;
    for (int serial = 1; serial <= count; ++serial)
        entries.append(OwedClearStore::storedForm({quint32(serial), ControllerType}));
    return entries;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    const Bench::Environment environment;
    const int runs = int(Bench::argument(argc, argv, 1, 20, 1));
    QTextStream out(stdout);

    for (int count : {3000, 20000}) {
        const QStringList entries = keptEntries(count);
        QSettings().setValue(Key, entries);
        QSettings().sync();
        std::vector<qint64> reference;
        for (int i = 0; i < runs; ++i)
            reference.push_back(Bench::timed([&entries] {
                QSettings settings(QSettings().fileName(), QSettings::IniFormat);
                const QStringList read = settings.value(Key).toStringList();
                settings.setValue(Key, read.size() == entries.size() ? entries : read);
                settings.sync();
            }));

        // Every entry is this copy's own, as after a start that took them over.
        OwedClearStore store;
        QList<ControllerIdentity> owed = store.restore();
        const ControllerIdentity another{quint32(count + 1), ControllerType};
        std::vector<qint64> owing;
        std::vector<qint64> paying;
        bool ok = true;
        for (int i = 0; i < runs; ++i) {
            owed.append(another);
            owing.push_back(Bench::timed([&] { ok = store.store(owed).ok && ok; }));
            owed.removeLast();
            paying.push_back(Bench::timed([&] { ok = store.store(owed).ok && ok; }));
        }

        const QString lock = QSettings().fileName() + QStringLiteral(".owedclears.lock");
        QDir().mkpath(lock);
        std::vector<qint64> locked;
        for (int i = 0; i < runs; ++i)
            locked.push_back(Bench::timed([&] { ok = !store.store(owed).ok && ok; }));
        QDir(lock).removeRecursively();

        const double bare = Bench::medianMs(reference);
        out << "owed clears, " << count << " kept: reference " << QString::number(bare, 'f', 2)
            << " ms; owing one more " << QString::number(Bench::medianMs(owing), 'f', 2)
            << " ms (x" << QString::number(Bench::medianMs(owing) / bare, 'f', 2)
            << "); paying it " << QString::number(Bench::medianMs(paying), 'f', 2) << " ms (x"
            << QString::number(Bench::medianMs(paying) / bare, 'f', 2) << "); lock refused "
            << QString::number(Bench::medianMs(locked), 'f', 2) << " ms (x"
            << QString::number(Bench::medianMs(locked) / bare, 'f', 2) << ")"
            << (ok ? "" : "; a store did not end as it should") << '\n';
    }
    return 0;
}
