#include "communication/controlandmonitoring.h"

#include "catalogue/settingsprovider.h"
#include "communication/controllercheckread.h"
#include "communication/controlrequest.h"
#include "communication/gatedcontrolrequest.h"
#include "communication/passwordwindow.h"
#include "communication/releasetoken.h"
#include "communication/reqgen.h"
#include "model/resourcekind.h"
#include "model/systemmodel.h"
#include "model/valueroles.h"

#include <QDebug>
#include <QLoggingCategory>
#include <QPointer>

#include <utility>

namespace {

// The lines below are written on every tick: formatted once, with printf-style calls, and not at
// all while debug output is off.
bool debugOn()
{
    const QLoggingCategory* category = QLoggingCategory::defaultCategory();
    return !category || category->isDebugEnabled();
}

// A text as a debug stream quotes it; plain texts, the usual case, skip the stream.
QString quoted(const QString& text)
{
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.isPrint() && c != QLatin1Char('"') && c != QLatin1Char('\\');
    if (plain)
        return QLatin1Char('"') + text + QLatin1Char('"');
    QString out;
    QDebug(&out).nospace() << text;
    return out;
}

} // namespace

ControlAndMonitoring::ControlAndMonitoring(SystemModel* model, QObject* parent)
    : QObject(parent)
    , model(model)
{
    timer.setInterval(TickIntervalMs);
    connect(&timer, &QTimer::timeout, this, &ControlAndMonitoring::onMonitoringTick);
    if (model) {
        connect(model, &SystemModel::controlValues, this, &ControlAndMonitoring::onChangedValues);
        connect(model, &SystemModel::changedResources, this,
                &ControlAndMonitoring::onChangedResources);
    }
    makeControl();
}

ControlAndMonitoring::~ControlAndMonitoring() = default;

void ControlAndMonitoring::setTickInterval(int ms)
{
    timer.setInterval(ms);
}

bool ControlAndMonitoring::makeControl()
{
    ProtoEntry command;
    ProtoEntry password;
    controlReady = ControlRequest::findRegisters(&command, &password);
    if (controlReady) {
        commandEntry = command;
        passwordEntry = password;
    }
    return controlReady;
}

Request::Ptr_t ControlAndMonitoring::commandRequest(int command,
                                                    Request::Callback_t callback) const
{
    QSharedPointer<ControlRequest> request(
        new ControlRequest(std::move(callback), Request::ControlPriority));
    request->setRegisters(commandEntry, passwordEntry);
    request->setSendPassword(true);
    request->setSendCommand(true);
    request->setPassword(ControlRequest::DevicePassword);
    request->setCommand(command);
    return request;
}

