#pragma once

#include "model/apperror.h"
#include "catalogue/cataloguerecords.h"
#include "communication/controlleridentity.h"
#include "communication/gatedcontrolrequest.h"
#include "communication/livesystem.h"
#include "communication/passwordwindow.h"
#include "communication/passworduse.h"
#include "communication/releasetoken.h"
#include "communication/request.h"
#include "model/device.h"
#include "model/flatconfiguration.h"
#include "model/nodeid.h"
#include "model/rawconfiguration.h"

#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <functional>
#include <memory>

class Resource;
class SystemModel;

// Carries the whole configuration between the system model and the selected controller: reads the
// controller's configuration area into the model, writes the model back as one flat image framed
// by the device-control handshake, and while monitoring rewrites only the blocks of the devices
// the user edits. It never talks to a channel: every access is a request emitted through
// sendRequest, and the completion callbacks (GUI thread) advance it.
//
// Each write or rewrite queues its four requests at once, so they run back to back on the one
// channel they were sent to; the configuration goes out only when the controller took the
// password, the command word only when the configuration before it was written whole, and the
// password is cleared at the end whatever failed before. The frames go out only while the
// controller on the line is read to be the one that took the password (PasswordWindow): another
// one there, or none, ends the sequence and the clear stays owed; another one drops the channel
// and, when the password may have reached it, owes the clear as well. A clear that fails, or
// that cannot be
// confirmed because the system went with the sequence pending, is owed by the controller
// (`clearOwed`): the device pool pays it on the same channel or when the controller is found
// again. The keep-alive is
// held off from the first request to the last callback, so a check cannot drop the channel with
// the command or the clear still queued. A sequence whose requests are released unanswered (the
// queue emptied while the system stays selected) is reported as failed, and the password is
// cleared by a request of its own. A read or write whose system is lost or replaced before it
// calls back is reported as failed at once, its requests still queued are withdrawn unsent, and
// its late callbacks are ignored. A rewrite that silence or noise kept from the controller goes
// again once the monitoring's read of the controller is answered; one whose password or command
// word the controller refused is told at once and goes again only with the next edit. When
// monitoring stops, and at the program's close, a rewrite due, owed or refused is sent at once:
// no later rewrite would carry the edits, so one that writes nothing is told. At the stop the
// stop's handshake waits for the rewrites on their way (`holdsStop`): one that silence or noise
// kept from the controller goes again as soon as the controller answers its clear, ahead of the
// stop, and only one that still cannot be written is told.
class DeviceConfigurator : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReconfigurationDelayMs = 1500;
    static constexpr qint32 ImageWriteTimeoutUs = 5000000;

    DeviceConfigurator(SystemModel* model, QObject* parent = nullptr);
    ~DeviceConfigurator() override;

    // Tests shorten these; the program keeps 1500 ms and 5 s.
    void setReconfigurationDelay(int ms) { reconfigurationDelayMs = ms; }
    void setImageWriteTimeout(qint32 us) { imageWriteTimeoutUs = us; }

    const App::Error& lastError() const { return m_lastError; }
    bool isMonitoring() const { return m_monitoring; }
    bool hasControl() const { return controlReady; }
    const LiveSystem::Ptr_t& system() const { return m_system; }
    const QSet<NodeId_t>& changedResources() const { return changed; }
    bool isReconfigurationPending() const { return timer.isActive(); }
    // Edits made while monitoring that no rewrite has put into the controller yet: one withheld,
    // failed, cut, skipped, still waiting for its delay or on its way, or one no rewrite carries.
    // Until the next monitoring or read.
    bool hasUnwrittenEdits() const { return editsWritten < edits; }
    // A write, a rewrite or a lone password clear is on its way; each ends with the keep-alive
    // let go.
    bool isWorking() const { return !sequences.isEmpty(); }
    bool isClosing() const { return closing; }
    // Monitoring stopped while a rewrite was on its way: the stop's handshake waits until
    // `stopMayGo`.
    bool holdsStop() const { return stopHeld; }

    // Asked just before a write or rewrite sends the controller its password: keeps the
    // controller as owing its clear, or asks the user; false withholds the sequence.
    std::function<bool(const ControllerIdentity&, PasswordUse)> keepOwedAhead;

