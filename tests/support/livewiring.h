#pragma once

#include "communication/communication.h"
#include "communication/devicepool.h"

#include <QObject>

// Connects a device pool and a communication object as the main window does, so that end-to-end
// tests run the real detection, selection, keep-alive and channel drops.
inline void wireAsMainWindow(DevicePool* pool, Communication* communication)
{
    QObject::connect(pool, &DevicePool::sendRequest, communication, &Communication::sendRequestTo);
    QObject::connect(pool, &DevicePool::activateChannel, communication, &Communication::activate);
    QObject::connect(pool, &DevicePool::dropChannel, communication, &Communication::dropChannel);
    QObject::connect(communication, &Communication::channelWasFound, pool,
                     &DevicePool::channelOpened);
    QObject::connect(communication, &Communication::channelWasLost, pool,
                     &DevicePool::channelClosed);
    QObject::connect(communication, &Communication::needKeepAlive, pool,
                     &DevicePool::needKeepAlive);
}
