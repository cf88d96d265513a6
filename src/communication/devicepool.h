#pragma once

#include "communication/channel.h"
#include "communication/controlleridentity.h"
#include "communication/livesystem.h"
#include "communication/request.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

// The controllers found behind the open channels, one live system per channel. The pool reads the
// CPU block behind every channel the communication object reports, files the systems that answer
// with a real identity, makes the selected one's channel active and, on every keep-alive tick,
// checks that the same controller still answers there. It reaches the channels only through its
// signals; whoever builds it connects them to the communication object.
//
// Several senders hold the keep-alive off while they work under the device control password (a
// configuration write, a monitoring handshake, an upgrade); the checks resume when the last of
// them lets go. A rewrite while monitoring works under the password with the checks going on
// (`workUnderPassword`): a line gone silent is judged as soon as it would be without it, and the
// check goes ahead of whatever else waits on the channel. A controller that may still have the password set owes a clear, kept by its serial
// number and type: one whose clear failed or could not be confirmed (`owePasswordClear`), or whose
// selected channel was lost while a sender held the keep-alive. A clear is paid only to the
// controller that owes it: the pool reads the controller's identity and clears it in one run on
// the channel, so another controller behind the same cable is never unlocked in its place. When
// the controller is detected again, its clear is the first thing sent to it. While it stays
// found on any channel, selected or not, a clear that did not go through is tried again there
// once nobody holds the keep-alive, a while after the last release, debt or answered check.
//
// A hold is taken before the password goes out and let go only after its clear is confirmed or
// owed, so while any is held the controller it works on is owed ahead (`owedClears`): whoever
// keeps the debts between runs has it before the password can reach the controller, and a
// program that ends without letting go (killed, crashed, switched off) leaves it to the next run.
// The pool itself pays only real debts; the debts owed ahead are let go with the last hold.
class DevicePool : public QObject
{
    Q_OBJECT

public:
    struct SystemEntry
    {
        Channel::Id_t channel;
        LiveSystem::Ptr_t system;
        // Alive while a keep-alive read of this system is queued or running: the read carries the
        // owning half, so a read released unanswered (a queue emptied by a drop or by the end of
        // monitoring) clears it as well as its callback does.
        std::weak_ptr<void> check;
    };

    // How long after the last release of the keep-alive, new debt, answered check or clear that
    // did not go through the owed clears are tried again. Monitoring goes on meanwhile.
    static constexpr int PayDelayMs = 1000;

    explicit DevicePool(QObject* parent = nullptr);
    ~DevicePool() override;

    LiveSystem::Ptr_t activeSystem() const;
    // In key order.
    QList<LiveSystem::Ptr_t> systems() const;
    // The first system filed on the channel, in key order; null when there is none.
    LiveSystem::Id_t findSystemId(const Channel::Id_t& channel) const;
    // Nobody works under the password.
    bool isKeepAliveEnabled() const { return m_holds == 0; }
    // Controllers (by serial number and type) whose password is cleared when they are found.
    int owedClearCount() const { return m_owedClears.size(); }
    bool isCheckPending(const LiveSystem::Id_t& id) const;
    // A controller of that serial number and type is found on some channel, selected or not.
    bool isFound(const LiveSystem& system) const;
    bool isFound(const ControllerIdentity& identity) const;
    // The controller's clear failed or could not be confirmed, and it is not paid yet.
    bool owes(const ControllerIdentity& identity) const { return m_owedClears.contains(identity); }