signals:
    void sendRequest(Request::Ptr_t request);
    void loaded(bool ok);
    void aboutToWrite();
    void written(bool ok);
    void forceDropChannel();
    void keepAliveControl(bool on);
    // A rewrite starts (true) or ends (false) its work under the password; the keep-alive's
    // checks go on meanwhile.
    void passwordWork(bool starts);
    // The controller may still be unlocked. Comes before the `written` of its write.
    void clearOwed(LiveSystem::Ptr_t system);
    // Another controller, `found`, was found in the system's place while a write or rewrite
    // worked on it; nothing more of it went out.
    void controllerReplaced(LiveSystem::Ptr_t system, ControllerIdentity found);
    // ... after frames under the password went out: that controller may hold it now.
    void clearOwedByAnother(ControllerIdentity identity);
    // A rewrite ended after a block of it went out but before its blocks were all written: the
    // controller may hold a configuration cut part-way.
    void rewriteCut();
    // Edits made while monitoring went to no controller, and no later rewrite will carry them:
    // after the stop or at the program's close a rewrite could not be sent, or it ended without
    // writing them, cut part-way or not; or another controller answered in the selected one's
    // place.
    void editsNotWritten();
    // A rewrite was not sent, its password withheld by the user: the edits are not in the
    // controller. The next rewrite carries them again.
    void rewriteWithheld();
    // A rewrite put the last of the edits made while monitoring into the controller.
    void editsAllWritten();
    // The controller refused a rewrite's password or command word while monitoring: the edits
    // are not in it. The next edit, the stop and the close try them again.
    void rewriteRefused();
    // The rewrites that held the stop's handshake have ended, written or told.
    void stopMayGo();

public slots:
    void systemLost();
    // Off: a rewrite due goes now, ahead of whatever the stop sends after it, unless the
    // controller has gone (`reachable` false).
    void monitoring(bool on, bool reachable = true);
    void changeResources(QList<NodeId_t> ids);
    void setSystem(LiveSystem::Ptr_t system);
    void read();
    void write();
    void defferedConfiguration();
    // The controller answered a read while monitoring: a rewrite owed goes now.
    void controllerAnswers();
    // The program closes: a rewrite due goes now, as would any edit made from now on.
    void close();

