#include "communication/devicepool.h"

#include "communication/controlrequest.h"
#include "communication/passwordwindow.h"
#include "communication/smartreadrequest.h"

#include <QDebug>
#include <QPointer>

#include <algorithm>

DevicePool::DevicePool(QObject* parent)
    : QObject(parent)
{
    LiveSystem::registerMetaTypes();
    Request::registerMetaType();
    // The pool's signals name the channel by this alias; spies and queued connections need it
    // even in a program that never makes a channel.
    static const int channelIdType = qRegisterMetaType<Channel::Id_t>("Channel::Id_t");
    Q_UNUSED(channelIdType)
    m_payDelay.setSingleShot(true);
    connect(&m_payDelay, &QTimer::timeout, this, &DevicePool::payOwedClears);
}

DevicePool::~DevicePool() = default;

LiveSystem::Ptr_t DevicePool::activeSystem() const
{
    const auto it = m_systems.constFind(m_active);
    return it == m_systems.constEnd() ? LiveSystem::Ptr_t() : it->system;
}

QList<LiveSystem::Ptr_t> DevicePool::systems() const
{
    QList<LiveSystem::Ptr_t> result;
    for (const SystemEntry& entry : m_systems)
        result.append(entry.system);
    return result;
}

LiveSystem::Id_t DevicePool::findSystemId(const Channel::Id_t& channel) const
{
    for (auto it = m_systems.constBegin(); it != m_systems.constEnd(); ++it)
        if (it->channel == channel)
            return it.key();
    return LiveSystem::Id_t();
}

bool DevicePool::isCheckPending(const LiveSystem::Id_t& id) const
{
    const auto it = m_systems.constFind(id);
    return it != m_systems.constEnd() && !it->check.expired();
}

void DevicePool::channelOpened(Channel::Id_t channel)
{
    LiveSystem::Ptr_t system(new LiveSystem());
    if (!system->prepareSysBlock()) {
        qDebug() << "DevPool [opened], System wasn't created properly";
        return;
    }
    // A channel reopened before its first read came back keeps only the newest detection.
    m_detecting.insert(channel, system);

    // The callbacks name the system by id: a request may outlive the pool's interest in it, and
    // it may be released on the worker thread, where a QObject must not be destroyed.
    const QPointer<DevicePool> pool(this);
    const LiveSystem::Id_t id = system->id();
    emit sendRequest(channel, SmartReadRequest::create(system->cpu(),
                                                       [pool, channel, id](const Request& read) {
                                                           if (pool)
                                                               pool->detected(channel, id, read);
                                                       }));
}

void DevicePool::detected(const Channel::Id_t& channel, const LiveSystem::Id_t& id,
                          const Request& read)
{
    const auto pending = m_detecting.find(channel);
    if (pending == m_detecting.end() || pending.value()->id() != id)
        return;
    const LiveSystem::Ptr_t system = pending.value();
    m_detecting.erase(pending);

    system->onSystemLoaded();
    // A block refused part-way may still have decoded the controller's own record; the
    // controller's identity is trusted only from a block read whole.
    if (!read.error().ok() || !system->isValid()) {
        qDebug() << "DevPool [detected], Error! system was not detected";
        emit dropChannel(channel, false);
        return;
    }

    emit channelIdentified(channel, system);
    sendOwedClear(channel, *system);
    // One controller per port: a system still filed on this channel is gone.
    const bool activeGone = removeSystemsOf(channel);
    m_systems.insert(system->id(), SystemEntry{channel, system, {}});
    if (activeGone) {
        m_active = LiveSystem::Id_t();
        emit activeRemoved();
    }
    emit systemsUpdated();
}

void DevicePool::selectSystem(LiveSystem::Id_t id)
{
    const auto it = m_systems.constFind(id);
    if (it == m_systems.constEnd())
        return;
    m_active = id;
    const SystemEntry entry = it.value();
    // A sender holding the keep-alive sends to whichever controller is active.
    if (m_holds > 0)
        oweAhead();
    emit activateChannel(entry.channel);
    emit systemSelected(entry.system);
}

void DevicePool::needKeepAlive()
{
    if (m_checkHolds > 0)
        return;
    const auto it = m_systems.find(m_active);
    if (it == m_systems.end()) {
        qDebug() << "DevPool [Keep Alive], Warning! There are no active system" << m_active;
        return;
    }
    // A second read would only repeat the answer of the one still on its way, and a controller
    // slower than the tick would pile reads up on its queue.
    if (!it->check.expired())
        return;

    const std::shared_ptr<void> ticket = std::make_shared<char>(0);
    it->check = ticket;
    const QPointer<DevicePool> pool(this);
    const Channel::Id_t channel = it->channel;
    const LiveSystem::Id_t id = it.key();
    // Ahead of the frames of a rewrite that waits for its controller: on a silent line each of
    // them spends its time-outs first, and the user would hear of the loss only after them.
    emit sendRequest(channel, SmartReadRequest::create(
                                  it->system->cpu(),
                                  [pool, channel, id, ticket](const Request& read) {
                                      if (pool)
                                          pool->checked(channel, id, ticket, read);
                                  },
                                  Request::KeepAlivePriority));
}

