#include "communication/deviceconfigurator.h"

#include "catalogue/settingsprovider.h"
#include "communication/multiwriterequest.h"
#include "communication/smartreadrequest.h"
#include "model/datablock.h"
#include "model/errorcodes.h"
#include "model/systemmodel.h"

#include <QDebug>
#include <QPointer>

#include <utility>

using namespace App::ErrorCode;

DeviceConfigurator::DeviceConfigurator(SystemModel* model, QObject* parent)
    : QObject(parent)
    , model(model)
    , image(model)
{
    Request::registerMetaType();
    LiveSystem::registerMetaTypes();
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &DeviceConfigurator::defferedConfiguration);
    retry.setSingleShot(true);
    connect(&retry, &QTimer::timeout, this, &DeviceConfigurator::reconcile);
    endCutOff.setSingleShot(true);
    connect(&endCutOff, &QTimer::timeout, this, &DeviceConfigurator::cutOffRewrites);
    connect(model, &SystemModel::changedResources, this, &DeviceConfigurator::changeResources,
            Qt::UniqueConnection);
    // A serial port's edit is announced as a change of the system, whose page shows the ports:
    // it is an edit of a resource all the same.
    connect(model, &SystemModel::changed, this, &DeviceConfigurator::changeResources);
    // The monitoring's read of the controller answered: the controller is on the line again.
    connect(model, &SystemModel::changedDeviceValues, this,
            &DeviceConfigurator::controllerAnswers);
    controlReady = makeControl();
}

DeviceConfigurator::~DeviceConfigurator() = default;

bool DeviceConfigurator::makeControl()
{
    return ControlRequest::findRegisters(&commandEntry, &passwordEntry);
}

bool DeviceConfigurator::hasValidSystem() const
{
    return m_system && m_system->isValid();
}

void DeviceConfigurator::setSystem(LiveSystem::Ptr_t system)
{
    // Whatever is still on its way belongs to the controller that was selected before.
    if (m_system && (!system || system->id() != m_system->id()))
        abandonPending();
    m_system = std::move(system);
}

void DeviceConfigurator::systemLost()
{
    abandonPending();
    m_system.reset();
}

void DeviceConfigurator::abandonPending()
{
    const bool readPending = !raw.isNull();
    raw.reset();
    const QList<SequencePtr_t> pending = sequences;
    sequences.clear();
    ++session;

    if (readPending || !pending.isEmpty())
        qDebug() << "DevConfig [lost], Error! System lost with requests pending: read" << readPending
                 << "writes" << pending.size();
    for (const SequencePtr_t& sequence : pending) {
        // Whatever of it reached the controller, its clear never will be confirmed now; what it
        // owes, the pool pays to that controller alone, and nothing more of it goes out.
        for (const Request::Gate_t& gate : {sequence->cutOff, sequence->withdrawn})
            if (gate)
                gate->store(true);
        owe(sequence);
    }
    // One release for every sequence that held the keep-alive off: all of them. Before anything
    // is told: the user may leave a message open for as long as they like.
    for (const SequencePtr_t& sequence : pending)
        letGo(sequence);
    if (readPending)
        emit loaded(false);
    for (const SequencePtr_t& sequence : pending) {
        if (sequence->whole)
            emit written(false);
        else if (!sequence->clearOnly)
            settle(sequence);
    }
    // Nothing more goes to that controller: what differs stays unwritten. While monitoring, the
    // loss of the controller that follows tells it with the monitoring's end.
    retry.stop();
    if (ending || closing)
        tellUnwritten();
    else if (m_monitoring && record.hasCut())
        emit rewriteCut();
    endIfOver();
}

