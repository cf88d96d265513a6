#pragma once

#include "model/apperror.h"
#include "communication/channelworker.h"
#include "communication/modbusdevice.h"
#include "communication/portsettings.h"
#include "communication/request.h"
#include "communication/serialportinfo.h"

#include <QObject>
#include <QThread>
#include <QUuid>

#include <functional>

// One serial port: the Modbus link to the controller behind it, its worker thread and the queue
// of requests waiting for that link. Lives in the GUI thread; only requests cross to the worker.
class Channel : public QObject
{
    Q_OBJECT

public:
    using Id_t = QUuid;
    // Decides from a failed open whether the port's USB device hangs and wants a restart.
    using HangupRule_t = std::function<bool(const App::Error&)>;

    static constexpr int LargeQueue = 100;
    static constexpr int StopWaitMs = 1000;
    // The last part of the stop wait: a transfer still running then is interrupted.
    static constexpr int InterruptWaitMs = 100;

    explicit Channel(const SerialPortInfo& port, QObject* parent = nullptr);
    ~Channel() override;

    // "COM12" gives {0000000c-0000-...}; another COM name with no number after "COM" gives the
    // null id. Other names (ttyACM0, pts/3, a path) give their trailing number in the first
    // field and a name-based hash of the whole name in the others: stable across scans, never
    // null, and distinct for ports present at the same time.
    static Id_t idFor(const QString& portName);
    static PortSettings_t settingsFor(const SerialPortInfo& port);
    // A USB serial port that cannot be opened because its device stops answering: the kernel
    // reports it as an I/O error or a protocol time-out (EIO, EPROTO, ETIMEDOUT). A port that
    // another program holds (EBUSY) is a plain failed open.
    static bool isHungOpenError(const App::Error& error);

    bool open();
    void close();
    // GUI thread only.
    void put(Request::Ptr_t request);
    // The controller found behind the port, by its identity and CPU block: the link reads the
    // block again before a write that follows a failed frame (IdentifiedLink).
    void setController(const ControllerIdentity& owner, const QSharedPointer<const Resource>& cpu);
    void clearQueue();
    bool isHangup() const;

    Id_t id() const { return m_id; }
    const PortSettings_t& settings() const { return m_settings; }
    bool isDropped() const { return m_dropped; }
    void setDropped(bool dropped);
    bool isOpen() const { return link.isOpen(); }
    bool hasWorker() const { return worker != nullptr; }
    const App::Error& lastOpenError() const { return link.lastOpenError(); }
    void setHangupRule(HangupRule_t rule);

signals:
    void queueWorkProcess();
    // A request's own identity read before a write found `found` in the place of the
    // channel's controller; the worker sends nothing more.
    void anotherControllerFound(ControllerIdentity found);

private slots:
    // The handler of the worker's completionsWaiting; takes the requests from the completions
    // until none is left.
    void onRequestReady();

private:
    void startWorker();
    void closeWorkerThread();
    void checkForLarge();
    // Worker thread, as its last act.
    void publishThreadEnd();

    QThread thread;
    ModbusDevice link;
    Id_t m_id;
    PortSettings_t m_settings;
    ChannelWorker* worker = nullptr;
    // Outlives every worker, so completions posted before a close still arrive.
    ChannelWorker::Completions completions;
    bool m_dropped = false;
    // A later onRequestReady is posted while requests wait behind a callback.
    bool m_drainPosted = false;
    HangupRule_t hangupRule;
    ControllerIdentity owner;
    QSharedPointer<const Resource> ownerCpu;
};
