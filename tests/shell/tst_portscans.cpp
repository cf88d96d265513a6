// When the ports are scanned and how a hung USB serial port is restarted, with a stand-in for
// the USB restart: refused second reports, restarts that never start or never end, and the
// permission notice.
#include "communication/communication.h"
#include "communication/serialportinfo.h"
#include "platform/usbrestarter.h"
#include "scriptedprompts.h"
#include "shell/portpermissionnotice.h"
#include "shell/portscans.h"

#include <QtTest>

#include <cerrno>

namespace {

class FakeRestarter : public UsbRestarter
{
public:
    bool starts = true;
    QStringList started;

    bool start(const QString& serial) override
    {
        started.append(serial);
        return starts;
    }
};

QStringList logLines;
QtMessageHandler previousHandler = nullptr;

void keepLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    logLines.append(message);
    previousHandler(type, context, message);
}

} // namespace

class PortScansTest : public QObject
{
    Q_OBJECT

    FakeRestarter* restarter = nullptr;
    PortScans* scans = nullptr;

private slots:
    void initTestCase() { previousHandler = qInstallMessageHandler(keepLog); }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        logLines.clear();
        restarter = new FakeRestarter;
        scans = new PortScans(nullptr, nullptr, restarter);
    }
    void cleanup()
    {
        delete scans;
        delete restarter;
    }

    void secondHangReportIsRefusedAndChangesDoNotScanDuringARestart()
    {
        QSignalSpy scan(scans, &PortScans::scanRequested);
        QSignalSpy changed(scans, &PortScans::devNodesChanged);
        scans->restartHangupUsbSerialPort({"A1", "B2"});
        scans->restartHangupUsbSerialPort({"C3"});
        QVERIFY(logLines.last().contains(", in progress: true"));
        scans->devicesChanged();
        QCOMPARE(changed.count(), 0);

        QTRY_COMPARE_WITH_TIMEOUT(restarter->started, QStringList{"*"}, 5000);
        emit restarter->finished(0, "reset");
        QVERIFY(!scans->isRestartInProgress());
        QVERIFY(scan.wait(5000));
        QCOMPARE(scan.count(), 1);

        scans->devicesChanged();
        QCOMPARE(changed.count(), 1);
        QCOMPARE(scan.count(), 2);
    }

    void restartThatCannotStartOrHangsEndsWithAnError()
    {
        QSignalSpy failed(scans, &PortScans::restartFailed);
        QSignalSpy scan(scans, &PortScans::scanRequested);
        restarter->starts = false;
        scans->restartHangupUsbSerialPort({"A1"});
        QTRY_VERIFY_WITH_TIMEOUT(!scans->isRestartInProgress(), 5000);
        QCOMPARE(restarter->started, QStringList{"A1"});
        QCOMPARE(failed.count(), 1);
        QVERIFY(scan.wait(5000));

        restarter->starts = true;
        scans->setRestartWatchdog(50);
        scans->restartHangupUsbSerialPort({"A1"});
        QTRY_VERIFY_WITH_TIMEOUT(!scans->isRestartInProgress(), 5000);
        QCOMPARE(failed.count(), 2);
        // The hung restart's late end changes nothing.
        emit restarter->finished(0, "late");
        QCOMPARE(failed.count(), 2);
        // Scans and restarts work again.
        scans->restartHangupUsbSerialPort({"A1"});
        QVERIFY(scans->isRestartInProgress());
    }

    void offlineScanRunsOnlyWithoutAnActiveSystem()
    {
        QSignalSpy scan(scans, &PortScans::scanRequested);
        scans->scanOfflineSystem(true);
        QVERIFY(scans->isOfflineScanRunning());
        scans->tryToScanPorts();
        QCOMPARE(scan.count(), 1);
        scans->scanOfflineSystem(false);
        QVERIFY(!scans->isOfflineScanRunning());
    }

    // A port the user may not open, or one another program holds, is told once per port with
    // what to do; other failed opens are not told.
    void refusedPortIsToldOncePerPort_data()
    {
        QTest::addColumn<int>("cause");
        QTest::addColumn<QString>("advice");
        QTest::newRow("permission") << int(EACCES) << "dialout";
        QTest::newRow("held by another program") << int(EBUSY) << "занят другой программой";
    }

    void refusedPortIsToldOncePerPort()
    {
        QFETCH(int, cause);
        QFETCH(QString, advice);
        ScriptedPrompts prompts;
        PortPermissionNotice notice;
        const SerialPortInfo port("ttyACM0", "", "A1");
        notice.portOpenFailed(port, {25, cause, "refused"});
        notice.portOpenFailed(port, {25, cause, "refused"});
        notice.portOpenFailed(SerialPortInfo("ttyACM1", "", "B2"), {25, ENOENT, "gone"});
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.messages[0].contains("ttyACM0"));
        QVERIFY(prompts.messages[0].contains(advice));
        notice.portOpenFailed(SerialPortInfo("ttyACM1", "", "B2"), {25, cause, "refused"});
        QCOMPARE(prompts.messages.size(), 2);
    }

    void aPortThatFailsToOpenIsReportedWithItsCause()
    {
        Communication communication;
        communication.setSystemPortSource(
            [] { return QList<SerialPortInfo>{SerialPortInfo::fromPath("/nonexistent/ttyACM9")}; });
        QList<App::Error> errors;
        connect(&communication, &Communication::portOpenFailed, this,
                [&errors](const SerialPortInfo&, const App::Error& e) { errors.append(e); });
        communication.runComPortScan();
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors[0].code, 25);
        QCOMPARE(errors[0].subCode, ENOENT);
        QVERIFY(!PortPermissionNotice::isPermissionError(errors[0]));
    }
};

QTEST_MAIN(PortScansTest)
#include "tst_portscans.moc"