void DeviceConfigurator::monitoring(bool on, bool reachable)
{
    // An end already under way keeps its own deadline.
    if (!on && !m_monitoring)
        return;
    m_monitoring = on;
    timer.stop();
    retry.stop();
    next = Next::Now;
    // Monitoring starts on what was just read from the controller. At the stop the record stays:
    // what was not written is the user's to save.
    if (on) {
        record.clear();
        told = withheld = false;
        // A start never overtakes the stop before it, which goes now.
        if (std::exchange(ending, false)) {
            endCutOff.stop();
            emit keepAliveControl(true);
        }
        return;
    }
    // The stop is the monitoring's last word: the edits that differ go before it, as long as the
    // end may wait. A controller gone takes neither.
    if (record.isEmpty() || !reachable || !hasValidSystem() || !controlReady)
        return;
    ending = true;
    endGivenUp = withheld;
    endRewrites.setRemainingTime(EndRewritesMs);
    endCutOff.start(EndCutOffMs);
    // Silence or noise withholds the rewrite, not the channel: a check that dropped it would end
    // the tries that wait for the line to answer.
    emit keepAliveControl(false);
    reconcile();
}

void DeviceConfigurator::cutOffRewrites()
{
    for (const SequencePtr_t& sequence : qAsConst(sequences))
        if (!sequence->whole && !sequence->clearOnly && sequence->cutOff) {
            qDebug() << "DevConfig [MOD], Error! The end of monitoring can wait no longer, "
                        "the rewrite is cut off";
            sequence->cutOff->store(true);
        }
}

// ---- read ----

void DeviceConfigurator::read()
{
    if (!hasValidSystem()) {
        qDebug() << "DevConfig [read], Error! No valid system selected";
        emit loaded(false);
        return;
    }
    m_lastError = App::Error();
    // A new walk for every read: a walk never starts over.
    const RawConfiguration::Ptr_t next(new RawConfiguration());
    next->setRegisters(SettingsProvider::instance().iocfgBase());
    raw = next;
    const QPointer<DeviceConfigurator> self(this);
    const quint64 current = session;
    emit sendRequest(SmartReadRequest::create(next, [self, next, current](const Request& request) {
        if (self)
            self->readDone(next, current, request);
    }));
}

void DeviceConfigurator::readDone(const RawConfiguration::Ptr_t& walked, quint64 readSession,
                                  const Request& request)
{
    // Superseded by a newer read, or its system has gone: only the current walk is applied.
    if (readSession != session || walked != raw)
        return;
    raw.reset();
    if (!request.error().ok()) {
        qDebug() << "DevConfig [read], Error! Read requests result" << false
                 << request.error().subCode << request.error().detail;
        emit loaded(false);
        return;
    }
    applyRaw(walked);
}

void DeviceConfigurator::applyRaw(const RawConfiguration::Ptr_t& walked)
{
    if (!m_system || !walked)
        return;
    // Ids restart with every image, as they do in a cleared model.
    NodeId::resetImageIds();
    // A controller read again holds the system the model holds: its image is read into the
    // devices and resources in place, which spares making and freeing them all.
    const FlatConfiguration::Update update =
        image.update(m_system->info(), walked->image(), walked->table());
    bool ok = update == FlatConfiguration::Update::Updated;
    if (update == FlatConfiguration::Update::OtherSystem) {
        // The image is parsed into a model of its own and taken over only when it parses whole, so
        // a controller whose image is broken leaves the user's configuration as it was.
        SystemModel parsed;
        NodeId::resetImageIds();
        ok = FlatConfiguration(&parsed).parse(m_system->info(), walked->image(), walked->table());
        if (ok)
            model->takeOver(parsed);
    }
    if (ok) {
        // Edits waiting to be rewritten were made to the configuration the read replaced.
        record.clear();
        timer.stop();
        model->systemUpdated();
    } else {
        m_lastError.code = ConfigurationParse;
        m_lastError.subCode = ConfigurationParseFailed;
        m_lastError.text.clear();
        qDebug() << "DevConfig [Apply], Error! Deserealization from raw data";
    }
    emit loaded(ok);
}

// ---- write ----

bool DeviceConfigurator::systemChanged() const
{
    const SystemInfo_t& info = m_system->info();
    QList<QPair<DeviceType_t, HardwareVersion>> live{{info.cpuId, info.hw}};
    for (const BusEntry& entry : info.bus)
        live.append({entry.type, entry.revision});
    const QList<DeviceHandle> handles = model->deviceHandles();
    if (handles.size() != live.size())
        return true;
    for (int i = 0; i < handles.size(); ++i) {
        if (handles.at(i).type != live.at(i).first || handles.at(i).revision != live.at(i).second)
            return true;
    }
    return false;
}

