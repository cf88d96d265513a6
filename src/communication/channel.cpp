#include "communication/channel.h"

#include "communication/smartreadrequest.h"
#include "model/errorcodes.h"
#include "model/resource.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QPointer>

#include <cerrno>

namespace {

// Channel ids travel in signals connected by name as well.
[[maybe_unused]] const int idMetaType = qRegisterMetaType<Channel::Id_t>("Channel::Id_t");

Channel::Id_t comPortId(const QString& portName)
{
    bool ok = false;
    const uint number = portName.mid(3).toUInt(&ok, 10);
    return ok ? Channel::Id_t(number, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0) : Channel::Id_t();
}

// Linux names carry the unit in their trailing digits (ttyACM0, pts/3); the rest tells the
// drivers apart. A name-based hash keeps the id stable across scans without any table.
Channel::Id_t namedPortId(const QString& portName)
{
    int start = portName.size();
    while (start > 0 && portName.at(start - 1) >= QLatin1Char('0')
           && portName.at(start - 1) <= QLatin1Char('9'))
        --start;
    // Nine digits always fit the first field.
    const uint number = portName.mid(qMax(start, portName.size() - 9)).toUInt();

    const QByteArray h =
        QCryptographicHash::hash(portName.toUtf8(), QCryptographicHash::Sha1);
    const auto b = [&h](int i) { return uchar(h.at(i)); };
    // Version and variant bits as a name-based uuid has them: the id is never null.
    return Channel::Id_t(number, ushort((b(0) << 8) | b(1)),
                         ushort(0x5000 | ((b(2) & 0x0F) << 8) | b(3)), uchar(0x80 | (b(4) & 0x3F)),
                         b(5), b(6), b(7), b(8), b(9), b(10), b(11));
}

} // namespace

Channel::Channel(const SerialPortInfo& port, QObject* parent)
    : QObject(parent)
    , m_id(idFor(port.portName()))
    , m_settings(settingsFor(port))
    , hangupRule(&Channel::isHungOpenError)
{
    connect(&thread, &QThread::finished, this, &Channel::publishThreadEnd, Qt::DirectConnection);
}

Channel::~Channel()
{
    close();
}

Channel::Id_t Channel::idFor(const QString& portName)
{
    if (portName.startsWith(QLatin1String("COM")))
        return comPortId(portName);
    if (portName.isEmpty())
        return Id_t();
    return namedPortId(portName);
}

PortSettings_t Channel::settingsFor(const SerialPortInfo& port)
{
    PortSettings_t settings;
    settings.portName = port.portName();
    return settings;
}

bool Channel::isHungOpenError(const App::Error& error)
{
    if (error.code != App::ErrorCode::PortOpen)
        return false;
    return error.subCode == EIO || error.subCode == EPROTO || error.subCode == ETIMEDOUT;
}

void Channel::setHangupRule(HangupRule_t rule)
{
    hangupRule = rule ? std::move(rule) : HangupRule_t(&Channel::isHungOpenError);
}

void Channel::setDropped(bool dropped)
{
    // Once dropped, a channel never carries traffic again.
    m_dropped = m_dropped || dropped;
}

bool Channel::isHangup() const
{
    return hangupRule(link.lastOpenError());
}

bool Channel::open()
{
    if (link.isOpen())
        close();
    if (link.open(m_settings)) {
        startWorker();
        return true;
    }
    const App::Error& e = link.lastOpenError();
    qDebug() << "Channel [Open]: Error! Modbus opening: " << e.code << e.subCode << e.text;
    link.close();
    return false;
}

void Channel::close()
{
    if (!link.isOpen())
        return;
    clearQueue();
    closeWorkerThread();
    delete worker;
    worker = nullptr;
    link.close();
}

void Channel::put(Request::Ptr_t request)
{
    if (m_dropped) {
        qDebug() << "void Channel::put(Request::Ptr_t)" << "Channel is dropped";
        return;
    }
    if (!link.isOpen() && !open()) {
        qDebug() << "void Channel::put(Request::Ptr_t)" << "Can't open COM port";
        return;
    }
    if (!worker)
        return;
    checkForLarge();
    if (worker->put(std::move(request)))
        emit queueWorkProcess();
}

void Channel::setController(const ControllerIdentity& owner,
                            const QSharedPointer<const Resource>& cpu)
{
    this->owner = owner;
    ownerCpu = cpu;
    if (worker && cpu)
        worker->setController(owner, SmartReadRequest::create(cpu->scratchReader(), nullptr));
}

void Channel::clearQueue()
{
    if (worker)
        worker->clear();
}

void Channel::checkForLarge()
{
    if (worker->size() > LargeQueue)
        qDebug() << "void Channel::checkForLarge()" << "Warning! priority_queue size quite big";
}

void Channel::startWorker()
{
    worker = new ChannelWorker(&link, &completions);
    // The read is the worker's own: a fresh copy of the block that nothing else touches, never
    // notified.
    if (ownerCpu)
        worker->setController(owner, SmartReadRequest::create(ownerCpu->scratchReader(), nullptr));
    thread.setObjectName(QStringLiteral("WorkerThread"));
    worker->moveToThread(&thread);
    connect(this, &Channel::queueWorkProcess, worker, &ChannelWorker::processQueue,
            Qt::QueuedConnection);
    connect(worker, &ChannelWorker::completionsWaiting, this, &Channel::onRequestReady,
            Qt::QueuedConnection);
    thread.start(QThread::InheritPriority);
}

void Channel::closeWorkerThread()
{
    thread.quit();
    // A request that ends by itself within the wait keeps its result. A transfer still waiting
    // for a controller after that is made to fail at once, so the thread always ends by itself:
    // a thread cut off half-way would leave its event loop, the link and the request behind in
    // pieces.
    if (!thread.wait(StopWaitMs - InterruptWaitMs)) {
        qDebug() << "void Channel::closeWorkerThread()"
                 << "Warning! Quit waiting timeout, interrupt the transfer";
        do
            link.interrupt();
        while (!thread.wait(InterruptWaitMs));
    }
    // Qt's threads are detached and never joined: the lock the worker took on its way out
    // orders all it did before we delete or reuse the worker, the link and the requests.
    std::lock_guard<std::mutex> lock(completions.mutex);
}

void Channel::publishThreadEnd()
{
    std::lock_guard<std::mutex> lock(completions.mutex);
}

void Channel::onRequestReady()
{
    // A callback may drop or even release this channel; nothing of it is touched after that.
    const QPointer<Channel> self(this);
    m_drainPosted = false;
    for (;;) {
        Request::Ptr_t request;
        bool more = false;
        {
            std::lock_guard<std::mutex> lock(completions.mutex);
            if (completions.done.empty())
                return;
            request = std::move(completions.done.front().first);
            completions.done.pop_front();
            more = !completions.done.empty();
        }
        // The worker signals only when the list was empty. A callback that waits in an event
        // loop of its own (a message box) would otherwise hold back the requests behind it, and
        // every later one, until it returns.
        if (more && !m_drainPosted) {
            m_drainPosted = true;
            QMetaObject::invokeMethod(this, &Channel::onRequestReady, Qt::QueuedConnection);
        }
        if (m_dropped) {
            qDebug() << "Channel [PQ]: Warning! channel is dropped";
            continue;
        }
        if (!request)
            continue;
        request->notify();
        if (!self)
            return;
        // Told here, whoever sent the write: its sender may not look.
        if (request->foundInstead() != ControllerIdentity())
            emit anotherControllerFound(request->foundInstead());
        if (!self)
            return;
    }
}
