#pragma once

#include "model/apperror.h"
#include "catalogue/cataloguerecords.h"
#include "communication/controlleridentity.h"
#include "communication/editrecord.h"
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

#include <QDeadlineTimer>
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
// its late callbacks are ignored.
//
// While monitoring, what the controller gets is the window as it is. The configurator keeps, for
// every resource edited since monitoring started, the edit the controller is not known to hold
// yet; whenever the controller may take them (the edit's delay over, the controller answering
// again after silence or noise) one rewrite at a time carries the blocks of every device that
// differs, built from the window as it goes, and only the controller's answer to its blocks and
// command word takes edits off the record. So no block older than one already sent ever follows
// it, and a rewrite cut part-way is mended by the next. A rewrite the controller refused, or whose
// password the user withheld, goes again with the next edit. When monitoring stops, the stop's
// handshake waits (`holdsStop`) while the rewrites go on, each as soon as the one before ended,
// until nothing differs, the controller refused or another answered, or the end's time is up;
// what still differs then is told as not written, and nothing else is. At the program's close a
// rewrite due goes once more, and is not tried again.
class DeviceConfigurator : public QObject
{
    Q_OBJECT

public:
    static constexpr int ReconfigurationDelayMs = 1500;
    static constexpr qint32 ImageWriteTimeoutUs = 5000000;

    DeviceConfigurator(SystemModel* model, QObject* parent = nullptr);
    ~DeviceConfigurator() override;

    // After the stop, rewrites start no later than this, and one still on its way at the cut-off
    // sends nothing more but its clear. A frame then on the wire, and the stop after it, each
    // wait out at most one identity read (17 s on a dead line, 32 s on one losing every other
    // frame): the way out's question comes within DeviceShutdown's wait for the end.
    static constexpr int EndRewritesMs = 25000;
    static constexpr int EndCutOffMs = 35000;
    // Between two tries after the stop on a line that does not answer.
    static constexpr int EndRetryPauseMs = 1000;

    // Tests shorten these; the program keeps 1500 ms and 5 s.
    void setReconfigurationDelay(int ms) { reconfigurationDelayMs = ms; }
    void setImageWriteTimeout(qint32 us) { imageWriteTimeoutUs = us; }

    const App::Error& lastError() const { return m_lastError; }
    bool isMonitoring() const { return m_monitoring; }
    bool hasControl() const { return controlReady; }
    const LiveSystem::Ptr_t& system() const { return m_system; }
    // The resources edited while monitoring whose edits the controller is not known to hold.
    QList<NodeId_t> changedResources() const { return record.resources(); }
    bool isReconfigurationPending() const { return timer.isActive(); }
    // Edits made while monitoring that no rewrite has put into the controller yet: one withheld,
    // failed, cut, skipped, still waiting for its delay or on its way, or one no rewrite carries.
    // Until the next monitoring or read.
    bool hasUnwrittenEdits() const { return !record.isEmpty(); }
    // A write, a rewrite or a lone password clear is on its way, or the end of monitoring may
    // still send one; each sequence ends with the keep-alive let go.
    bool isWorking() const { return !sequences.isEmpty() || ending; }
    bool isClosing() const { return closing; }
    // Monitoring stopped while edits differ from the controller: the stop's handshake waits until
    // `stopMayGo`.
    bool holdsStop() const { return ending; }

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
    // The controller's configuration may be cut part-way: a block the controller refused while
    // monitoring, or, once no later rewrite will carry the edits, a block that went out of a
    // rewrite after which no rewrite wrote that device whole.
    void rewriteCut();
    // Edits made while monitoring went to no controller, and no later rewrite will carry them:
    // the end of monitoring or the program's close is over with them still differing, or the
    // controller was lost or another answered in its place.
    void editsNotWritten();
    // A rewrite was not sent, its password withheld by the user: the edits are not in the
    // controller. The next rewrite carries them again.
    void rewriteWithheld();
    // A rewrite put the last of the edits made while monitoring into the controller.
    void editsAllWritten();
    // The controller refused a rewrite's password or command word while monitoring: the edits
    // are not in it. The next edit, the stop and the close try them again.
    void rewriteRefused();
    // The end of monitoring has no more rewrites to send: the edits are written or told.
    void stopMayGo();

public slots:
    void systemLost();
    // Off: the edits that differ go now, ahead of whatever the stop sends after it, unless the
    // controller has gone (`reachable` false).
    void monitoring(bool on, bool reachable = true);
    void changeResources(QList<NodeId_t> ids);
    void setSystem(LiveSystem::Ptr_t system);
    void read();
    void write();
    void defferedConfiguration();
    // The controller answered a read while monitoring: edits that silence or noise kept from it
    // go now.
    void controllerAnswers();
    // The program closes: edits that differ go now, once, as would any edit made from now on.
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
        bool blockRefused = false; // ... or one of the blocks
        bool replaced = false;  // another controller answered in its system's place
        ControllerIdentity found;  // that controller
        quint64 stamp = 0;      // a rewrite: the last edit its blocks were built after
        QList<NodeId_t> devices; // ... and the devices whose blocks it writes
        Request::Gate_t passStarted; // the password write began: it may have reached the device
        Request::Gate_t passTaken;   // the controller took the password: the blocks may follow
        Request::Gate_t storeStarted; // a block's frame went out: blocks may have landed
        Request::Gate_t withdrawn;   // given up: its requests not yet run are sent no more
        Request::Gate_t cutOff;      // ... but for its clear
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
    // The blocks of the edited devices as the window holds them now, and those devices; a device
    // without a recorded place or whose block changed length is left out.
    QList<QSharedPointer<Resource>> makeModifiedConfig(QList<NodeId_t>* devices);
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
    // Takes a rewrite's outcome into the record: the edits it wrote, a cut it may have left, and
    // what the next try waits for.
    void settle(const SequencePtr_t& sequence);
    // Sends one rewrite of whatever differs, when the controller may take it now; at the end of
    // monitoring, ends it once nothing more will be sent.
    void reconcile();
    // The end of monitoring is over: what still differs is told, and the stop goes.
    void endIfOver();
    // The end can wait no longer: the rewrite on its way sends nothing more but its clear.
    void cutOffRewrites();
    // Tells the edits still differing, once, as not written.
    void tellUnwritten();
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
    EditRecord record;
    // While monitoring: the last rewrite met silence or noise, and the next goes once the
    // controller answers; or the controller refused it or the user withheld its password, and
    // the next goes with the next edit.
    enum class Next { Now, Answer, Edit };
    Next next = Next::Now;
    // Monitoring stopped with edits to write: the stop waits until the end is over.
    bool ending = false;
    // The end sends nothing more: the controller refused, another answered, or the user withheld.
    bool endGivenUp = false;
    QDeadlineTimer endRewrites;
    QTimer endCutOff;
    QTimer retry;
    // The close lets one more rewrite go.
    bool closeTry = false;
    // What still differs was told as not written, or as withheld by the user.
    bool told = false;
    // The user withheld the last rewrite's password while monitoring.
    bool withheld = false;

    int reconfigurationDelayMs = ReconfigurationDelayMs;
    qint32 imageWriteTimeoutUs = ImageWriteTimeoutUs;
    // Grows whenever the selected system is lost or replaced; callbacks of an older session are
    // ignored.
    quint64 session = 0;
    QList<SequencePtr_t> sequences;
    bool closing = false;
};