void DeviceConfigurator::write()
{
    if (!hasValidSystem()) {
        qDebug() << "DevConfig [store], Error! No valid system selected";
        emit written(false);
        return;
    }
    if (!controlReady) {
        qDebug() << "DevConfig [store], Error! The catalogue has no device control registers";
        emit written(false);
        return;
    }
    // An image without devices would leave a controller whose configuration cannot be read back.
    QByteArray composed;
    if (model->devices().isEmpty() || !image.compose(composed)) {
        qDebug() << "DevConfig [store], Error! The configuration image cannot be built";
        emit written(false);
        return;
    }
    // Registers carry two bytes; an odd last byte would otherwise be cut off the image.
    if (composed.size() % 2)
        composed.append('\0');
    ProtoEntry entry = SettingsProvider::instance().iocfgBase();
    entry.registers = quint32(composed.size() / 2);
    const QSharedPointer<Resource> block = DataBlock::create(entry, composed);

    const bool structure = systemChanged();
    const int command = structure ? ControlRequest::SystemChanged : ControlRequest::ResourcesChanged;
    qDebug() << "void DeviceConfigurator::write()"
             << (structure ? QStringLiteral("System") : QStringLiteral("Resource"))
                    + QStringLiteral(" changed")
             << (structure ? 1 : 0) << command;
    if (!mayUnlock(PasswordUse::Write)) {
        qDebug() << "DevConfig [store], Error! Password withheld, nothing written";
        emit written(false);
        return;
    }
    qDebug() << "void DeviceConfigurator::write()" << "====== START write disable KEEPALIVE ======";
    sendSequence({block}, command, beginSequence(true, structure), imageWriteTimeoutUs);
    qDebug() << "void DeviceConfigurator::write()" << "====== FINISH write enable KEEPALIVE ======";
}

bool DeviceConfigurator::mayUnlock(PasswordUse use) const
{
    return !keepOwedAhead
           || keepOwedAhead({m_system->info().kernelSn, m_system->info().cpuId}, use);
}

DeviceConfigurator::SequencePtr_t DeviceConfigurator::beginSequence(bool whole, bool restart)
{
    const SequencePtr_t sequence = std::make_shared<Sequence>();
    sequence->session = session;
    sequence->system = m_system;
    sequence->whole = whole;
    sequence->restart = restart;
    sequence->window = PasswordWindow(m_system);
    // A rewrite lets the checks go on: while it waits on a silent line, the user hears of the
    // loss as soon as without it, and monitoring does not show old values as current meanwhile.
    // What it owes is told by itself, since it knows whether its password went out.
    sequence->checksHeld = whole;
    sequences.append(sequence);
    take(sequence);
    return sequence;
}

void DeviceConfigurator::take(const SequencePtr_t& sequence)
{
    if (sequence->checksHeld)
        emit keepAliveControl(false);
    else
        emit passwordWork(true);
}

void DeviceConfigurator::letGo(const SequencePtr_t& sequence)
{
    if (sequence->checksHeld)
        emit keepAliveControl(true);
    else
        emit passwordWork(false);
}

ReleaseToken::Ptr_t DeviceConfigurator::releaseToken(const SequencePtr_t& sequence)
{
    return ReleaseToken::make(this, [this, sequence] { released(sequence); });
}