void ControlAndMonitoring::sendCommand(int command)
{
    if (!controlReady) {
        qDebug() << "C&M [Control] No device control registers, command not sent:" << command;
        return;
    }
    if (m_system && keepOwedAhead
        && !keepOwedAhead({m_system->info().kernelSn, m_system->info().cpuId},
                          command == ControlRequest::MonitoringStarted
                              ? PasswordUse::MonitoringStart
                              : PasswordUse::MonitoringStop)) {
        qDebug() << "C&M [Control] Password withheld, command not sent:" << command;
        emit commandWithheld(command);
        return;
    }
    const auto handshake = std::make_shared<Handshake>();
    handshake->system = m_system;
    handshake->stop = command == ControlRequest::MonitoringStopped;
    const std::shared_ptr<Handshake> earlier = lastHandshake.lock();
    lastHandshake = handshake;
    emit keepAliveControl(false);
    const ReleaseToken::Ptr_t token = ReleaseToken::make(this, [this, handshake, command] {
        handshake->settled = true;
        const std::shared_ptr<Handshake> later = lastHandshake.lock();
        // The password may have reached the controller found in the owner's place.
        if (handshake->otherOwes)
            emit clearOwedByAnother(handshake->other);
        if ((handshake->passSent || handshake->inherited) && !handshake->cleared
            && handshake->system) {
            if (later && later != handshake && later->system == handshake->system) {
                // A stop sent while the start was on its way clears the same controller.
                later->inherited = true;
            } else {
                // Owed before the hold goes, so the pool's wait before paying starts with it.
                qDebug() << "C&M [Control] Password clear not confirmed, owed by"
                         << describeSystemInfo(handshake->system->info());
                emit clearOwed(handshake->system);
            }
        }
        emit keepAliveControl(true);
        // A start released unsent told the controller nothing and is not told either; a stop
        // released unsent leaves it in monitoring mode.
        if (!handshake->ran && command == ControlRequest::MonitoringStopped)
            emit stopNotSent(handshake->system);
        if (handshake->ran && !handshake->commandTaken && !handshake->notSentTold) {
            qDebug() << "C&M [Control] Command not taken:" << command;
            emit commandFailed(command, handshake->system, handshake->refused);
        }
        // Last: the loss of the system it brings stops monitoring, which sends a handshake.
        if (handshake->replaced)
            emit controllerReplaced(handshake->system, handshake->other);
    });
    // A stop queued behind a start is a window of its own: it reads who answers before its
    // password word, whatever became of the start's.
    const PasswordWindow window(m_system);
    // Its clear may have to settle the earlier one's, whose end is not known yet.
    if (earlier && !earlier->settled && earlier->system == m_system)
        window.follows(earlier->window);
    handshake->window = window;
    const Request::Gate_t started = GatedControlRequest::makeGate();
    const QPointer<ControlAndMonitoring> self(this);
    const Request::Ptr_t commandFrames = commandRequest(
        command, [self, token, handshake, started, command](const Request& request) {
            handshake->ran = true;
            // Withheld when another controller, or none, answered in the owner's place.
            handshake->passSent = started->load();
            handshake->commandTaken = request.error().ok();
            handshake->refused = static_cast<const ControlRequest&>(request).wasRefused();
            // Nothing of a stop withheld so went out: told now, while its clear may still try a
            // silent line for a long while.
            if (command == ControlRequest::MonitoringStopped && !handshake->passSent
                && !handshake->commandTaken && self) {
                handshake->notSentTold = true;
                emit self->stopNotSent(handshake->system);
            }
        });
    commandFrames.staticCast<ControlRequest>()->setStarts(started);
    window.open(*commandFrames);
    // The callbacks keep the handshake's token while its requests live.
    emit sendRequest(commandFrames);
    emit sendRequest(window.closingClear(
        commandEntry, passwordEntry, [token, handshake](const Request& request) {
            handshake->cleared = request.error().ok();
            handshake->replaced = PasswordWindow::answeredByAnother(request);
            handshake->otherOwes = PasswordWindow::owedByAnother(request);
            handshake->other = PasswordWindow::answered(request);
        }));
}

bool ControlAndMonitoring::isStopOnItsWay() const
{
    if (stopHeld)
        return true;
    const std::shared_ptr<Handshake> last = lastHandshake.lock();
    return last && last->stop && !last->settled;
}

void ControlAndMonitoring::setSystem(LiveSystem::Ptr_t system)
{
    m_system = std::move(system);
}

void ControlAndMonitoring::sendStartCommand()
{
    sendCommand(ControlRequest::MonitoringStarted);
}

void ControlAndMonitoring::sendStopCommand()
{
    sendCommand(ControlRequest::MonitoringStopped);
}

void ControlAndMonitoring::monitoring(bool on)
{
    // A start never overtakes the stop before it.
    if (on)
        sendHeldStop();
    ++generation;
    m_pending = 0;
    m_monitoring = on;
    if (on) {
        if (model)
            model->assignRegisters();
        buildMonRequests();
        buildDeviceRequests();
        controlEnabled = true;
        sendStartCommand();
        timer.start();
        return;
    }
    controlEnabled = false;
    timer.stop();
    monRequests.clear();
    monIds.clear();
    if (const int lost = values.giveUpAll())
        emit valuesNotWritten(lost);
    // The stop is the monitoring's last word: the edits made while it ran go before it.
    stopHeld = stopWaits && stopWaits();
    if (!stopHeld)
        sendStopCommand();
}

void ControlAndMonitoring::sendHeldStop()
{
    if (std::exchange(stopHeld, false))
        sendStopCommand();
}

QList<RequestItem> ControlAndMonitoring::collectMonResources() const
{
    QList<RequestItem> items;
    if (!model)
        return items;
    for (const IoResource::Ptr_t& resource : model->resources()) {
        if (!resource || resource->kind() == ResourceKind::SerialPort)
            continue;
        const QList<int> roles = resource->rolesB();
        for (int code : roles) {
            if (code == ValueRole::None)
                continue;
            items.append({resource, resource->role(code), code});
        }
    }
    return items;
}