private:
    enum class Control { PassSet, PassClear, PassClearRestart, PassControl };

    // One write, rewrite or lone password clear on its way: what its callbacks still owe.
    struct Sequence
    {
        quint64 session = 0;
        LiveSystem::Ptr_t system; // the controller it works on
        bool whole = false;     // the whole image (a write): ends with `written`
        bool clearOnly = false; // a lone clear: owed when it is released unanswered
        bool restart = false;   // command 101: the controller restarts, its channel is dropped
        bool checksHeld = false; // its hold keeps the keep-alive's checks off
        bool passSent = false;  // the password went out, or may have: a clear is owed
        bool stored = false;    // the configuration was written whole
        bool commanded = false; // the controller took the command word
        bool refused = false;   // the controller refused the password or the command word
        bool replaced = false;  // another controller answered in its system's place
        ControllerIdentity found;  // that controller
        quint64 carries = 0;    // a rewrite: the edits it writes, counted as `edits` counts them
        Request::Gate_t passStarted; // the password write began: it may have reached the device
        Request::Gate_t passTaken;   // the controller took the password: the blocks may follow
        Request::Gate_t storeStarted; // a block's frame went out: blocks may have landed
        QList<QSharedPointer<Resource>> blocks; // what it writes, to send again
        bool again = false;     // sent again after the stop
        Request::Gate_t withdrawn;   // given up: its requests not yet run are sent no more
        PasswordWindow window{nullptr}; // its frames, and the clear that closes them
    };
    using SequencePtr_t = std::shared_ptr<Sequence>;

    bool makeControl();
    Request::Ptr_t controlRequest(Control control, int command, const SequencePtr_t& sequence,
                                  const ReleaseToken::Ptr_t& token,
                                  const Request::Gate_t& gate);
    void controlDone(Control control, const SequencePtr_t& sequence, const Request& request);
    static const char* controlLogLine(Control control);
    void readDone(const RawConfiguration::Ptr_t& raw, quint64 session, const Request& request);
    void applyRaw(const RawConfiguration::Ptr_t& raw);
    void storeDone(const SequencePtr_t& sequence, const Request& request);
    // `everyEdit`: each edited id names a resource of one of the devices.
    void reconfigureDevices(const QList<Device::Ptr_t>& devices, bool everyEdit);
    QList<QSharedPointer<Resource>> makeModifiedConfig(const QList<Device::Ptr_t>& devices);
    // `everyEdit` turns false for an id of no resource on a device of the model.
    QList<Device::Ptr_t> collectChangedDevices(const QSet<NodeId_t>& ids, bool* everyEdit) const;
    // Sends the rewrite still waiting for its delay.
    void sendDue();
    bool systemChanged() const;
    bool hasValidSystem() const;
    // Asked before a sequence's password is queued.
    bool mayUnlock(PasswordUse use) const;
    // Files a new sequence and holds the keep-alive for it.
    SequencePtr_t beginSequence(bool whole, bool restart);
    void take(const SequencePtr_t& sequence);
    void letGo(const SequencePtr_t& sequence);
    ReleaseToken::Ptr_t releaseToken(const SequencePtr_t& sequence);
    void sendSequence(const QList<QSharedPointer<Resource>>& blocks, int command,
                      const SequencePtr_t& sequence, qint32 timeoutUs);
    // A clear of its own for a sequence whose requests were released after the password went out.
    void sendClear(const SequencePtr_t& sequence);
    // Reports what the pending read and writes still owe and ignores their late callbacks.
    void abandonPending();
    // The last callback has run: reports, drops the channel after a taken 101, keep-alive back on.
    void finish(const SequencePtr_t& sequence, bool cleared);
    void released(const SequencePtr_t& sequence);
    void owe(const SequencePtr_t& sequence);
    // Tells a rewrite that may have left the controller's configuration cut part-way, that the
    // controller refused, or that wrote nothing at the close; `answered`: the controller
    // answered its clear.
    void reportUnwritten(const SequencePtr_t& sequence, bool answered = false);
    // After the stop: the rewrite that the line kept from the controller goes again.
    void sendAgain(const SequencePtr_t& failed);
    // Asks before the password, then sends `blocks` carrying `carries` edits.
    void sendRewrite(const QList<QSharedPointer<Resource>>& blocks, quint64 carries, bool again);
    // The stop's handshake goes once no rewrite is on its way.
    void letStopGo();
    bool isCurrent(const SequencePtr_t& sequence) const;

    SystemModel* model;
    FlatConfiguration image;
    bool controlReady = false;
    ProtoEntry commandEntry;
    ProtoEntry passwordEntry;
    RawConfiguration::Ptr_t raw;
    LiveSystem::Ptr_t m_system;
    App::Error m_lastError;
    bool m_monitoring = false;
    QTimer timer;
    QSet<NodeId_t> changed;
    // Edits made while monitoring, and how many of them a rewrite confirmed in the controller.
    quint64 edits = 0;
    quint64 editsWritten = 0;
    // A rewrite ended with nobody to take it: it goes again once the controller answers.
    bool rewriteOwed = false;
    // A rewrite the controller refused: an answer, so it goes again with the next edit, at the
    // stop or at the close, never at an answered read.
    bool rewriteRefusedDue = false;
    // Monitoring stopped with a rewrite on its way: the stop goes behind it.
    bool stopHeld = false;

    int reconfigurationDelayMs = ReconfigurationDelayMs;
    qint32 imageWriteTimeoutUs = ImageWriteTimeoutUs;
    // Grows whenever the selected system is lost or replaced; callbacks of an older session are
    // ignored.
    quint64 session = 0;
    QList<SequencePtr_t> sequences;
    bool closing = false;
};
