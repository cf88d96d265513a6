#pragma once

#include "communication/devicepool.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

class DeviceConfigurator;
class QProgressDialog;

// Leaves no controller unlocked behind the program's end: a configuration write or rewrite on its
// way is let finish (its time-outs are bounded) and its password clear with it, the clears still
// owed are paid while their controllers answer, and those that cannot be paid now are kept in the
// settings and told to the user, so that the next run pays each as soon as it finds that
// controller.
//
// Several copies of the program may share the settings: each adds to the kept entries only what
// it owes and takes out only what it put in (or took over at its start) and no longer owes,
// reading them again under a lock each time, so no copy drops another's debt.
class DeviceShutdown : public QObject
{
    Q_OBJECT

public:
    // Beyond any write's own time-outs: a write still going then is given up and owes its clear.
    static constexpr int WriteWaitMs = 60000;
    // Three tries of the clear on every controller, each behind what its channel still runs.
    static constexpr int ClearWaitMs = 15000;

    DeviceShutdown(DevicePool* pool, DeviceConfigurator* configurator, QObject* parent = nullptr);

    // What the user sees while the controllers are settled; the caller owns it.
    static QProgressDialog* makeProgressDialog();

    // At most this many controllers are named in the close's warning; the rest are counted.
    static constexpr int NamedAtMost = 10;

    // Hands the pool what earlier runs could not pay.
    void restore();
    // Runs the event loop until the controllers are settled, with a busy cursor and a progress
    // dialog, then keeps and tells what is still owed.
    void settle();

private:
    void waitForWrites();
    void payOwed();
    // Runs the event loop until `done` or for `capMs` at the most.
    void waitUntil(const std::function<bool()>& done, int capMs);
    void keep();
    // Brings the settings in line with what is owed now; false when they could not be written.
    bool store();

    DevicePool* pool;
    DeviceConfigurator* configurator;
    // The entries this copy put in the settings or took over from them.
    QSet<DevicePool::Identity_t> kept;
    // Why the last store failed; empty when it did not.
    QString storeFailure;
};
