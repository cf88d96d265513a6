#pragma once

#include "model/devicetype.h"

#include <QList>
#include <QMap>
#include <QString>

struct IoChannel
{
    int kind = 0; // 0 analogue input, 1 analogue output, 2 discrete input, 3 discrete output
    QString name;
    int index = 0;
    int offset = 0;
    int sub = 0;
    int gnd = 0;
    bool top = false;
    // 1 left board top, 2 left board bottom, 3 right board top, 4 right board bottom; 0 on a board.
    int position = 0;
};

struct IoBoard
{
    QString name;
    int id = 0;
    int preq = 0;
    QList<IoChannel> top;
    QList<IoChannel> bottom;
};

struct DeviceTemplate
{
    DeviceType_t type = 0;
    HardwareVersion revision = -1;
    QString name;
    int deviceClass = 0;
    QString description;
    QList<IoChannel> channels;
    QMap<int, int> loadClasses;
    QList<int> boardIds;
    int pgen = 0;
    int preq = 0;
};

// One block of the Modbus register map; four zeros stand for a missing entry.
struct ProtoEntry
{
    quint32 rcmd = 0;
    quint32 wcmd = 0;
    quint32 offset = 0;
    quint32 registers = 0;

    bool isNull() const { return rcmd == 0 && wcmd == 0 && offset == 0 && registers == 0; }
    bool operator==(const ProtoEntry& o) const
    {
        return rcmd == o.rcmd && wcmd == o.wcmd && offset == o.offset && registers == o.registers;
    }
    bool operator!=(const ProtoEntry& o) const { return !(*this == o); }
};

struct SensorInfo
{
    int id = 0;
    int sensorClass = 0; // 3 resistance thermometer, 4 thermistor
    QString name;
    int rRef = 0;
    int tRef = 0;
    double abFactor = 0.0;
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
};

struct AlarmText
{
    QString description;
    QString display;
};