void ControlAndMonitoring::buildMonRequests()
{
    // Always replaced: requests of an earlier run carry that run's callbacks, which no longer
    // count, so keeping them would stall every batch.
    monRequests.clear();
    monIds.clear();
    const QList<RequestItem> items = collectMonResources();
    if (items.isEmpty())
        return;
    QPointer<ControlAndMonitoring> self(this);
    const quint64 run = generation;
    monRequests = ReqGen::makeMonRequests(items, [self, run](const Request& request) {
        if (self)
            self->monitoringDone(run, request);
    });
    for (const Request::Ptr_t& request : qAsConst(monRequests))
        monIds.insert(request.data(), itemIds(*request));
}

QList<NodeId_t> ControlAndMonitoring::itemIds(const Request& request)
{
    QList<NodeId_t> ids;
    ids.reserve(request.list().size());
    for (const RequestItem& item : request.list())
        ids.append(item.resource ? item.resource->id() : NodeId_t());
    return ids;
}

KorCpu::Ptr_t ControlAndMonitoring::findSysRegisters() const
{
    ProtoEntry entry;
    if (!SettingsProvider::instance(QString()).protoEntry(QStringLiteral("sys"),
                                                          ResourceKind::KorCpu, &entry))
        return {};
    KorCpu::Ptr_t block(new KorCpu());
    block->setRegisters(entry);
    return block;
}

void ControlAndMonitoring::buildDeviceRequests()
{
    devRequest.reset();
    cpu.reset();
    handles = model ? model->deviceHandles() : QList<DeviceHandle>();
    if (handles.isEmpty())
        return;
    cpu = findSysRegisters();
    if (!cpu)
        return;
    QPointer<ControlAndMonitoring> self(this);
    const quint64 run = generation;
    // Every tick's read is also the check that the selected controller is still the one on the
    // line; the keep-alive would find another only seconds later.
    const LiveSystem::Ptr_t selected = m_system;
    const ControllerIdentity owner = selected ? ControllerIdentity(selected->info().kernelSn,
                                                                   selected->info().cpuId)
                                              : ControllerIdentity();
    devRequest = ControllerCheckRead::create(
        cpu, owner, [self, run, selected](const Request& request) {
            if (self)
                self->deviceDone(run, selected, request);
        });
}

void ControlAndMonitoring::onMonitoringTick()
{
    if (!m_monitoring)
        return;
    if (m_pending >= 1) {
        qDebug("C&M [Tick] Request in progress:  %d , skip iteration", m_pending);
        return;
    }
    // Shared copies, not the members: a receiver that runs a request at once may stop
    // monitoring, which empties them.
    const QList<Request::Ptr_t> requests = monRequests;
    const Request::Ptr_t cpuRequest = devRequest;
    const int batch = requests.size() + (cpuRequest ? 1 : 0);
    m_pending = batch;
    // Every request of the last batch has called back, so none is queued: it may take the
    // resources' state again. The CPU block's read goes with priority, ahead of the batch's
    // reads: it checks that the controller is still the selected one.
    for (const Request::Ptr_t& request : requests) {
        request->prepare();
        emit sendRequest(request);
    }
    if (cpuRequest) {
        cpuRequest->prepare();
        emit sendRequest(cpuRequest);
    }
    qDebug("C&M [Tick] Send requests:  %d", batch);
}

bool ControlAndMonitoring::countsDown(quint64 run)
{
    if (run != generation)
        return false;
    if (m_pending > 0)
        --m_pending;
    return true;
}

void ControlAndMonitoring::monitoringDone(quint64 run, const Request& request)
{
    if (debugOn())
        qDebug("C&M [VAL] Mon Fin: %ls , in prog: %d",
               qUtf16Printable(quoted(resultText(request))), m_pending);
    if (!countsDown(run) || !request.error().ok())
        return;
    applyMonValues(request);
}

void ControlAndMonitoring::deviceDone(quint64 run, const LiveSystem::Ptr_t& selected,
                                      const Request& request)
{
    if (debugOn())
        qDebug("C&M [VAL] Fin: %ls , in prog: %d", qUtf16Printable(quoted(resultText(request))),
               m_pending);
    if (ControllerCheckRead::answeredByAnother(request)) {
        // Its values are another controller's, and its channel carries nothing more: the
        // channel goes at once, as after a failed keep-alive check, whichever run the read was of.
        const ControllerIdentity other = static_cast<const ControllerCheckRead&>(request).answered();
        qDebug() << "C&M [Check] Error! Another controller answers: sn=" << other.first
                 << "type=" << other.second << "selected:" << describeSystemInfo(selected->info());
        countsDown(run);
        emit controllerReplaced(selected, other);
        return;
    }
    if (!countsDown(run) || !request.error().ok())
        return;
    applyDeviceValues();
    // The selected controller answers its identity read: a value write may go again.
    sendOwedValues();
}