void DevicePool::checked(const Channel::Id_t& channel, const LiveSystem::Id_t& id,
                         const std::shared_ptr<void>& ticket, const Request& read)
{
    const auto it = m_systems.find(id);
    // The system left the pool (its channel was lost) while the read was on its way.
    if (it == m_systems.end() || it->channel != channel)
        return;
    if (it->check.lock() == ticket)
        it->check.reset();

    const LiveSystem::Ptr_t system = it->system;
    const bool readOk = read.error().ok();
    const bool same = system->isSameSystem();
    if (readOk && same) {
        system->updateCheckedSystem();
        // The link works: a clear that failed on it before is tried again.
        if (m_owedClears.contains(identityOf(*system)))
            payLater();
        emit systemChecked();
        return;
    }
    qDebug() << "DevPool [KA], Error! Check system [R:S]=" << readOk << same
             << describeSystemInfo(system->info());
    // A block read whole that names a controller names the one in the system's place.
    const QList<CpuRecord>& records = system->cpu()->records();
    const ControllerIdentity found = readOk && !records.isEmpty()
                                         ? ControllerIdentity(records.first().serialNumber,
                                                              records.first().type)
                                         : ControllerIdentity();
    if (found != ControllerIdentity())
        emit systemReplaced(system, found);
    emit dropChannel(channel, false);
}

void DevicePool::channelClosed(Channel::Id_t channel)
{
    m_detecting.remove(channel);
    if (findSystemId(channel).isNull())
        return;
    noteOwedClear(channel);
    if (removeSystemsOf(channel)) {
        m_active = LiveSystem::Id_t();
        emit activeRemoved();
    }
    emit systemsUpdated();
}

bool DevicePool::removeSystemsOf(const Channel::Id_t& channel)
{
    bool active = false;
    for (auto it = m_systems.begin(); it != m_systems.end();) {
        if (it->channel == channel) {
            active = active || it.key() == m_active;
            it = m_systems.erase(it);
        } else {
            ++it;
        }
    }
    return active;
}

void DevicePool::forceDropWithRestart()
{
    const auto it = m_systems.constFind(m_active);
    if (it != m_systems.constEnd())
        emit dropChannel(it->channel, true);
}

void DevicePool::enableKeepAlive(bool on)
{
    qDebug() << "DevPool [Keep Alive], state enabled=" << on;
    hold(!on, true);
}

void DevicePool::workUnderPassword(bool starts)
{
    qDebug() << "DevPool [Keep Alive], work under the password, checks go on:" << starts;
    hold(starts, false);
}

void DevicePool::hold(bool starts, bool checks)
{
    // A release without a hold (a sender that was connected late) must not make checks owe one.
    m_holds = starts ? m_holds + 1 : qMax(0, m_holds - 1);
    if (checks)
        m_checkHolds = starts ? m_checkHolds + 1 : qMax(0, m_checkHolds - 1);
    // Kept before the sender's password goes out, which it sends once this returns.
    if (starts)
        oweAhead();
    if (m_holds > 0)
        return;
    // Every hold ended with its clear confirmed or owed for real.
    if (!m_owedAhead.isEmpty()) {
        m_owedAhead.clear();
        emit owedClearsChanged();
    }
    if (!m_owedClears.isEmpty())
        payAfterWork();
}

void DevicePool::oweAhead()
{
    const auto it = m_systems.constFind(m_active);
    if (it == m_systems.constEnd())
        return;
    m_owedAhead.insert(identityOf(*it->system));
    qDebug() << "DevPool [debt], Password clear owed ahead:" << describeSystemInfo(it->system->info());
    // Also when already owed: the keeper makes sure it is still kept.
    emit owedClearsChanged();
}

void DevicePool::owePasswordClear(LiveSystem::Ptr_t system)
{
    if (!system)
        return;
    m_owedClears.insert(identityOf(*system));
    qDebug() << "DevPool [debt], Warning! Password clear owed:" << describeSystemInfo(system->info());
    emit owedClearsChanged();
    payAfterWork();
}

void DevicePool::owePasswordClearOf(ControllerIdentity identity)
{
    if (identity == ControllerIdentity())
        return;
    m_owedClears.insert(identity);
    qDebug() << "DevPool [debt], Warning! Password clear owed by another controller:"
             << identity.first << identity.second;
    emit owedClearsChanged();
    payAfterWork();
}

void DevicePool::controllerReplaced(LiveSystem::Ptr_t system, ControllerIdentity found)
{
    if (!system)
        return;
    const auto it = m_systems.constFind(system->id());
    if (it == m_systems.constEnd())
        return;
    qDebug() << "DevPool [replaced], Error! Another controller answers in the place of:"
             << describeSystemInfo(system->info());
    const Channel::Id_t channel = it->channel;
    emit systemReplaced(system, found);
    emit dropChannel(channel, false);
}

