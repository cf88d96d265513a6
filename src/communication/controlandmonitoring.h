#pragma once

#include "catalogue/cataloguerecords.h"
#include "communication/controlleridentity.h"
#include "communication/livesystem.h"
#include "communication/livevaluewrites.h"
#include "communication/passworduse.h"
#include "communication/passwordwindow.h"
#include "communication/request.h"
#include "communication/requestitem.h"
#include "model/devicehandle.h"
#include "model/ioresource.h"
#include "model/korcpu.h"
#include "model/nodeid.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class SystemModel;

// While monitoring is on, polls the live values of the edited system from the selected controller
// and writes the values the user controls. Each tick sends one batch: the merged reads of every
// I/O resource but the serial ports, and one read of the controller's CPU block, which carries a
// record per device on the bus. A new batch goes out only when the previous one has called back
// completely, so a slow link lowers the polling rate instead of filling the queue. Start and stop
// are framed by the device control commands 103 and 104, the stop behind the rewrite of edits
// made while monitoring that is still on its way (`stopWaits`); each handshake holds the
// keep-alive off until its requests are done or released, so a check cannot drop the channel
// between the password and its clear. A handshake whose password went out and whose clear was not confirmed
// leaves the selected controller owing the clear, as a configuration write does; every frame of a
// handshake goes only to the controller that took the password (PasswordWindow). A command the
// controller did not take is reported. Each tick's read of the CPU block compares the controller it
// finds with the selected one; another in its place is never shown as the selected one and its
// channel is dropped at once, with nothing queued behind the read sent to it. A value the user
// sets is written once the line allows, only its latest for each resource and role
// (LiveValueWrites); one that fails goes again after a tick's read named the selected controller.
//
// Everything here, the request callbacks included, runs on the GUI thread; requests reach a
// channel only through sendRequest.
class ControlAndMonitoring : public QObject
{
    Q_OBJECT

public:
    static constexpr int TickIntervalMs = 1555;

    ControlAndMonitoring(SystemModel* model, QObject* parent = nullptr);
    ~ControlAndMonitoring() override;

    // Tests shorten the tick; the program keeps 1555 ms.
    void setTickInterval(int ms);
    int tickInterval() const { return timer.interval(); }

    bool isMonitoring() const { return m_monitoring; }
    bool isControlEnabled() const { return controlEnabled; }
    // Requests of the current batch that have not called back yet.
    int pending() const { return m_pending; }
    // False when the catalogue lacks the "command" or "password" register: monitoring then runs
    // without the start and stop commands.
    bool hasControl() const { return controlReady; }
    const QList<Request::Ptr_t>& monitoringRequests() const { return monRequests; }
    const Request::Ptr_t& deviceRequest() const { return devRequest; }
    // The last handshake is a stop whose end is not known yet.
    bool isStopOnItsWay() const;

