#pragma once

#include "shell/mapvariable.h"

#include <QList>
#include <QtGlobal>

// One "[Request]" section of a register map file: a poll the programming environment repeats,
// with the variables it carries.
struct MapRequest
{
    enum Direction : qint32 { Read = 1, Write = 2, ReadWrite = 3 };
    enum Kind : qint32 { Bits = 0, Registers = 1 };

    qint32 direction = Read;
    qint32 kind = Registers;
    quint32 baudRate = 0;
    quint32 address = 0;
    // Milliseconds; 0 reads once.
    quint32 period = 0;
    QList<MapVariable> variables;
};