void DevicePool::controllerReplacedOn(Channel::Id_t channel, ControllerIdentity found)
{
    const auto it = m_systems.constFind(findSystemId(channel));
    if (it != m_systems.constEnd())
        controllerReplaced(it->system, found);
}

void DevicePool::payOwedClears()
{
    // A clear in the middle of someone's work under the password would make the controller
    // refuse the rest of it; the last hold let go starts the wait again.
    if (m_holds > 0) {
        qDebug() << "DevPool [debt], Owed password clears wait for the keep-alive";
        return;
    }
    for (const SystemEntry& entry : qAsConst(m_systems))
        sendOwedClear(entry.channel, *entry.system);
}

void DevicePool::payAfterWork()
{
    m_payDelay.start(PayDelayMs);
}

void DevicePool::payLater()
{
    if (!m_payDelay.isActive())
        m_payDelay.start(PayDelayMs);
}

ControllerIdentity DevicePool::identityOf(const LiveSystem& system)
{
    return {system.info().kernelSn, system.info().cpuId};
}

void DevicePool::noteOwedClear(const Channel::Id_t& lost)
{
    // A sender working with the checks going on tells its own debt: it knows whether its
    // password went out.
    const auto it = m_systems.constFind(m_active);
    if (m_checkHolds == 0 || it == m_systems.constEnd() || it->channel != lost)
        return;
    m_owedClears.insert(identityOf(*it->system));
    qDebug() << "DevPool [lost], Warning! Channel lost under the password, clear owed:"
             << describeSystemInfo(it->system->info());
    emit owedClearsChanged();
}

void DevicePool::sendOwedClear(const Channel::Id_t& channel, const LiveSystem& system)
{
    const ControllerIdentity identity = identityOf(system);
    ProtoEntry command;
    ProtoEntry password;
    if (!m_owedClears.contains(identity) || !m_paying.value(identity).expired()
        || !ControlRequest::findRegisters(&command, &password))
        return;
    const std::shared_ptr<void> ticket = std::make_shared<char>(0);
    m_paying.insert(identity, ticket);
    const QString who = describeSystemInfo(system.info());
    const QPointer<DevicePool> pool(this);
    // Paid under the same rule as any clear: to that controller only, and counted only when no
    // other answer can pass for it.
    const Request::Ptr_t clear = PasswordWindow(identity, system.cpu())
                                     .closingClear(command, password,
                                                   [pool, identity, who, ticket](const Request& request) {
                                                       if (pool)
                                                           pool->owedClearDone(identity, who, request);
                                                   });
    emit sendRequest(channel, clear);
}

void DevicePool::owedClearDone(const ControllerIdentity& identity, const QString& who,
                               const Request& clear)
{
    if (clear.error().ok()) {
        m_owedClears.remove(identity);
        qDebug() << "DevPool [debt], Owed password clear paid:" << who;
        emit owedClearsChanged();
        return;
    }
    if (PasswordWindow::answeredByAnother(clear))
        qDebug() << "DevPool [debt], Warning! Owed password clear withheld, another controller "
                    "answers: sn="
                 << PasswordWindow::answered(clear).first
                 << "type=" << PasswordWindow::answered(clear).second << "owed by:" << who;
    else
        qDebug() << "DevPool [debt], Error! Owed password clear failed:" << who;
    // Still owed: tried again while the controller stays found, whether it is selected or not,
    // and first thing at its next detection.
    if (isFound(identity))
        payLater();
}

bool DevicePool::isFound(const LiveSystem& system) const
{
    return isFound(identityOf(system));
}

bool DevicePool::isFound(const ControllerIdentity& identity) const
{
    for (const SystemEntry& entry : m_systems) {
        if (identityOf(*entry.system) == identity)
            return true;
    }
    return false;
}

QList<ControllerIdentity> DevicePool::owedClears() const
{
    QList<ControllerIdentity> owed = (m_owedClears + m_owedAhead).values();
    std::sort(owed.begin(), owed.end());
    return owed;
}

void DevicePool::restoreOwedClears(const QList<ControllerIdentity>& owed)
{
    for (const ControllerIdentity& identity : owed) {
        m_owedClears.insert(identity);
        qDebug() << "DevPool [debt], Warning! Password clear owed from an earlier run:"
                 << identity.first << identity.second;
    }
}

void DevicePool::payOwedClearsNow()
{
    for (const SystemEntry& entry : qAsConst(m_systems))
        sendOwedClear(entry.channel, *entry.system);
}

bool DevicePool::isPayingOwedClears() const
{
    for (const std::weak_ptr<void>& ticket : m_paying)
        if (!ticket.expired())
            return true;
    return false;
}
