#include "shell/programstart.h"

#include "widgets/finishedentry.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"
#include "shell/prompts.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Written to by the signal handler, read by the event loop: the handler itself may do nothing
// but write.
int signalPipe[2] = {-1, -1};

void onTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    const ssize_t written = ::write(signalPipe[1], &byte, 1);
    Q_UNUSED(written)
    errno = saved;
}

} // namespace

void ProgramStart::setApplicationIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Drovanix LLC"));
    QCoreApplication::setApplicationName(QStringLiteral("Tav Configurator"));
    QCoreApplication::setApplicationVersion(applicationVersionText());
}

bool ProgramStart::engineering(const QStringList& arguments)
{
    return arguments.contains(QStringLiteral("-dev"));
}

QString ProgramStart::commandLineFile(const QStringList& arguments)
{
    const QString last = arguments.isEmpty() ? QString() : arguments.constLast();
    return last.contains(QStringLiteral(".tavc")) ? last : QString();
}

void ProgramStart::openCommandLineFile(QObject* context, FileOperations* files, const QString& path)
{
    if (path.isEmpty())
        return;
    QTimer::singleShot(1, Qt::PreciseTimer, context, [files, path] {
        // A signal that came first has begun the program's end.
        if (Prompts::isProgramEnding())
            return;
        const FinishedEntry entry;
        files->open(path);
    });
}

void ProgramStart::catchTerminationSignals()
{
    // A write past the file-size limit (ulimit -f) would end the program in the middle of a save;
    // ignored, the write fails with EFBIG, which the save reports while the old file stays whole.
    ::signal(SIGXFSZ, SIG_IGN);
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

void ProgramStart::closeOnTerminationSignals(QWidget* window)
{
    if (signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char bytes[16];
        while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        qDebug() << "Program start, ended by a signal: the window is closed";
        // A close already under way (at its question, or waiting for the controllers) is the
        // one close, and its question the one question; any other box goes first, so that what
        // opened it sees it closed without a choice and the close does not run under it.
        Prompts::setProgramEnding(true);
        closeOnceTheBoxesAreGone(window);
    });
    // Tests build one window after another in one process.
    QObject::connect(notifier, &QObject::destroyed, [] { Prompts::setProgramEnding(false); });
}

void ProgramStart::closeOnceTheBoxesAreGone(QWidget* window)
{
    QTimer::singleShot(0, window, [window] {
        if (Prompts::isEndedBoxOpen())
            closeOnceTheBoxesAreGone(window);
        else
            window->close();
    });
}
