#pragma once

#include "model/abstractconfig.h"
#include "shell/maprequest.h"
#include "model/systemmodel.h"

#include <QList>
#include <QString>

// Lays the variables of one resource kind out in consecutive registers (or bits) and cuts the run
// into requests no longer than one Modbus transfer may be. Several passes may share one open
// request, so values of one resource (a counter and its frequency) sit in one poll.
class RequestCollector
{
public:
    RequestCollector(const SystemModel* model, const SerialPortConfig& settings);

    // Begins a new run at `offset`: the open request and the closed ones are dropped.
    void startLayout(qint32 direction, qint32 kind, quint32 period, qint32 type, quint32 offset);
    // Goes on in the open request with variables of another type.
    void continueLayout(qint32 type);
    void setText(const QString& description, const QString& pattern);
    void add(const SystemModel::Resources_t& resources);

    // The requests the last adds filled up; the collector forgets them.
    QList<MapRequest> takeCompleted();
    // The open request, when it holds variables; the collector starts an empty one.
    QList<MapRequest> takeOpen();

    // Registers one request may span; a bit request 2000 bits.
    static quint32 maxSpanOf(qint32 kind);

private:
    QString prefixOf(const Device& device) const;
    void close();

    const SystemModel* model;
    SerialPortConfig settings;
    // A system of one device names its variables without a device prefix.
    bool singleDevice = false;
    MapRequest open;
    QList<MapRequest> completed;
    quint32 maxSpan = 125;
    quint32 width = 1;
    qint32 type = MapVariable::Bool;
    quint32 cursor = 0;
    quint32 start = 0;
    QString description;
    QString pattern;
};
