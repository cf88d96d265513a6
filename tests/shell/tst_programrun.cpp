// The built program itself, started as a user starts it: in a working directory of its own, under
// the offscreen platform, with a configuration file on the command line, and quit by its start-up
// test hook once that file is open. What the "-log" and "-monitor" switches leave behind.
#include "model/systemmodel.h"
#include "shell/configurationstorage.h"
#include "shell/startupprobe.h"
#include "hostilefiles.h"
#include "support/modelfixture.h"

#include <QProcess>
#include <QScopeGuard>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class ProgramRunTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    // Starts the program in the folder, quitting once started when `probe` is set.
    void start(QProcess& program, const QStringList& arguments, bool probe)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (probe)
            env.insert(StartupProbe::Variable, "1");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", dir.path());
        env.insert("TAVCFG_EXTRA_PORTS", "");
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(dir.path());
        program.start(QStringLiteral(TAV_PROGRAM), arguments);
    }

    // Runs the program in the folder and answers its exit code; -1 when it did not end.
    int run(const QStringList& arguments, int deadlineMs = 60000)
    {
        QProcess program;
        start(program, arguments, true);
        if (!program.waitForFinished(deadlineMs)) {
            program.kill();
            program.waitForFinished();
            return -1;
        }
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QCoreApplication::setApplicationName("Tav Configurator");
        SystemModel system;
        QVERIFY(system.addDevice(ModelFixture::handleOf(ModelFixture::kTav1020, 0)));
        ConfigurationStorage storage(&system);
        storage.setFileName(dir.path() + "/plant.tavc");
        QVERIFY(storage.save());
        QFile broken(dir.filePath("broken.tavc"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("{") == 1);
    }

    void withoutSwitchesNoLogFiles()
    {
        QCOMPARE(run({"plant.tavc"}), 0);
        QVERIFY(!QFile::exists(dir.filePath("TavConfigurator.log")));
        QVERIFY(!QFile::exists(dir.filePath("monitor.log")));
    }

    // A named pipe or a device named on the command line: the program starts, says the file
    // cannot be opened, and ends as usual.
    void commandLineFileThatIsNoFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("named pipe") << "pipe.tavc";
        QTest::newRow("/dev/zero") << "zero.tavc";
    }

    void commandLineFileThatIsNoFile()
    {
        QFETCH(QString, name);
        const QString file = dir.filePath(name);
        QFile::remove(file);
        if (name == "pipe.tavc")
            QVERIFY(HostileFiles::makeFifo(file));
        else
            QVERIFY(QFile::link("/dev/zero", file));
        QFile::remove(dir.filePath("TavConfigurator.log"));

        QCOMPARE(run({"-log", name}, 30000), 0);
        const QStringList log = linesOf(dir.filePath("TavConfigurator.log"));
        const QString refused = "Load settings error:  8 6 \"\" , file \"" + name + "\"";
        QVERIFY2(std::any_of(log.cbegin(), log.cend(), [&](const QString& line) { return line.endsWith(refused); }),
                 qPrintable(log.join('\n')));
    }

    // The session ending (SIGTERM), the terminal gone (SIGHUP) or Ctrl+C in it (SIGINT): the
    // program ends through its window's close, as when the user closes it, also when a command-
    // line file it cannot open has its message open, or has it still to come.
    void terminationSignalEndsThroughTheClose_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QString>("file");
        // The log line after which the signal comes.
        QTest::addColumn<QString>("after");
        const QString built = "TAVC Vesrion: ";
        QTest::newRow("SIGTERM") << SIGTERM << QString() << built;
        QTest::newRow("SIGHUP") << SIGHUP << QString() << built;
        QTest::newRow("SIGINT") << SIGINT << QString() << built;
        QTest::newRow("SIGTERM at a refused file's message") << SIGTERM << "broken.tavc"
                                                            << "Load settings error:";
        QTest::newRow("SIGTERM before a refused file is opened") << SIGTERM << "broken.tavc" << built;
    }

    void terminationSignalEndsThroughTheClose()
    {
        QFETCH(int, signal);
        QFETCH(QString, file);
        QFETCH(QString, after);
        QFile::remove(dir.filePath("TavConfigurator.log"));
        QProcess program;
        const auto end = qScopeGuard([&program] {
            program.kill();
            program.waitForFinished();
        });
        start(program, file.isEmpty() ? QStringList{"-log"} : QStringList{"-log", file}, false);
        QVERIFY(QTest::qWaitFor(
            [&] {
                const QStringList log = linesOf(dir.filePath("TavConfigurator.log"));
                return std::any_of(log.cbegin(), log.cend(), [&](const QString& line) {
                    return line.contains(after);
                });
            },
            30000));
        ::kill(pid_t(program.processId()), signal);
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const QStringList log = linesOf(dir.filePath("TavConfigurator.log"));
        QVERIFY(std::any_of(log.cbegin(), log.cend(), [](const QString& line) {
            return line.endsWith("Program start, ended by a signal: the window is closed");
        }));
    }

    void logLinesCarryTheTime()
    {
        QCOMPARE(run({"-log", "-monitor", "plant.tavc"}), 0);
        const QStringList debug = linesOf(dir.filePath("TavConfigurator.log"));
        QVERIFY(!debug.isEmpty());
        const QRegularExpression debugLine(R"(^\d\d:\d\d:\d\d\.\d\d\d \| .+$)");
        for (const QString& line : debug)
            QVERIFY2(debugLine.match(line).hasMatch(), qPrintable(line));
        QVERIFY(debug.indexOf(QRegularExpression(R"(.* \| TAVC Vesrion: 5\.5\.0\.001Drovanix LLC$)")) >= 0);

        // Only info messages go to the monitor log; the program's debug lines never do.
        QVERIFY(QFile::exists(dir.filePath("monitor.log")));
        const QRegularExpression monitorLine(R"(^\d\d:\d\d:\d\d\.\d\d\d;.+$)");
        for (const QString& line : linesOf(dir.filePath("monitor.log")))
            QVERIFY2(monitorLine.match(line).hasMatch(), qPrintable(line));

        // A second run appends.
        QCOMPARE(run({"-log", "plant.tavc"}), 0);
        const QStringList both = linesOf(dir.filePath("TavConfigurator.log"));
        QVERIFY(both.size() > debug.size());
        QCOMPARE(both.mid(0, debug.size()), debug);
    }
};

QTEST_MAIN(ProgramRunTest)
#include "tst_programrun.moc"
