// The main window's wiring of the device side, end to end against a simulated controller on a
// pseudo-terminal that the window's own port scan finds through TAVCFG_EXTRA_PORTS: monitoring
// stops with its handshake even with a read on the wire, and keep-alive holds of the configurator
// and the monitoring loop both reach the pool.
#include "communication/communication.h"
#include "communication/configurationtraffic.h"
#include "communication/controlandmonitoring.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"
#include "communication/monitoredsystem.h"
#include "shell/tavconfigurator.h"

#include <QStackedWidget>
#include <QTabBar>
#include "scriptedprompts.h"
#include "support/isolatedenvironment.h"

#include <QtTest>

namespace {

constexpr int WaitMs = 5000;

} // namespace

class TavConfiguratorLiveTest : public QObject
{
    Q_OBJECT

    IsolatedEnvironment env;
    SimulatedController* controller = nullptr;
    TavConfigurator* window = nullptr;

    void detectAndSelect()
    {
        Communication* communication = window->communication();
        DevicePool* pool = window->devicePool();
        communication->setSystemPortSource([] { return QList<SerialPortInfo>(); });
        communication->setKeepAliveInterval(150);
        qputenv(PortEnumerator::ExtraPortsVariable, controller->portPath().toLocal8Bit());
        communication->runComPortScan();
        QTRY_COMPARE_WITH_TIMEOUT(pool->systems().size(), 1, WaitMs);
        pool->selectSystem(pool->systems().first()->id());
        QVERIFY(pool->activeSystem());
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setApplicationName("Tav Configurator");
        QVERIFY(MonitoredSystem::module());
    }

    void init()
    {
        qputenv(PortEnumerator::ExtraPortsVariable, "");
        controller = new SimulatedController;
        QVERIFY(controller->isRunning());
        QVERIFY(controller->setBus(MonitoredSystem::bus()));
        window = new TavConfigurator(false);
        MonitoredSystem system;
        QVERIFY(system.build(window->model()));
        window->controlAndMonitoring()->setTickInterval(100);
    }

    void cleanup()
    {
        delete window;
        delete controller;
        qunsetenv(PortEnumerator::ExtraPortsVariable);
    }

    void monitoringStopsWithItsHandshakeWhileAReadIsOnTheWire()
    {
        detectAndSelect();
        QSignalSpy deviceValues(&window->model(), &SystemModel::changedDeviceValues);
        window->onMonitoringMode(true);
        QTRY_VERIFY_WITH_TIMEOUT(deviceValues.count() >= 1, WaitMs);
        QVERIFY(!window->tabs().tabBar()->isTabEnabled(1));
        QCOMPARE(window->pageStack()->currentWidget(),
                 window->page(TavConfigurator::ResourcesPage));

        // The next monitoring read is held on the wire while monitoring is switched off.
        const int served = controller->servedCount();
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, WaitMs);
        controller->clearLog();
        window->onMonitoringMode(false);
        QTRY_COMPARE_WITH_TIMEOUT(ConfigurationTraffic::of(controller->writes()).control,
                                  ConfigurationTraffic::handshake(104), WaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(window->devicePool()->isKeepAliveEnabled(), WaitMs);
        QVERIFY(window->tabs().tabBar()->isTabEnabled(1));
    }

    // The pool's loss of the selected system reaches the configurator: a read pending when the
    // cable is pulled answers instead of waiting for ever.
    void readPendingWhenTheControllerVanishesAnswers()
    {
        detectAndSelect();
        DeviceConfigurator* configurator = window->deviceConfigurator();
        QSignalSpy loaded(configurator, &DeviceConfigurator::loaded);
        QSignalSpy removed(window->devicePool(), &DevicePool::activeRemoved);
        // A vanished USB port may be told to the user: answered here, never a modal box.
        ScriptedPrompts prompts;
        controller->misbehave({SimulatedController::Fault::Delay, 1, 300, 0, 0});
        const int served = controller->servedCount();
        configurator->read();
        QTRY_VERIFY_WITH_TIMEOUT(controller->servedCount() > served, WaitMs);
        controller->vanish();
        QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, WaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(loaded.count(), 1, WaitMs);
        QVERIFY(!loaded[0][0].toBool());
    }

    void keepAliveHoldsOfBothReachThePool()
    {
        detectAndSelect();
        DevicePool* pool = window->devicePool();
        QVERIFY(pool->isKeepAliveEnabled());
        emit window->deviceConfigurator()->keepAliveControl(false);
        emit window->controlAndMonitoring()->keepAliveControl(false);
        QVERIFY(!pool->isKeepAliveEnabled());
        emit window->controlAndMonitoring()->keepAliveControl(true);
        QVERIFY(!pool->isKeepAliveEnabled());
        emit window->deviceConfigurator()->keepAliveControl(true);
        QVERIFY(pool->isKeepAliveEnabled());
    }
};

QTEST_MAIN(TavConfiguratorLiveTest)
#include "tst_tavconfigurator_live.moc"
