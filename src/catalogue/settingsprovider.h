#pragma once

#include "model/busentry.h"
#include "catalogue/cataloguerecords.h"
#include "model/devicetype.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSet>
#include <QString>

class TmLoader;

// The one process-wide holder of the active vendor brand's hardware catalogue. Loaded, cleared and
// retranslated on the GUI thread only; other threads read it but never make it load.
class SettingsProvider
{
public:
    static SettingsProvider& instance(const QString& vendor = QString());
    // The provider if it exists and holds a catalogue, else nullptr; never loads.
    static const SettingsProvider* loaded();
    // Vendor key of the catalogue the device data must belong to: the key the loaded catalogue was
    // resolved under, or the user's current vendor choice when nothing is loaded. Never loads, so a
    // worker thread may ask.
    static QString activeVendor();

    void retranslate();

    const QList<DeviceType_t>& types(int deviceClass) const;
    int deviceClass(DeviceType_t type) const;
    bool deviceTemplate(DeviceType_t type, HardwareVersion revision, DeviceTemplate* out,
                        bool fallback = false) const;
    bool hiddenTemplate(DeviceType_t type, DeviceTemplate* out) const;
    QString modelName(DeviceType_t type, HardwareVersion revision) const;
    static QString formatModelName(const QString& name, HardwareVersion revision);
    QList<QPair<QString, QString>> modelCode(const QList<TypedRevision_t>& configured,
                                             const QList<BusEntry>& detected) const;
    static bool isControllerType(DeviceType_t type);
    static QString vendorOf(DeviceType_t type);

    QList<DeviceType_t> pexTypesWithinBudget(int limit, int used) const;
    QList<DeviceType_t> typesWithinBudget(const QSet<int>& classes, int limit, int used) const;
    QList<DeviceType_t> typesWithinSlots(const QList<DeviceType_t>& types, int limit,
                                         int factor) const;

    bool alarmText(int code, AlarmText* out) const;
    const QMap<int, SensorInfo>& sensors() const { return sensorTable; }
    bool sensor(int id, SensorInfo* out) const;

    bool protoEntry(const QString& section, int resourceKind, ProtoEntry* out) const;
    bool sysEntry(const QString& id, ProtoEntry* out) const;
    bool iortEntry(const QString& roleWord, ProtoEntry* out) const;
    bool iocfgEntry(const QString& id, ProtoEntry* out) const;
    ProtoEntry iocfgBase() const;
    static QString kindKey(int kind);
    static bool rolesOfKind(int kind, QList<int>* out);

    static QString vendorFromArguments(const QString& text);
    static QString vendorOfConfigurationFile(const QString& path);
    static QString vendorOfTextFile(const QString& path);

    QMap<int, IoBoard> boards;
    QMap<DeviceType_t, DeviceTemplate> templates;
    QMap<DeviceType_t, DeviceTemplate> hiddenTemplates;
    QMap<QString, ProtoEntry> protocol;
    QList<DeviceType_t> plcTypes;
    QList<DeviceType_t> tavTypes;
    QList<DeviceType_t> pexTypes;
    QMap<int, AlarmText> alarmTexts;
    QMap<int, SensorInfo> sensorTable;
    int defaultRtdSensor = 1;
    int defaultNtcSensor = 100;
    int irrFilterStep = 120;
    int filterDefaultValue = 0;
    int filterState = 1;
    int filterValue = 1;
    int hangupRestart = 300;
    int scanAfterRestart = 200;
    QJsonObject defaultTypes;
    // Empty when the catalogue came from an override folder; the configuration file stores it.
    QString vendorKey;
    // The vendor the catalogue was resolved for, kept even when vendorKey is empty.
    QString resolvedVendorKey;
    int mode = 0;

private:
    SettingsProvider() = default;
    SettingsProvider(const SettingsProvider&) = delete;
    SettingsProvider& operator=(const SettingsProvider&) = delete;

    void clear();
    void init(const QString& vendor);
    void rebuildClassLists();
    bool lookup(const QString& key, ProtoEntry* out) const;

    QHash<DeviceType_t, int> classByType;
};
