#include "communication/communicationwiring.h"

#include "communication/communication.h"
#include "communication/controlandmonitoring.h"
#include "communication/deviceconfigurator.h"
#include "communication/devicepool.h"

#include <QPointer>

void wireCommunication(Communication* communication, DevicePool* pool,
                       DeviceConfigurator* configurator, ControlAndMonitoring* monitoring)
{
    QObject::connect(pool, &DevicePool::sendRequest, communication, &Communication::sendRequestTo);
    QObject::connect(pool, &DevicePool::activateChannel, communication, &Communication::activate);
    QObject::connect(pool, &DevicePool::dropChannel, communication, &Communication::dropChannel);
    QObject::connect(pool, &DevicePool::channelIdentified, communication,
                     &Communication::setController);
    QObject::connect(communication, &Communication::channelWasFound, pool,
                     &DevicePool::channelOpened);
    QObject::connect(communication, &Communication::channelWasLost, pool,
                     &DevicePool::channelClosed);
    QObject::connect(communication, &Communication::needKeepAlive, pool,
                     &DevicePool::needKeepAlive);
    QObject::connect(communication, &Communication::anotherControllerFound, pool,
                     &DevicePool::controllerReplacedOn);
    if (configurator) {
        QObject::connect(pool, &DevicePool::systemSelected, configurator,
                         &DeviceConfigurator::setSystem);
        QObject::connect(configurator, &DeviceConfigurator::sendRequest, communication,
                         &Communication::sendRequest);
        // A write holds the keep-alive checks off for as long as it runs: a failed check would
        // drop the channel mid-write and lose the password clear. The pool counts the holds.
        QObject::connect(configurator, &DeviceConfigurator::keepAliveControl, pool,
                         &DevicePool::enableKeepAlive);
        // A rewrite while monitoring holds only the debts: the line is judged on time.
        QObject::connect(configurator, &DeviceConfigurator::passwordWork, pool,
                         &DevicePool::workUnderPassword);
        // A read or write pending when the controller goes must still come to an end.
        QObject::connect(pool, &DevicePool::activeRemoved, configurator,
                         &DeviceConfigurator::systemLost);
        QObject::connect(configurator, &DeviceConfigurator::forceDropChannel, pool,
                         &DevicePool::forceDropWithRestart);
        // A controller left with its password set is locked by the pool.
        QObject::connect(configurator, &DeviceConfigurator::clearOwed, pool,
                         &DevicePool::owePasswordClear);
        QObject::connect(configurator, &DeviceConfigurator::controllerReplaced, pool,
                         &DevicePool::controllerReplaced);
        QObject::connect(configurator, &DeviceConfigurator::clearOwedByAnother, pool,
                         &DevicePool::owePasswordClearOf);
    }
    if (monitoring) {
        QObject::connect(monitoring, &ControlAndMonitoring::sendRequest, communication,
                         &Communication::sendRequest);
        // The monitoring handshake holds the checks off the same way, counted with the writes'.
        QObject::connect(monitoring, &ControlAndMonitoring::keepAliveControl, pool,
                         &DevicePool::enableKeepAlive);
        // A handshake's clear that did not go through is owed like a write's.
        QObject::connect(pool, &DevicePool::systemSelected, monitoring,
                         &ControlAndMonitoring::setSystem);
        QObject::connect(monitoring, &ControlAndMonitoring::clearOwed, pool,
                         &DevicePool::owePasswordClear);
        QObject::connect(monitoring, &ControlAndMonitoring::controllerReplaced, pool,
                         &DevicePool::controllerReplaced);
        QObject::connect(monitoring, &ControlAndMonitoring::clearOwedByAnother, pool,
                         &DevicePool::owePasswordClearOf);
    }
    if (configurator && monitoring) {
        // The stop's handshake goes behind the rewrite of the edits made while monitoring.
        const QPointer<DeviceConfigurator> held(configurator);
        monitoring->stopWaits = [held] { return held && held->holdsStop(); };
        QObject::connect(configurator, &DeviceConfigurator::stopMayGo, monitoring,
                         &ControlAndMonitoring::sendHeldStop);
    }
}
