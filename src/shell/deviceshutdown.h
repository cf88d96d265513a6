#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class DeviceConfigurator;
class DevicePool;
class QProgressDialog;

// Leaves no controller unlocked behind the program's end: a configuration write or rewrite on its
// way is let finish (its time-outs are bounded) and its password clear with it, the clears still
// owed are paid while their controllers answer, and those that cannot be paid now are kept in the
// settings and told to the user, so that the next run pays each as soon as it finds that
// controller.
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
    // Writes what is owed now to the settings; the stored entries.
    QStringList store();

    DevicePool* pool;
    DeviceConfigurator* configurator;
};
