#pragma once

#include "catalogue/cataloguerecords.h"
#include "communication/controlleridentity.h"
#include "communication/requestitem.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QSharedPointer>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class IoDevice;
class PasswordSession;
class Resource;

// One unit of device work. It is built on the GUI thread, executed once per sending by
// doRequest() on a channel's worker thread, and handed back to the GUI thread, where notify()
// applies what was read to the model and runs the completion callback.
//
// The worker never touches the model: whatever a request needs from its resources is taken on
// the GUI thread (at construction or in prepare()), and whatever it read stays as raw bytes in the
// request until notify() decodes it. The GUI thread must not touch a request while it is queued or
// running.
class Request
{
public:
    using Ptr_t = QSharedPointer<Request>;
    using Callback_t = std::function<void(const Request&)>;
    // Opened on the worker thread by one request of a sequence for a later one on the same
    // channel: the later request goes out only when the earlier one did what it depends on.
    using Gate_t = std::shared_ptr<std::atomic<bool>>;

    // code 0 success, 1 failure; detail is the failed transfer's result or a fixed number.
    struct Error_t
    {
        qint32 code = 0;
        qint32 subCode = 0;
        qint32 detail = 0;
        QString text;

        bool ok() const { return code == 0; }
        void reset() { *this = Error_t(); }
        void set(qint32 c, qint32 sub, qint32 d, const QString& t = QString())
        {
            code = c;
            subCode = sub;
            detail = d;
            text = t;
        }
    };

    static constexpr qint32 DefaultTimeoutUs = 1000000;
    // What the user or the configuration asks of a device (smart reads, configuration and value
    // writes, control requests, alarm changes) goes before the monitoring reads and alarm polls
    // waiting in the queue.
    static constexpr int ControlPriority = 1;
    static constexpr int MonitoringPriority = 0;
    // The keep-alive's check of the controller goes before all of them: whether anything else
    // has a controller to go to is what it finds out.
    static constexpr int KeepAlivePriority = 2;
    // The error record's sub-code of a request handed back unsent because its sender gave it up.
    static constexpr qint32 WithdrawnSubCode = 0;

    virtual ~Request();

    // Worker thread. Returns the error code of the record (0 success) unless a class says
    // otherwise.
    virtual int doRequest(IoDevice& device) = 0;
    // GUI thread, after doRequest: decodes into the targets where the class reads, then calls the
    // callback with the request when it is set.
    virtual void notify();
    virtual QList<QSharedPointer<Resource>> resources() const = 0;
    // GUI thread, before the request is queued and never while it is queued or running: takes
    // from the resources what the worker needs (register entries, encoded values). Factories and
    // constructors call it once; a sender that re-sends a request calls it again so the run sees
    // the resources as they are now.
    virtual void prepare();
    // A request that only clears the device control password, leaving the controller locked.
    virtual bool isPasswordClear() const { return false; }
    // Worker thread, as the request is about to run: false when it will be withheld without a
    // frame (a gate left closed by a request before it).
    virtual bool sendsFrames() const { return true; }
    // Worker thread, after doRequest: the request found another controller on the line than the
    // one it was sent to. The channel's worker then sends nothing more; whatever waits behind is
    // handed back unsent until the channel is dropped. So does a frame of a password window whose
    // identity read found another controller.
    virtual bool foundAnotherController() const;
    // Worker thread, after doRequest: the identity the channel's link read before a write of
    // this request named another controller, and the write was withheld. Read on the GUI thread
    // after the callback; null when none was found.
    void setFoundInstead(const ControllerIdentity& other) { m_foundInstead = other; }
    const ControllerIdentity& foundInstead() const { return m_foundInstead; }

    // Given up by its sender once `withdrawn` is set: a worker that comes to it then hands it
    // back unsent. Set on the GUI thread before the request is queued.
    void setWithdrawal(Gate_t withdrawn) { m_withdrawn = std::move(withdrawn); }
    bool isWithdrawn() const { return m_withdrawn && m_withdrawn->load(); }
    // What the channel's worker runs: doRequest, under the request's password window when it has
    // one, which may read the controller's identity first or withhold the request.
    int run(IoDevice& device);
    // What a request is to the password session it runs in.
    enum class SessionRole { Frame, Password, Clear };
    // The frames sent under one password share a session; the clear that closes them is run by
    // it try by try. Set on the GUI thread before the request is queued.
    void setPasswordSession(std::shared_ptr<PasswordSession> session, SessionRole role)
    {
        m_session = std::move(session);
        m_sessionRole = role;
    }
    const std::shared_ptr<PasswordSession>& passwordSession() const { return m_session; }
    SessionRole sessionRole() const { return m_sessionRole; }

    QList<RequestItem>& list() { return m_list; }
    const QList<RequestItem>& list() const { return m_list; }
    Error_t& error() { return m_error; }
    const Error_t& error() const { return m_error; }
    ProtoEntry& registers() { return m_registers; }
    const ProtoEntry& registers() const { return m_registers; }
    QByteArray& readData() { return m_readData; }
    const QByteArray& readData() const { return m_readData; }
    QByteArray& writeData() { return m_writeData; }
    const QByteArray& writeData() const { return m_writeData; }

    int priority() const { return m_priority; }
    qint32 timeoutUs() const { return m_timeoutUs; }
    void setTimeoutUs(qint32 us) { m_timeoutUs = us; }
    qint32 attempts() const { return m_attempts; }
    void setAttempts(qint32 attempts) { m_attempts = attempts; }
    quint64 stamp() const { return m_stamp; }
    void setStamp(quint64 stamp) { m_stamp = stamp; }

    static void registerMetaType();

protected:
    Request(Callback_t callback, int priority);

    // Runs the callback when there is one.
    void complete();

private:
    Q_DISABLE_COPY(Request)

    QList<RequestItem> m_list;
    Callback_t m_callback;
    ProtoEntry m_registers;
    QByteArray m_readData;
    QByteArray m_writeData;
    Error_t m_error;
    qint32 m_priority = 0;
    qint32 m_timeoutUs = DefaultTimeoutUs;
    qint32 m_attempts = 1;
    quint64 m_stamp = 0;
    Gate_t m_withdrawn;
    std::shared_ptr<PasswordSession> m_session;
    SessionRole m_sessionRole = SessionRole::Frame;
    ControllerIdentity m_foundInstead;
};

Q_DECLARE_METATYPE(Request::Ptr_t)