    // Asked just before a start or stop sends the controller its password: keeps the controller
    // as owing its clear, or asks the user; false withholds the handshake.
    std::function<bool(const ControllerIdentity&, PasswordUse)> keepOwedAhead;
    // Asked at the stop: true while the edits made while monitoring are still on their way, and
    // the stop's handshake waits for `sendHeldStop`.
    std::function<bool()> stopWaits;

signals:
    void sendRequest(Request::Ptr_t request);
    void keepAliveControl(bool on);
    // The controller may still have the password set.
    void clearOwed(LiveSystem::Ptr_t system);
    // Another controller, `found`, was found in the system's place: by a handshake, which sent
    // nothing more of it, or by a tick's read of the CPU block. (The identity read before a value
    // write is told by its channel.)
    void controllerReplaced(LiveSystem::Ptr_t system, ControllerIdentity found);
    // ... after frames under the password went out: that controller may hold it now.
    void clearOwedByAnother(ControllerIdentity identity);
    // `system` did not take the start (103) or stop (104) command: it said no (`refused`), or
    // the answer never came, and the word may have been taken all the same. Comes after the
    // handshake's clearOwed, once the keep-alive is let go.
    void commandFailed(int command, LiveSystem::Ptr_t system, bool refused);
    // The start (103) or stop (104) command was not sent: its password was withheld.
    void commandWithheld(int command);
    // The stop (104) did not go out to `system`: nobody answered before its password, or its
    // channel went with the stop still queued. Told as soon as it is known, not when the line
    // answers again.
    void stopNotSent(LiveSystem::Ptr_t system);
    // `count` values the user set did not reach the controller: their writes were given up, or
    // monitoring ended before they were written.
    void valuesNotWritten(int count);

public slots:
    // The controller the handshakes reach: the selected one.
    void setSystem(LiveSystem::Ptr_t system);
    void monitoring(bool on);
    // The stop that waited for the edits goes now.
    void sendHeldStop();
    void onViewedResourcesChanged(QList<IoResource::Ptr_t>& resources);
    void onChangedValues(QList<NodeId_t> ids);
    void onChangedResources(QList<NodeId_t> ids);
    void onMonitoringTick();

private:
    bool makeControl();
    // A fresh request for every handshake: a request object must not change while it waits in a
    // queue, and two quick switches must send 103 and then 104.
    Request::Ptr_t commandRequest(int command, Request::Callback_t callback) const;
    void buildMonRequests();
    QList<RequestItem> collectMonResources() const;
    void buildDeviceRequests();
    KorCpu::Ptr_t findSysRegisters() const;
    void sendStartCommand();
    void sendStopCommand();
    void sendCommand(int command);
    void applyMonValues(const Request& request);
    static QList<NodeId_t> itemIds(const Request& request);
    void applyDeviceValues();
    QList<RequestItem> collectChangedValues(const QList<NodeId_t>& ids) const;
    QString resultText(const Request& request) const;
    // Announces read values with user control held off, so an editor that echoes a refresh as
    // a control signal writes nothing back.
    void announce(const QList<NodeId_t>& ids, bool deviceValues);

    void monitoringDone(quint64 generation, const Request& request);
    void deviceDone(quint64 generation, const LiveSystem::Ptr_t& selected, const Request& request);
    void writeDone(const LiveSystem::Ptr_t& selected, const Request& request);
    // The controller answers: the values whose writes failed go again.
    void sendOwedValues();
    // True when a callback belongs to the batches of the current run and counts.
    bool countsDown(quint64 generation);

    ProtoEntry commandEntry;
    ProtoEntry passwordEntry;
    bool controlReady = false;
    QList<Request::Ptr_t> monRequests;
    // The ids each monitoring request announces, in item order. A request's items never change
    // once made, so the list is made with the request, not again on every tick.
    QHash<const Request*, QList<NodeId_t>> monIds;
    Request::Ptr_t devRequest;
    KorCpu::Ptr_t cpu;
    LiveSystem::Ptr_t m_system;
    // One start or stop on its way. A password write without an answer may still have reached
    // the controller; one released unsent did not.
    struct Handshake
    {
        LiveSystem::Ptr_t system;
        bool ran = false; // its command request ran, or was withheld
        bool notSentTold = false;
        bool passSent = false;
        bool commandTaken = false;
        bool refused = false;
        bool cleared = false;
        // Its clear found another controller in the system's place.
        bool replaced = false;
        // An earlier handshake's clear was not confirmed: this one's clear settles it.
        bool inherited = false;
        // Another controller found in the owner's place after the password went out.
        bool otherOwes = false;
        ControllerIdentity other;
        // A later handshake's clear may stand for this one's.
        PasswordWindow window{nullptr};
        // Its release came: a later handshake no longer inherits from it.
        bool settled = false;
        bool stop = false; // 104, not 103
    };
    std::weak_ptr<Handshake> lastHandshake;
    LiveValueWrites values;
    SystemModel* model;
    QTimer timer;
    QList<DeviceHandle> handles;
    bool m_monitoring = false;
    bool controlEnabled = false;
    bool stopHeld = false;
    int m_pending = 0;
    // Every start and stop begins a new run. A batch left in flight by a stop (the queue is
    // emptied, so its callbacks never come) must not block the next run, and callbacks of an old
    // run neither count nor announce.
    quint64 generation = 0;
};