void DeviceConfigurator::sendSequence(const QList<QSharedPointer<Resource>>& blocks, int command,
                                      const SequencePtr_t& sequence, qint32 timeoutUs)
{
    // A controller that refused the password would refuse the rest as well.
    const Request::Gate_t passTaken = GatedControlRequest::makeGate();
    const Request::Gate_t stored = GatedControlRequest::makeGate();
    sequence->passStarted = GatedControlRequest::makeGate();
    sequence->passTaken = passTaken;
    sequence->storeStarted = GatedControlRequest::makeGate();
    sequence->withdrawn = GatedControlRequest::makeGate();
    sequence->cutOff = GatedControlRequest::makeGate();
    const ReleaseToken::Ptr_t token = releaseToken(sequence);
    const QPointer<DeviceConfigurator> self(this);
    const Request::Ptr_t store = MultiWriteRequest::create(
        blocks,
        [self, sequence, token](const Request& request) {
            if (self)
                self->storeDone(sequence, request);
        },
        GatedControlRequest::opener(stored), Request::ControlPriority);
    store->setTimeoutUs(timeoutUs);
    store.staticCast<MultiWriteRequest>()->setGate(passTaken);
    store.staticCast<MultiWriteRequest>()->setStarts(sequence->storeStarted);
    // All four are made before the first leaves: the channel may start on one while the next is
    // still being built, and a queued request must not change.
    const QList<Request::Ptr_t> requests{
        controlRequest(Control::PassSet, 0, sequence, token, passTaken),
        store,
        controlRequest(Control::PassControl, command, sequence, token, stored),
        controlRequest(sequence->restart ? Control::PassClearRestart : Control::PassClear, 0,
                       sequence, token, {}),
    };
    requests.first().staticCast<ControlRequest>()->setStarts(sequence->passStarted);
    sequence->window.open(*requests.first());
    for (const Request::Ptr_t& request : requests) {
        // The clear goes also when the rest is cut off: it closes whatever went out before.
        request->setWithdrawal(request == requests.last() ? sequence->withdrawn : sequence->cutOff);
        sequence->window.enlist(*request);
        emit sendRequest(request);
    }
}

void DeviceConfigurator::sendClear(const SequencePtr_t& sequence)
{
    // Frames of the sequence before it went unanswered: the clear finds out who answers now.
    sequence->window.releasedBeforeClear();
    sequence->withdrawn = GatedControlRequest::makeGate();
    const Request::Ptr_t clear =
        controlRequest(Control::PassClear, 0, sequence, releaseToken(sequence), {});
    clear->setWithdrawal(sequence->withdrawn);
    emit sendRequest(clear);
}

Request::Ptr_t DeviceConfigurator::controlRequest(Control control, int command,
                                                  const SequencePtr_t& sequence,
                                                  const ReleaseToken::Ptr_t& token,
                                                  const Request::Gate_t& gate)
{
    const QPointer<DeviceConfigurator> self(this);
    Request::Callback_t callback = [self, control, sequence, token](const Request& request) {
        if (self)
            self->controlDone(control, sequence, request);
    };
    if (control == Control::PassClear || control == Control::PassClearRestart)
        return sequence->window.closingClear(commandEntry, passwordEntry, std::move(callback));
    QSharedPointer<ControlRequest> request;
    if (control == Control::PassControl)
        request.reset(new GatedControlRequest(gate, std::move(callback), Request::ControlPriority));
    else
        request.reset(new ControlRequest(std::move(callback), Request::ControlPriority));
    request->setRegisters(commandEntry, passwordEntry);
    const bool setsPassword = control == Control::PassSet;
    request->setSendPassword(setsPassword);
    request->setSendCommand(!setsPassword);
    if (setsPassword)
        request->setOpens(gate);
    request->setPassword(ControlRequest::DevicePassword);
    if (!setsPassword)
        request->setCommand(command);
    return request;
}

bool DeviceConfigurator::isCurrent(const SequencePtr_t& sequence) const
{
    return sequence->session == session && sequences.contains(sequence);
}

void DeviceConfigurator::storeDone(const SequencePtr_t& sequence, const Request& request)
{
    if (!isCurrent(sequence))
        return;
    const bool ok = request.error().ok();
    sequence->stored = ok;
    sequence->blockRefused = static_cast<const MultiWriteRequest&>(request).wasRefused();
    if (sequence->whole)
        qDebug() << "DevConfig [store], Write requests result" << ok;
    else
        qDebug() << "DevConfig [MOD], Write requests result" << ok;
}

