#pragma once

#include <QString>
#include <QtGlobal>

// One variable line of a register map file: where it sits in its request's Modbus table, how wide
// it is, and what the programming environment calls it.
struct MapVariable
{
    enum Type : qint32 { Bool = 0, Int = 1, Real = 2, Long = 3 };

    // 0-based register (or bit) offset in the request's table.
    quint32 address = 0;
    qint32 type = Bool;
    QString name;
    QString description;

    // Registers (or bits) a variable of the type takes: bool and int one, real and long two.
    static quint32 width(qint32 type) { return type == Real || type == Long ? 2 : 1; }
};
