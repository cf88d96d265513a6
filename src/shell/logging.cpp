#include "shell/logging.h"

#include <QTime>

#include <cstdio>

namespace {

// Opened once and left open until the process ends, so a crash still leaves every line written.
FILE* debugLog = nullptr;
FILE* monitorLog = nullptr;

void writeLine(FILE* file, const char* format, const QByteArray& time, const QString& message)
{
    if (!file)
        return;
    std::fprintf(file, format, time.constData(), message.toLocal8Bit().constData());
    std::fflush(file);
}

} // namespace

void initLogging(const QStringList& arguments)
{
    if (arguments.contains(QStringLiteral("-monitor")))
        monitorLog = std::fopen("./monitor.log", "a+");
    if (arguments.contains(QStringLiteral("-log")))
        debugLog = std::fopen("./TavConfigurator.log", "a+");
    if (debugLog || monitorLog)
        qInstallMessageHandler(messageHandler);
}

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context)
    const QByteArray time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz")).toLocal8Bit();
    switch (type) {
    case QtDebugMsg:
    case QtWarningMsg:
    case QtCriticalMsg:
    case QtFatalMsg:
        writeLine(debugLog, "%s | %s\n", time, message);
        break;
    case QtInfoMsg:
        writeLine(monitorLog, "%s;%s\n", time, message);
        break;
    }
}
