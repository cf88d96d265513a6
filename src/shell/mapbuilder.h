#pragma once

#include "model/abstractconfig.h"
#include "model/apperror.h"
#include "shell/maprequest.h"
#include "model/systemmodel.h"

#include <QList>
#include <QString>

// Builds the register map file through which the maker's programming environment polls the
// controller of the edited system: one request per Modbus transfer, each with its variables.
class MapBuilder
{
public:
    // The serial-port settings of the system; only the baud rate and the address reach the file.
    using RequestSettings = SerialPortConfig;

    MapBuilder() = default;

    // 0 when the requests were built; -1 when the system has no usable serial port, and the
    // requests stay as they were. Throws App::Error (43, 0) when the catalogue has no "korcpu"
    // entry in its "sys" section.
    int build(SystemModel* model);
    // 0 after writing; 1 after writing when the disk did not confirm it (FileWriter::commit); -1
    // when the file cannot be written or nothing was built, and an existing file keeps its
    // contents then. The reason goes to `error` when given: (9, the cause) for a file that does
    // not open or take its text for a cause FileWriter names, else (43, 43) for a file that does
    // not open, (9, 16) or (9, 17) for a write that failed.
    int writeMapFile(const QString& path, App::Error* error = nullptr) const;

    // Builds and writes in one step for the menus: false, with the reason in `error` when given,
    // when the map could not be built or written; nothing is thrown and, on failure, nothing is
    // written. The reasons: what build throws, (43, 1) for a system without a usable serial port,
    // and what writeMapFile gives. `unconfirmed`, when given, is set when the file was written but
    // the disk did not confirm it.
    static bool exportMap(SystemModel* model, const QString& path, App::Error* error = nullptr,
                          bool* unconfirmed = nullptr);

    const QList<MapRequest>& requests() const { return m_requests; }
    const RequestSettings& settings() const { return m_settings; }

    static QString accessText(qint32 direction);
    static QString kindText(qint32 kind);
    static QString typeText(qint32 type);
    static QString sectionText(int index, const MapRequest& request);

private:
    bool readPortSettings(SystemModel* model);
    void systemVariables();
    void ainVariables(const SystemModel* model, const SystemModel::Resources_t& resources);
    void aoutVariables(const SystemModel* model, const SystemModel::Resources_t& resources);
    void dinVariables(const SystemModel* model, const SystemModel::Resources_t& resources);
    void doutVariables(const SystemModel* model, const SystemModel::Resources_t& resources);
    void alarmGroups(const SystemModel* model);
    void alarmBits(QList<MapRequest>& alarms, const QString& prefix, quint32 device, quint32 count,
                   quint32 latched, quint32 control) const;

    MapRequest newRequest(qint32 direction, qint32 kind, quint32 period) const;

    QList<MapRequest> m_requests;
    RequestSettings m_settings;
    // Set only by a build that finished, so a failed build never turns into an empty file.
    bool m_built = false;
};
