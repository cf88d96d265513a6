#include "shell/logging.h"
#include "shell/programstart.h"
#include "shell/startupprobe.h"
#include "shell/tavconfigurator.h"
#include "widgets/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    ProgramStart::catchTerminationSignals();
    QApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    initLogging(arguments);
    const bool engineering = ProgramStart::engineering(arguments);
    ProgramStart::setApplicationIdentity();
    initWidgets();

    TavConfigurator window(engineering);
    window.show();
    ProgramStart::closeOnTerminationSignals(&window);
    window.openCommandLineFile(ProgramStart::commandLineFile(arguments));
    StartupProbe::armFromEnvironment(&window);
    return app.exec();
}
