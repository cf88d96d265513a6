#pragma once

#include "communication/controlleridentity.h"

#include <QList>
#include <QSet>
#include <QString>

// The password clears owed beyond one run of the program, kept in the user's settings file as one
// "serial:type" entry per controller. Several copies of the program may share the file: each store
// reads the entries again under a lock beside it, takes out only what this copy put in (or took
// over at its start) and no longer owes, adds what it owes and writes them back, so no copy drops
// another's debt. Each entry is read once per store, however many are kept or owed.
class OwedClearStore
{
public:
    struct Outcome
    {
        bool ok = true;
        // The settings file, as the user would look for it.
        QString fileName;
        // Why the store failed, for the log; empty when it did not.
        QString why;
    };

    // How an entry is kept: "serial:type".
    static QString storedForm(const ControllerIdentity& owed);

    // What earlier runs left that a controller can answer to; the rest is taken out of the file.
    QList<ControllerIdentity> restore();
    // Brings the kept entries in line with `owed`.
    Outcome store(const QList<ControllerIdentity>& owed);

private:
    // The entries this copy put in the settings or took over from them.
    QSet<ControllerIdentity> kept;
};
