#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

// Things a user may pick in a file dialog or name on the command line that are no configuration:
// named pipes, devices, link loops. What the file tests share to make them.
namespace HostileFiles {

inline bool makeFifo(const QString& path)
{
    QFile::remove(path);
    return ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0;
}

// Two links that point at each other.
inline bool makeLinkLoop(const QString& path)
{
    const QString other = path + QStringLiteral(".other");
    QFile::remove(path);
    QFile::remove(other);
    return QFile::link(other, path) && QFile::link(path, other);
}

// A file of `size` bytes that takes no room on disk.
inline bool makeSparseFile(const QString& path, qint64 size)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size);
}

// Whoever opens a named pipe for reading waits until something opens it for writing. Should the
// code under test do so, this opens the write end once `deadline` has passed and closes it again:
// the reader then sees an empty pipe, and the test fails instead of hanging the suite.
class PipeWatchdog
{
public:
    PipeWatchdog(const QString& fifo, std::chrono::milliseconds deadline)
        : m_fifo(QFile::encodeName(fifo))
        , m_thread([this, deadline] { watch(deadline); })
    {
    }
    ~PipeWatchdog()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;

    // True when a reader was still waiting at the deadline.
    bool fired() const { return m_fired; }

private:
    void watch(std::chrono::milliseconds deadline)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_wake.wait_for(lock, deadline, [this] { return m_stopped; }))
            return;
        // Without a reader the open fails at once (ENXIO) instead of waiting.
        const int fd = ::open(m_fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            m_fired = true;
            ::close(fd);
        }
    }

    const QByteArray m_fifo;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopped = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

// The file system's own refusal to change a file or a folder, which stops an administrator too.
inline bool setImmutable(const QString& file, bool on)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

} // namespace HostileFiles