void ControlAndMonitoring::applyMonValues(const Request& request)
{
    // The request has already decoded the values into its items' resources.
    const auto known = monIds.constFind(&request);
    announce(known != monIds.constEnd() ? *known : itemIds(request), false);
}

void ControlAndMonitoring::applyDeviceValues()
{
    QList<NodeId_t> ids;
    ids.reserve(handles.size());
    const QList<CpuRecord> records = cpu ? cpu->records() : QList<CpuRecord>();
    for (int i = 0; i < handles.size(); ++i) {
        const DeviceHandle& handle = handles.at(i);
        const Device::Ptr_t device = model ? model->device(handle.id) : Device::Ptr_t();
        if (!device)
            continue;
        // Records come in bus order, so the i-th device takes the i-th record.
        if (i >= records.size())
            break;
        const CpuRecord& record = records.at(i);
        device->setReadings({record.value1, record.value2, record.value3, record.value4,
                             record.value5});
        device->setSupplyFlags(record.byteA);
        ids.append(handle.id);
        if (debugOn())
            qDebug("Device: %d %u %g %d", handle.number, handle.type, double(record.value2),
                   int(record.byteA));
    }
    announce(ids, true);
}

void ControlAndMonitoring::announce(const QList<NodeId_t>& ids, bool deviceValues)
{
    controlEnabled = false;
    if (model)
        model->realtimeUpdated(ids, deviceValues);
    // A receiver may have stopped monitoring meanwhile; control stays off then.
    controlEnabled = m_monitoring;
}

QList<RequestItem> ControlAndMonitoring::collectChangedValues(const QList<NodeId_t>& ids) const
{
    QList<RequestItem> items;
    if (!model)
        return items;
    for (const NodeId_t& id : ids) {
        const IoResource::Ptr_t resource = model->resource(id);
        if (!resource)
            continue;
        const QList<int> roles = resource->rolesA();
        for (int code : roles)
            items.append({resource, resource->role(code), code});
    }
    return items;
}

void ControlAndMonitoring::onChangedValues(QList<NodeId_t> ids)
{
    if (!controlEnabled)
        return;
    QPointer<ControlAndMonitoring> self(this);
    const LiveSystem::Ptr_t selected = m_system;
    emit sendRequest(
        values.make(collectChangedValues(ids), [self, selected](const Request& request) {
            if (self)
                self->writeDone(selected, request);
        }));
}

void ControlAndMonitoring::writeDone(const LiveSystem::Ptr_t& selected, const Request& request)
{
    if (debugOn())
        qDebug("C&M [WR] Fin %ls , size: %d", qUtf16Printable(quoted(resultText(request))),
               request.resources().size());
    // The identity read before the write found another controller: nothing was written, and
    // the channel, which tells the pool, carries nothing more.
    if (request.foundAnotherController() && selected)
        qDebug() << "C&M [WR] Error! Another controller answers: sn=" << request.foundInstead().first
                 << "type=" << request.foundInstead().second
                 << "selected:" << describeSystemInfo(selected->info());
    if (const int lost = values.settle(request, m_monitoring))
        emit valuesNotWritten(lost);
}

void ControlAndMonitoring::sendOwedValues()
{
    // Shared copies: a receiver that runs a request at once may stop monitoring.
    const QList<Request::Ptr_t> owed = values.takeOwed();
    for (const Request::Ptr_t& request : owed)
        emit sendRequest(request);
}

void ControlAndMonitoring::onViewedResourcesChanged(QList<IoResource::Ptr_t>& resources)
{
    Q_UNUSED(resources)
}

void ControlAndMonitoring::onChangedResources(QList<NodeId_t> ids)
{
    Q_UNUSED(ids)
}

QString ControlAndMonitoring::resultText(const Request& request) const
{
    const Request::Error_t& error = request.error();
    if (error.ok())
        return tr("Ok");
    return tr("Fail - ")
        + QStringLiteral("%1 %2 %3").arg(error.subCode).arg(error.detail).arg(error.text);
}