const char* DeviceConfigurator::controlLogLine(Control control)
{
    switch (control) {
    case Control::PassSet:
        return "DevConfig [pass-set], Write PASS requests result";
    case Control::PassClear:
        return "DevConfig [pass-clear], Write PASS CLEAR requests result";
    case Control::PassClearRestart:
        return "DevConfig [pass-clear-restart], PASS CLEAR with RESTART After change system";
    case Control::PassControl:
        break;
    }
    return "DevConfig [pass-control], Write PASCONTROL requests result";
}

void DeviceConfigurator::controlDone(Control control, const SequencePtr_t& sequence,
                                     const Request& request)
{
    const Request::Error_t& e = request.error();
    qDebug() << controlLogLine(control) << e.ok() << e.subCode << e.detail;
    // The system is gone from its channel: the sequence ends as one whose system was lost, and
    // the user hears that the controller is locked when it is found again.
    if (!isCurrent(sequence))
        return;
    switch (control) {
    case Control::PassSet:
        // A password write without an answer may still have reached the controller; one withheld
        // because another controller, or none, answered in its place did not.
        sequence->passSent = sequence->passStarted && sequence->passStarted->load();
        sequence->refused = static_cast<const ControlRequest&>(request).wasRefused();
        break;
    case Control::PassControl:
        sequence->commanded = e.ok();
        sequence->refused =
            sequence->refused || static_cast<const ControlRequest&>(request).wasRefused();
        break;
    case Control::PassClear:
    case Control::PassClearRestart:
        // The password may have reached the controller found in the owner's place.
        if (PasswordWindow::owedByAnother(request))
            emit clearOwedByAnother(PasswordWindow::answered(request));
        sequence->replaced = PasswordWindow::answeredByAnother(request);
        sequence->found = PasswordWindow::answered(request);
        if (!e.ok())
            owe(sequence);
        finish(sequence, e.ok());
        break;
    }
}

void DeviceConfigurator::finish(const SequencePtr_t& sequence, bool cleared)
{
    // Done before the signals: dropping the channel comes back here as the loss of the system.
    sequences.removeAll(sequence);
    // Only a controller that took the new structure restarts; one that was never told keeps
    // running and keeps its channel.
    const bool drop = sequence->restart && sequence->commanded;
    // A channel dropped while the keep-alive is held is taken for one whose controller may still
    // have the password set: it is cleared when the controller is found again.
    if (drop && !cleared)
        emit forceDropChannel();
    // Let go once the clear is confirmed or owed, before anything is told: the user may leave
    // the answer open for as long as they like, and the controller would count as owed ahead
    // all that while.
    letGo(sequence);
    // The system is gone from its channel, and whichever controller is there is found anew;
    // before anything is told, so that the owner is told as one away. Once the keep-alive is let
    // go: a channel lost under a hold would make the owner owe a clear that never went out.
    if (sequence->replaced)
        emit controllerReplaced(sequence->system, sequence->found);
    // A success is a controller that took the image and its command and is locked again.
    if (sequence->whole)
        emit written(sequence->stored && sequence->commanded && cleared);
    else if (!sequence->clearOnly)
        settle(sequence);
    if (drop && cleared)
        emit forceDropChannel();
    reconcile();
}

void DeviceConfigurator::released(const SequencePtr_t& sequence)
{
    if (!isCurrent(sequence))
        return;
    sequences.removeAll(sequence);
    qDebug() << "DevConfig [released], Error! Requests released unanswered, password sent"
             << sequence->passSent;
    if (sequence->clearOnly) {
        owe(sequence);
        letGo(sequence);
        reconcile();
        return;
    }
    if (sequence->passSent) {
        // The keep-alive stays held for the clear.
        const SequencePtr_t clear = std::make_shared<Sequence>();
        clear->session = session;
        clear->system = sequence->system;
        clear->clearOnly = true;
        clear->checksHeld = sequence->checksHeld;
        // The clear closes the same window: what its frames met counts for it.
        clear->window = sequence->window;
        sequences.append(clear);
        sendClear(clear);
    } else {
        letGo(sequence);
    }
    if (sequence->whole)
        emit written(false);
    else
        settle(sequence);
    reconcile();
}

