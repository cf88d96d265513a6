#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <mutex>

// Keeps every debug line of the process (worker threads log too) and passes it on. Installed in
// initTestCase: QtTest puts its own handler in place when the run starts.
class LogCapture
{
public:
    static void install() { previous = qInstallMessageHandler(&LogCapture::handle); }
    static void uninstall() { qInstallMessageHandler(previous); }

    static QStringList lines()
    {
        std::lock_guard<std::mutex> lock(mutex());
        return store();
    }
    static void clear()
    {
        std::lock_guard<std::mutex> lock(mutex());
        store().clear();
    }
    static int count(const QString& part)
    {
        int n = 0;
        const QStringList all = lines();
        for (const QString& line : all)
            n += line.contains(part) ? 1 : 0;
        return n;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        {
            std::lock_guard<std::mutex> lock(mutex());
            store().append(message);
        }
        if (previous)
            previous(type, context, message);
    }
    static std::mutex& mutex()
    {
        static std::mutex m;
        return m;
    }
    static QStringList& store()
    {
        static QStringList s;
        return s;
    }
    static inline QtMessageHandler previous = nullptr;
};
