// Median times of the program's start: from starting the built program (offscreen, with the
// start-up test hook) to the first paint of its main window; and of opening a configuration file of
// the largest system of the board budget (a TAV-1020-10 with ten two-board modules) in a running
// window until both pages have been rebuilt from it.
#include "benchsupport.h"
#include "shell/configurationstorage.h"
#include "shell/startupprobe.h"
#include "shell/tavconfigurator.h"
#include "widgets/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Bench;

namespace {

constexpr DeviceType_t controllerType = 0x0B0A140Au; // TAV-1020-10
constexpr int modules = 10;

// Milliseconds from starting the program to its "first paint" line; negative when it never came.
double startToFirstPaint(const QString& workDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(StartupProbe::Variable, "1");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", workDir);
    env.insert("TAVCFG_EXTRA_PORTS", "");
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(workDir);
    QElapsedTimer timer;
    timer.start();
    program.start(QStringLiteral(TAV_PROGRAM), QStringList());
    double ms = -1;
    while (program.waitForReadyRead(10000)) {
        if (program.readAllStandardOutput().contains("first paint")) {
            ms = timer.nsecsElapsed() / 1e6;
            break;
        }
    }
    program.waitForFinished(10000);
    return ms;
}

QString saveLargestSystem(const QString& dir)
{
    SystemModel system;
    DeviceHandle h;
    h.type = controllerType;
    h.revision = 0;
    h.number = 0;
    h.id = SystemModel::newNodeId();
    const NodeId_t owner = system.addDevice(h)->id();
    const DeviceType_t module = Bench::twoBoardModule(SettingsProvider::instance());
    for (int i = 1; i <= modules; ++i) {
        h.type = module;
        h.id = SystemModel::newNodeId();
        h.owner = owner;
        h.number = i;
        system.addDevice(h);
    }
    ConfigurationStorage storage(&system);
    storage.setFileName(dir + QStringLiteral("/largest.tavc"));
    return storage.save() ? storage.fileName() : QString();
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const Bench::WindowEnvironment environment;
    initWidgets();
    const int rounds = qMax(1, int(Bench::argument(argc, argv, 1, 15, 1)));
    QTextStream out(stdout);
    QTemporaryDir dir;

    std::vector<double> starts;
    for (int i = 0; i < rounds; ++i)
        starts.push_back(startToFirstPaint(dir.path()));
    out << "start to first paint: median " << Bench::median(starts) << " ms over " << rounds
        << " runs" << Qt::endl;

    const QString path = saveLargestSystem(dir.path());
    if (path.isEmpty()) {
        out << "the largest system could not be saved\n";
        return 1;
    }
    SystemModel check;
    ConfigurationStorage reader(&check);
    if (!reader.load(path)) {
        out << "the largest system could not be read back: " << reader.lastErrorCode() << ' ' << reader.lastErrorSubCode() << '\n';
        return 1;
    }
    TavConfigurator window(false);
    window.show();
    window.files().open(path);
    if (window.model().devices().isEmpty()) {
        out << "the largest system could not be opened\n";
        return 1;
    }
    std::vector<qint64> opens;
    for (int i = 0; i < rounds; ++i) {
        opens.push_back(timed([&] {
            window.files().open(path);
            QApplication::processEvents();
        }));
    }
    out << "open of the largest system, both pages built: median " << medianMs(opens)
        << " ms over " << rounds << " runs (" << window.model().devices().size()
        << " devices)\n";
    return 0;
}