void DeviceConfigurator::owe(const SequencePtr_t& sequence)
{
    // A sequence given up before its password write began left the controller locked.
    const bool passMaybeSent = sequence->clearOnly || sequence->passSent
                               || (sequence->passStarted && sequence->passStarted->load());
    if (!sequence->system || !passMaybeSent)
        return;
    qDebug() << "DevConfig [pass-clear], Error! Password clear not confirmed, owed by"
             << describeSystemInfo(sequence->system->info());
    emit clearOwed(sequence->system);
}

void DeviceConfigurator::settle(const SequencePtr_t& sequence)
{
    // The edits are in the controller once it took the blocks and the command that applies them:
    // those made up to the rewrite's building, on its devices. Later ones still differ.
    if (sequence->stored && sequence->commanded) {
        const bool unwritten = hasUnwrittenEdits();
        record.written(*model, sequence->stamp, sequence->devices);
        if (unwritten && !hasUnwrittenEdits())
            emit editsAllWritten();
        return;
    }
    // A password taken says nothing of the blocks: the way out of monitoring empties the queue
    // of them while the password frame still waits for the controller.
    if (!sequence->stored && sequence->storeStarted && sequence->storeStarted->load()) {
        qDebug() << "DevConfig [MOD], Error! Rewrite cut, the configuration may be incomplete";
        record.cut(sequence->devices);
    }
    // Another controller there: its channel goes, and nothing more of these edits goes with it.
    if (sequence->replaced) {
        qDebug() << "DevConfig [MOD], Error! Rewrite not written, another controller answers";
        endGivenUp = true;
        tellUnwritten();
        return;
    }
    const bool monitoringGoesOn = m_monitoring && !closing;
    // The controller answered and said no: sent again at its every answer, the rewrite would meet
    // the same answer at every tick, and the user would never hear of it.
    if (sequence->refused || sequence->blockRefused) {
        qDebug() << "DevConfig [MOD], Error! Rewrite refused by the controller";
        if (!monitoringGoesOn) {
            endGivenUp = true;
        } else if (sequence->blockRefused) {
            next = Next::Edit;
            emit rewriteCut();
        } else {
            next = Next::Edit;
            emit rewriteRefused();
        }
        return;
    }
    // Silence or noise: the next goes once the controller answers, its identity read first.
    // After the stop no read of the monitoring tells that, so the next try's own identity read
    // looks for the line, a pause after this one.
    qDebug() << "DevConfig [MOD], Error! Rewrite not written, sent again once the controller "
                "answers";
    if (monitoringGoesOn)
        next = Next::Answer;
    else if (ending && !closing)
        retry.start(EndRetryPauseMs);
}

void DeviceConfigurator::reconcile()
{
    // One rewrite at a time, and none beside a write or a clear: the end of each comes back here.
    if (!sequences.isEmpty() || retry.isActive())
        return;
    if (!m_monitoring && !ending && !closing)
        return;
    if (closing && !closeTry) {
        tellUnwritten();
        endIfOver();
        return;
    }
    if (m_monitoring && !closing && (timer.isActive() || next != Next::Now))
        return;
    if (ending && !closing && (endGivenUp || endRewrites.hasExpired())) {
        endIfOver();
        return;
    }
    QList<NodeId_t> devices;
    const QList<QSharedPointer<Resource>> blocks =
        record.isEmpty() || !hasValidSystem() || !controlReady ? QList<QSharedPointer<Resource>>()
                                                               : makeModifiedConfig(&devices);
    if (blocks.isEmpty()) {
        if (!record.isEmpty() && (!hasValidSystem() || !controlReady))
            qDebug() << "DevConfig [MOD], Error! No valid system or no device control registers";
        if (closing)
            tellUnwritten();
        endIfOver();
        return;
    }
    closeTry = false;
    if (!mayUnlock(PasswordUse::Rewrite)) {
        qDebug() << "DevConfig [MOD], Error! Password withheld, rewrite not sent";
        // The user hears that the next edit carries them, and that after the stop only a whole
        // write does: the stop asks no more.
        if (m_monitoring && !closing) {
            next = Next::Edit;
            withheld = told = true;
        } else {
            endGivenUp = true;
        }
        emit rewriteWithheld();
        if (!m_monitoring || closing) {
            tellUnwritten();
            endIfOver();
        }
        return;
    }
    const SequencePtr_t sequence = beginSequence(false, false);
    sequence->stamp = record.last();
    sequence->devices = devices;
    sendSequence(blocks, ControlRequest::ResourcesChanged, sequence, Request::DefaultTimeoutUs);
}