    // Owed clears beyond one run of the program: kept by whoever stores them between runs, and
    // paid at its end while their controllers still answer. With the controllers owed ahead
    // while a hold lasts.
    QList<ControllerIdentity> owedClears() const;
    // Owed from an earlier run: each is paid when its controller is found.
    void restoreOwedClears(const QList<ControllerIdentity>& owed);
    // Sends the owed clear of every controller present, whoever holds the keep-alive.
    void payOwedClearsNow();
    bool isPayingOwedClears() const;

signals:
    void sendRequest(Channel::Id_t channel, Request::Ptr_t request);
    void activateChannel(Channel::Id_t channel);
    void dropChannel(Channel::Id_t channel, bool restart = false);
    void systemsUpdated();
    // The controller behind the channel was read and filed: every write on the channel is for it.
    void channelIdentified(Channel::Id_t channel, LiveSystem::Ptr_t system);
    void systemSelected(LiveSystem::Ptr_t system);
    void systemChecked();
    void activeRemoved();
    // A controller came to owe its clear (again), is owed ahead, or paid it or was let go.
    void owedClearsChanged();
    // Another controller answers in the place of `lost`, whose channel goes next: found by a
    // check or by a sender working on it.
    void systemReplaced(LiveSystem::Ptr_t lost, ControllerIdentity found);

public slots:
    void channelOpened(Channel::Id_t channel);
    void channelClosed(Channel::Id_t channel);
    void selectSystem(LiveSystem::Id_t id);
    void needKeepAlive();
    void forceDropWithRestart();
    void enableKeepAlive(bool on);
    // A sender starts (true) or ends (false) work under the password that the checks go on
    // through; otherwise it counts as a hold.
    void workUnderPassword(bool starts);
    void owePasswordClear(LiveSystem::Ptr_t system);
    // Another controller answered in the place of one working under the password after frames
    // of it went out: it may hold the password, and owes the clear until it is found and paid.
    void owePasswordClearOf(ControllerIdentity identity);
    // A sender working on the system found the controller `found` on its channel: as after a
    // failed check, the channel goes, and whichever controller is there is found anew.
    void controllerReplaced(LiveSystem::Ptr_t system, ControllerIdentity found);
    // The same, found on the channel by a write's identity read, whoever sent the write.
    void controllerReplacedOn(Channel::Id_t channel, ControllerIdentity found);

private:
    void detected(const Channel::Id_t& channel, const LiveSystem::Id_t& id, const Request& read);
    void checked(const Channel::Id_t& channel, const LiveSystem::Id_t& id,
                 const std::shared_ptr<void>& ticket, const Request& read);
    // Removes every system filed on the channel; true when the active one was among them.
    bool removeSystemsOf(const Channel::Id_t& channel);
    static ControllerIdentity identityOf(const LiveSystem& system);
    void noteOwedClear(const Channel::Id_t& lost);
    void payOwedClears();
    // Sends the owed clear of the system unless one is already on its way.
    void sendOwedClear(const Channel::Id_t& channel, const LiveSystem& system);
    void owedClearDone(const ControllerIdentity& identity, const QString& who,
                       const Request& clear);
    // The wait before paying is armed these two ways only. The end of the last hold and a new debt
    // end a piece of work on a controller: the wait starts anew from them, so the clears go out a
    // whole PayDelayMs after the last such work (payAfterWork). An answered check and a clear that
    // did not go through come from every controller found, each on its own time: restarting the
    // wait for each would put off the clears of all of them, so these only make sure a wait is
    // running (payLater).
    void payAfterWork();
    void payLater();
    void hold(bool starts, bool checks);
    // The active controller is owed ahead for as long as a hold lasts.
    void oweAhead();

    QMap<LiveSystem::Id_t, SystemEntry> m_systems;
    LiveSystem::Id_t m_active;
    // Senders working under the password, and those among them that hold the checks off.
    int m_holds = 0;
    int m_checkHolds = 0;
    QSet<ControllerIdentity> m_owedClears;
    // Controllers that were active while a hold lasted: the password may reach them before the
    // hold's clear is confirmed.
    QSet<ControllerIdentity> m_owedAhead;
    // The owed clears on their way: the request carries the owning half.
    QMap<ControllerIdentity, std::weak_ptr<void>> m_paying;
    QTimer m_payDelay;
    // Systems whose CPU block is being read for detection, by channel; the read's callback finds
    // its system here only while its channel has stayed open.
    QMap<Channel::Id_t, LiveSystem::Ptr_t> m_detecting;

};
