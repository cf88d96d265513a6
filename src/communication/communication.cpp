#include "communication/communication.h"

#include <QDebug>
#include <QSet>

namespace {

// Handed out in the GUI thread only; the first stamp is 1, so 0 stays "not stamped".
quint64 sequence = 0;

} // namespace

Communication::Communication(QObject* parent)
    : QObject(parent)
    , systemPorts(&PortEnumerator::systemPorts)
{
    connect(&keepAliveTimer, &QTimer::timeout, this, &Communication::checkForKeepAlive);
    connect(&lookAgainTimer, &QTimer::timeout, this, &Communication::lookAgain);
}

Communication::~Communication()
{
    keepAliveTimer.stop();
    lookAgainTimer.stop();
}

void Communication::setKeepAliveInterval(int ms)
{
    m_keepAliveInterval = ms;
}

void Communication::setSystemPortSource(PortEnumerator::Source_t source)
{
    systemPorts = source ? std::move(source) : PortEnumerator::Source_t(&PortEnumerator::systemPorts);
}

void Communication::setHangupRule(Channel::HangupRule_t rule)
{
    hangupRule = std::move(rule);
}

quint64 Communication::lastStamp()
{
    return sequence;
}

Communication::ChannelPtr_t Communication::findChannel(const Channel::Id_t& id) const
{
    return channels.value(id);
}

void Communication::activate(Channel::Id_t id)
{
    active = id;
    keepAliveTimer.start(m_keepAliveInterval);
}

void Communication::sendRequestTo(Channel::Id_t id, Request::Ptr_t request)
{
    // Let go here, on the GUI thread, like a request that finds no channel.
    if (clearsOnly && request && !request->isPasswordClear()) {
        qDebug() << "Comm [closing], Request refused, only password clears go out now";
        return;
    }
    if (const ChannelPtr_t channel = findChannel(id))
        channel->put(std::move(request));
}

void Communication::sendRequest(Request::Ptr_t request)
{
    if (!request)
        return;
    request->setStamp(++sequence);
    // Written for every request of every tick: one printf-style call, no debug stream.
    qDebug("void Communication::sendRequest(Request::Ptr_t) , Index: %p %llu",
           static_cast<const void*>(request.data()),
           static_cast<unsigned long long>(request->stamp()));
    sendRequestTo(active, std::move(request));
}

void Communication::setController(Channel::Id_t id, LiveSystem::Ptr_t system)
{
    const ChannelPtr_t channel = findChannel(id);
    if (!channel || !system)
        return;
    channel->setController({system->info().kernelSn, system->info().cpuId}, system->cpu());
    identified.insert(id);
    lostPorts.remove(ports.value(id));
}

void Communication::monitoringMode(bool on)
{
    if (on)
        return;
    if (const ChannelPtr_t channel = findChannel(active))
        channel->clearQueue();
}

void Communication::checkForKeepAlive()
{
    if (findChannel(active))
        emit needKeepAlive();
    else
        keepAliveTimer.stop();
}

void Communication::dropChannel(Channel::Id_t id, bool restart)
{
    if (id.isNull()) {
        dropActiveChannel();
        return;
    }
    qDebug() << "void Communication::dropChannel(Channel::Id_t, bool)" << "Channel:" << id;
    if (id == active)
        keepAliveTimer.stop();
    emit channelWasLost(id);

    const SerialPortInfo port = ports.take(id);
    if (identified.remove(id) && !port.isNull()) {
        lostPorts.insert(port);
        if (!lookAgainTimer.isActive())
            lookAgainTimer.start(m_keepAliveInterval);
    }
    const ChannelPtr_t channel = findChannel(id);
    if (!channel)
        return;
    channel->setDropped(true);
    channel->close();
    // Kept until the next scan, so completions still on their way find a live channel.
    droppedChannels.append(channel);
    channels.remove(id);
    if (restart)
        reportHangups({port});
}

void Communication::dropActiveChannel()
{
    if (active.isNull())
        return;
    dropChannel(active, false);
    active = Channel::Id_t();
}

