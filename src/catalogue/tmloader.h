#pragma once

#include "catalogue/cataloguerecords.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>

class SettingsProvider;

// Reads the active vendor brand's hardware catalogue into the settings provider and expands every
// permitted board combination into device templates. Lives for one call of the provider.
class TmLoader
{
    Q_DECLARE_TR_FUNCTIONS(SettingsLoader)

public:
    explicit TmLoader(SettingsProvider* provider);

    bool load(const QString& fileName, const QString& vendor);
    void buildAlarmTable();

    // The user's vendor choice from the settings store: "holmark" or "drovanix".
    static QString vendorChoice();

    const QString& vendor() const { return resolvedVendor; }
    const QString& file() const { return fileName; }

private:
    bool loadFile();
    bool loadHardware();
    bool loadUsoBoards(const QJsonArray& array);
    QList<IoChannel> loadTerminals(const QJsonArray& array) const;
    bool loadPlcList(const QJsonArray& array);
    bool loadDeviceList(const QJsonArray& array, bool hidden);
    bool loadDeviceSection(const QJsonObject& section, int deviceClass, bool hidden);
    bool loadBoards(int pgen, int deviceClass, const QJsonObject& section, const QString& prefix,
                    int kind, bool hidden);
    bool loadUboards(int pgen, int deviceClass, const QJsonObject& section,
                     const QString& prefix, int kind, bool hidden);
    bool loadProto();
    bool loadProtoSection(const QJsonArray& array, const QString& section);
    bool loadSensors();
    void loadDefaults();
    void copyDataTypes(const QJsonObject& defaults, const QString& kind);

    bool addDevice(int deviceClass, const QString& prefix, int kind, const QList<int>& codes,
                   int pgen, int required, int modpreq, const IoBoard& left,
                   const IoBoard& right, bool hidden, DeviceType_t tid);
    void fillChannels(DeviceTemplate& tmpl, const IoBoard& left, const IoBoard& right) const;

    QString fileName;
    QString resolvedVendor;
    QString resourcePath;
    SettingsProvider* provider;
    QJsonObject root;
};
