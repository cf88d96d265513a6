#pragma once

#include "communication/devicepool.h"
#include "communication/passworduse.h"
#include "shell/owedclearstore.h"

#include <QObject>
#include <QStringList>

#include <functional>

class Communication;
class DeviceConfigurator;
class QDeadlineTimer;
class QProgressDialog;

// Leaves no controller unlocked behind the program's end: once the close begins, a rewrite due
// goes at once and nothing new that takes a password starts; a configuration write, rewrite or
// monitoring handshake on its way is let finish (its time-outs are bounded) and its password clear
// with it, the clears still owed are paid while their controllers answer, and those that cannot be
// paid now are kept in the settings and told to the user, so that the next run pays each as soon
// as it finds that controller.
//
// The debts are kept in the settings as they arise (`OwedClearStore`), a controller's before its
// password goes out; an operation whose debt cannot be kept ahead goes on only when the user says
// so.
class DeviceShutdown : public QObject
{
    Q_OBJECT

public:
    // Beyond any write's own time-outs: a write still going then is given up and owes its clear.
    static constexpr int WriteWaitMs = 60000;
    // Three tries of the clear on every controller, each behind what its channel still runs.
    static constexpr int ClearWaitMs = 15000;
    // The end of monitoring: its rewrites are cut off 35 s after the stop, and a frame then on
    // the wire and the stop's handshake after it each take up to about 32 s on a line that loses
    // every other frame. The question that follows waits for all of it, so that what the end
    // tells comes first.
    static constexpr int EndWaitMs = 100000;

    DeviceShutdown(DevicePool* pool, DeviceConfigurator* configurator,
                   Communication* communication, QObject* parent = nullptr);

    // Tests shorten the caps; the program keeps 60 s and 15 s.
    void setWaitCaps(int writeMs, int clearMs)
    {
        writeWaitMs = writeMs;
        clearWaitMs = clearMs;
    }

    // What the user sees while the controllers are settled, or while `waited` goes; the caller
    // owns it.
    static QProgressDialog* makeProgressDialog(const QString& waited = QString());
    // What the end of monitoring on `controller` waits for: the rewrite of the changes made while
    // monitoring, the stop, or both. Empty when neither is on its way or no controller is known.
    static QString endingText(const ControllerIdentity& controller, bool rewrite, bool stop);
    // The monitoring stop is on its way; the wait before a question names it.
    std::function<bool()> stopOnItsWay;
    // The end of monitoring is on its way: the work the waits before a question wait for, or the
    // stop.
    bool isEndOnItsWay() const;
    // What that end waits for, as its wait's dialog and the window name it.
    QString endingNow() const;

    // At most this many controllers are named in the close's warning; the rest are counted.
    static constexpr int NamedAtMost = 10;

    // The close's warning of the controllers still owed: their models and serial numbers, and
    // whether the next run locks them or, when the settings file `unwritable` took nothing, what
    // the user can do instead.
    static QString keptText(const QList<ControllerIdentity>& owed, const QString& unwritable);

    // The question put before a password for `use` goes out that the settings file `unwritable`
    // does not keep as owed by the controller with the serial number.
    static QString unkeptAheadText(quint32 serial, const QString& unwritable, PasswordUse use);
    // Each names what it does to the operation: first the operation goes, then it does not.
    static QStringList unkeptAheadButtons(PasswordUse use);

    // Hands the pool what earlier runs could not pay.
    void restore();
    // Keeps `controller` as owed before an operation sends it the password; when the settings
    // cannot keep it, asks the user whether to go on. True when the operation may go on; the
    // operation's first password is then not asked about again.
    bool mayUnlock(const ControllerIdentity& controller, PasswordUse use);
    // Asked by every sender just before it queues a password (a write, a rewrite, a monitoring
    // start or stop): the same as `mayUnlock`, but a password that the operation's own start
    // already put to the user goes without a second question, and one for a controller found on
    // no channel reaches none and is not asked about.
    bool passwordMayGo(const ControllerIdentity& controller, PasswordUse use);
    // Runs the event loop until the writes, rewrites and handshakes on their way have ended,
    // within the end of monitoring's cap, with the close's busy cursor and dialog; the gate
    // stays open.
    void finishWork();
    // Sends a rewrite due and lets only password clears out from then on, runs the event loop
    // until the controllers are settled, with a busy cursor and a progress dialog, then keeps and
    // tells what is still owed. The close is final: nothing reopens the gate.
    void settle();

private:
    // Work under a password on its way or due: a write, rewrite, handshake or lone clear.
    bool isWorking() const;
    // Nothing on its way to any controller that the close waits for.
    bool isSettled() const;
    // What is still going after the writes' cap is given up and owes its clear.
    void giveUpWrites();
    // Runs the event loop until `done` or until `cap` at the latest.
    void waitUntil(const std::function<bool()>& done, const QDeadlineTimer& cap);
    void keep();
    // Brings the settings in line with what is owed now; false when they could not be written.
    bool store();
    bool storeOwed(const QList<ControllerIdentity>& owed);
    bool keepAheadOrAsk(const ControllerIdentity& controller, PasswordUse use);

    DevicePool* pool;
    DeviceConfigurator* configurator;
    Communication* communication;
    int writeWaitMs = WriteWaitMs;
    int clearWaitMs = ClearWaitMs;
    OwedClearStore owedStore;
    // Why the last store failed; empty when it did not.
    QString storeFailure;
    // The controller an operation was let unlock, until that operation's first password.
    ControllerIdentity agreed;
    // The wait for the work under way, while one runs: its cap, and the cursor and dialog that
    // show it.
    struct WorkWait;
    WorkWait* workWait = nullptr;
};
