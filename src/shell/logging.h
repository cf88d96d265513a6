#pragma once

#include <QStringList>
#include <QtGlobal>

// The two optional log files of the program, both in the working directory: "-log" sends debug,
// warning, critical and fatal messages to "TavConfigurator.log" ("time | message"), "-monitor"
// sends info messages to "monitor.log" ("time;message"). Without either switch Qt's own output
// stays in force.
void initLogging(const QStringList& arguments);

// Called from every thread that logs, the serial workers included: each line is one formatted
// write and a flush on a stdio handle, which the C library serialises per handle.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);
