#pragma once

#include "communication/iodevice.h"
#include "communication/request.h"

#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

// Holds a probe in its run until the test opens it, so requests pile up behind it.
class Gate
{
public:
    void open()
    {
        std::lock_guard<std::mutex> lock(mutex);
        opened = true;
        changed.notify_all();
    }
    void pass()
    {
        std::unique_lock<std::mutex> lock(mutex);
        entered = true;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(20), [this] { return opened; });
    }
    bool waitEntered(int timeoutMs = 5000)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [this] { return entered; });
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool opened = false;
};

// Order in which probes ran on the worker, by tag.
class RunLog
{
public:
    void add(int tag)
    {
        std::lock_guard<std::mutex> lock(mutex);
        tags.push_back(tag);
    }
    std::vector<int> order() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return tags;
    }

private:
    mutable std::mutex mutex;
    std::vector<int> tags;
};

// A request whose run the test controls: it logs its tag, optionally waits at a gate or makes
// one read of an input register, and remembers the threads it ran and completed on.
class ProbeRequest : public Request
{
public:
    static QSharedPointer<ProbeRequest> make(int tag, int priority, RunLog* log = nullptr,
                                             Callback_t callback = {}, Gate* gate = nullptr)
    {
        return QSharedPointer<ProbeRequest>(
            new ProbeRequest(tag, priority, log, std::move(callback), gate));
    }

    int doRequest(IoDevice& device) override
    {
        workerThread = QThread::currentThread();
        if (log)
            log->add(tag);
        if (gate)
            gate->pass();
        if (readCount > 0) {
            readData().clear();
            if (device.read(4, 0, readCount, &readData(), timeoutUs()) != readCount)
                error().set(1, 1819, -3);
        }
        runs.fetch_add(1);
        return error().code;
    }
    void notify() override
    {
        callbackThread = QThread::currentThread();
        complete();
    }
    QList<QSharedPointer<Resource>> resources() const override { return {}; }

    const int tag;
    int readCount = 0;
    std::atomic<int> runs{0};
    QThread* workerThread = nullptr;   // read after the completion only
    QThread* callbackThread = nullptr;

private:
    ProbeRequest(int tag, int priority, RunLog* log, Callback_t callback, Gate* gate)
        : Request(std::move(callback), priority), tag(tag), log(log), gate(gate)
    {
    }

    RunLog* log;
    Gate* gate;
};

// Counts callbacks; the probes' own completion lands here.
struct Completions
{
    std::vector<int> tags;
    Request::Callback_t callback()
    {
        return [this](const Request& r) { tags.push_back(static_cast<const ProbeRequest&>(r).tag); };
    }
};

class NullIoDevice final : public IoDevice
{
public:
    int read(int, int, int count, QByteArray*, int) override { return count; }
    int write(int, int, int count, const QByteArray*, int, int) override { return count; }
};