void DeviceConfigurator::endIfOver()
{
    if (!ending || !sequences.isEmpty() || retry.isActive())
        return;
    ending = false;
    endCutOff.stop();
    emit keepAliveControl(true);
    tellUnwritten();
    emit stopMayGo();
}

void DeviceConfigurator::tellUnwritten()
{
    if (told || record.isEmpty())
        return;
    // Only edits a rewrite could carry: the controller's label, say, lives in files alone.
    QList<NodeId_t> devices;
    if (makeModifiedConfig(&devices).isEmpty())
        return;
    told = true;
    if (record.hasCut()) {
        qDebug() << "DevConfig [MOD], Error! The configuration may be left cut part-way";
        emit rewriteCut();
    }
    if (closing)
        qDebug() << "DevConfig [MOD], Error! Rewrite not written at the close";
    else
        qDebug() << "DevConfig [MOD], Error! Rewrite not written, monitoring stopped";
    emit editsNotWritten();
}

void DeviceConfigurator::controllerAnswers()
{
    if (next != Next::Answer || !m_monitoring || closing)
        return;
    next = Next::Now;
    reconcile();
}

// ---- deferred reconfiguration ----

void DeviceConfigurator::changeResources(QList<NodeId_t> ids)
{
    qDebug() << "DevConfig [mod cfg], size " << ids.size() << "mon" << m_monitoring;
    if (ids.isEmpty() || !m_monitoring)
        return;
    record.edit(ids);
    told = withheld = false;
    // A rewrite refused or withheld goes again with the next edit.
    if (next == Next::Edit)
        next = Next::Now;
    if (closing) {
        closeTry = true;
        reconcile();
        return;
    }
    timer.start(reconfigurationDelayMs);
}

void DeviceConfigurator::close()
{
    if (closing)
        return;
    closing = true;
    // Edits still waiting for their delay, or for the controller to answer, would be dropped with
    // the program, and the controller would keep its earlier settings without anyone knowing.
    timer.stop();
    retry.stop();
    closeTry = m_monitoring || ending;
    reconcile();
}

void DeviceConfigurator::defferedConfiguration()
{
    // The edits' delay is over, whoever ends it.
    timer.stop();
    reconcile();
}

QList<QSharedPointer<Resource>> DeviceConfigurator::makeModifiedConfig(QList<NodeId_t>* devices)
{
    // An edit of no device's resource, such as the controller's label, which the controller
    // does not hold, or of a device gone from the model, stays unwritten.
    const ProtoEntry base = SettingsProvider::instance().iocfgBase();
    QList<QSharedPointer<Resource>> blocks;
    for (const Device::Ptr_t& device : record.devices(*model)) {
        const quint32 offset = device->imageOffset();
        const quint32 size = device->imageSize();
        // A block that starts inside a register cannot be rewritten without its neighbour's byte.
        if (offset == 0 || size == 0 || offset % 2 || size % 2) {
            qDebug() << "DevConfig [MOD], wrong param: " << device->name() << offset << size;
            continue;
        }
        QByteArray block;
        if (!image.deviceBlock(device, block)) {
            qDebug() << "DevConfig [MOD], convert error: " << device->name();
            continue;
        }
        if (quint32(block.size()) != size) {
            qDebug() << "DevConfig [mod cfg], size error: " << device->name() << block.size()
                     << size;
            continue;
        }
        ProtoEntry entry = base;
        entry.offset += offset / 2;
        entry.registers = quint32(block.size() / 2);
        blocks.append(DataBlock::create(entry, block));
        devices->append(device->id());
    }
    return blocks;
}
