#include "shell/programstart.h"

#include "shell/finishedentry.h"
#include "shell/fileoperations.h"
#include "shell/helpoperations.h"

#include <QCoreApplication>
#include <QTimer>

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
        const FinishedEntry entry;
        files->open(path);
    });
}
