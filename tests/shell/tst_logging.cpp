// The "-log" and "-monitor" files: which messages reach which file, in which line format.
#include "shell/logging.h"
#include "support/isolatedenvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>

namespace {

QStringList linesOf(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class LoggingTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env; // the log files go into its working directory

private slots:
    // The switches open their files once for the whole process, so the steps run in order.
    void switchesChooseTheFiles()
    {
        initLogging({"TavConfigurator", "plant.tavc"});
        const QtMessageHandler before = qInstallMessageHandler(nullptr);
        QVERIFY(before != messageHandler);
        QVERIFY(!QFile::exists("TavConfigurator.log"));

        initLogging({"TavConfigurator", "-log"});
        qDebug() << "DevConfig [store], Write requests result" << 1;
        qWarning("warned");
        qCritical("critical");
        qInfo("dropped without -monitor");
        QVERIFY(!QFile::exists("monitor.log"));

        // Serial workers log from their own threads.
        QThread* worker = QThread::create([] { qDebug("from a worker"); });
        worker->start();
        QVERIFY(worker->wait(5000));
        delete worker;

        const QStringList debug = linesOf("TavConfigurator.log");
        QCOMPARE(debug.size(), 4);
        const QRegularExpression line(R"(^\d\d:\d\d:\d\d\.\d\d\d \| (.*)$)");
        const QStringList messages{"DevConfig [store], Write requests result 1", "warned", "critical",
                                   "from a worker"};
        for (int i = 0; i < debug.size(); ++i) {
            const QRegularExpressionMatch match = line.match(debug.at(i));
            QVERIFY2(match.hasMatch(), qPrintable(debug.at(i)));
            QCOMPARE(match.captured(1), messages.at(i));
        }

        initLogging({"TavConfigurator", "-monitor"});
        qInfo() << "C&M [Tick] Пуск";
        const QStringList monitor = linesOf("monitor.log");
        QCOMPARE(monitor.size(), 1);
        QVERIFY2(QRegularExpression(R"(^\d\d:\d\d:\d\d\.\d\d\d;C&M \[Tick\] Пуск$)").match(monitor.at(0)).hasMatch(),
                 qPrintable(monitor.at(0)));
        QCOMPARE(linesOf("TavConfigurator.log").size(), 4);
        qInstallMessageHandler(nullptr);
    }
};

QTEST_GUILESS_MAIN(LoggingTest)
#include "tst_logging.moc"