void Communication::dropAllChannels()
{
    qDebug() << "void Communication::dropAllChannels()" << "Channels:" << channels.size();
    keepAliveTimer.stop();
    lookAgainTimer.stop();
    ports.clear();
    identified.clear();
    lostPorts.clear();
    QList<ChannelPtr_t> all;
    for (auto it = channels.cbegin(); it != channels.cend(); ++it) {
        it.value()->setDropped(true);
        it.value()->close();
        all.append(it.value());
        emit channelWasLost(it.key());
    }
    droppedChannels = all;
    active = Channel::Id_t();
    channels.clear();
}

void Communication::runComPortScan()
{
    qDebug() << "void Communication::runComPortScan()";
    droppedChannels.clear();

    QSet<SerialPortInfo> known;
    for (const SerialPortInfo& port : qAsConst(ports))
        known.insert(port);
    QSet<SerialPortInfo> current;
    const auto listed = PortEnumerator::currentPorts(systemPorts);
    for (const SerialPortInfo& port : listed)
        current.insert(port);
    const QSet<SerialPortInfo> appeared = current - known;
    const QSet<SerialPortInfo> vanished = known - current;

    QList<SerialPortInfo> hung;
    for (const SerialPortInfo& port : appeared)
        openNewPort(port, &hung);
    for (const SerialPortInfo& port : vanished)
        removeVanishedPort(port);
    lostPorts.intersect(current);
    reportHangups(hung);
}

void Communication::lookAgain()
{
    const QList<SerialPortInfo> listed = PortEnumerator::currentPorts(systemPorts);
    const QSet<SerialPortInfo> lost = lostPorts;
    for (const SerialPortInfo& port : lost) {
        if (!listed.contains(port))
            lostPorts.remove(port);
        else if (knownPortId(port).isNull())
            openNewPort(port, nullptr, true);
    }
    if (lostPorts.isEmpty())
        lookAgainTimer.stop();
}

void Communication::openNewPort(const SerialPortInfo& port, QList<SerialPortInfo>* hung, bool quiet)
{
    ChannelPtr_t channel(new Channel(port));
    if (hangupRule)
        channel->setHangupRule(hangupRule);
    const Channel::Id_t id = channel->id();
    if (channel->open()) {
        channels.insert(id, channel);
        ports.insert(id, port);
        connect(channel.data(), &Channel::anotherControllerFound, this,
                [this, id](ControllerIdentity found) { emit anotherControllerFound(id, found); });
    } else {
        channel->setDropped(true);
        if (!quiet && channel->isHangup())
            hung->append(port);
        if (!quiet)
            emit portOpenFailed(port, channel->lastOpenError());
    }

    if (!quiet) {
        int& count = hangupCounts[port.portName()];
        count = hung->contains(port) ? count + 1 : 0;
    }

    qDebug() << "void Communication::runComPortScan()" << "Port: " << port.portName()
             << port.serialNumber() << ", channel:" << id << ", dropped: " << channel->isDropped()
             << ", hangup - TO RESET" << channel->isHangup();
    emit channelWasFound(id);
}

Channel::Id_t Communication::knownPortId(const SerialPortInfo& port) const
{
    for (auto it = ports.cbegin(); it != ports.cend(); ++it) {
        if (it.value() == port)
            return it.key();
    }
    return Channel::Id_t();
}

void Communication::removeVanishedPort(const SerialPortInfo& port)
{
    const Channel::Id_t id = knownPortId(port);
    if (!channels.contains(id))
        return;
    qDebug() << "void Communication::runComPortScan()" << "Remove port:"
             << ports.value(id).portName() << ", channel: " << id;
    emit channelWasLost(id);
    // Released at once: the channel stops its worker and closes its link before the scan goes on.
    channels.remove(id);
    ports.remove(id);
    identified.remove(id);
}

void Communication::reportHangups(const QList<SerialPortInfo>& hung)
{
    QList<QString> serials;
    for (const SerialPortInfo& port : hung) {
        if (port.serialNumber().isEmpty())
            continue;
        if (hangupCounts[port.portName()] <= MaxHangupReports)
            serials.append(port.serialNumber());
    }
    if (!serials.isEmpty())
        emit restartHangupPort(serials);
}
