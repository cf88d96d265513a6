#pragma once

#include "model/ioresource.h"

// An analogue input: voltage, current, two- or three-wire resistance thermometer, thermistor or
// discrete input. Three-wire measurement takes two neighbouring inputs, so range 3 couples the
// input with its partner.
class Ain : public IoResource
{
public:
    enum Range : qint32 {
        Voltage = 0,
        Current = 1,
        Rtd = 2,
        Rtd3Wire = 3,
        Ntc = 4,
        Discrete = 5,
    };

    // The filter setting starts from the catalogue's default when a catalogue is loaded.
    explicit Ain(const NodeId_t& id);

    int kind() const override;
    // 19 registers: range, sensor, filters and flags, the scale, the sensor's reference values and
    // either the polynomial coefficients of a user thermometer or the sensor factor.
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;
    bool decodeValue(int role, const QByteArray& data) override;
    void encodeValue(int role, QByteArray* data) const override;
    QList<int> rolesA() const override;
    QList<int> rolesB() const override;
    QList<int> rolesC() const override;

    QString typeName() const override;
    void exportConfig(AbstractConfig& config) const override;
    // Entering or leaving range 3 couples or uncouples the pair before the record is taken.
    void importConfig(const AbstractConfig& config) override;
    bool changesPolling(const AbstractConfig& config) const override;
    void exportValue(AbstractValue& value) const override;
    void importValue(const AbstractValue& value) override;
    // 0 the row label, 1 the status words, 2 the raw measurement, 3 the scaled value.
    QMap<int, QString> valueText() const override;
    bool statusFlag() const override;
    void setStatusFlag(quint8 status) override;
    void accept(ResourceVisitor& visitor) override;
    bool readJson(const QJsonObject& json) override;

    static bool entersThreeWire(const AinConfig& from, const AinConfig& to);
    static bool leavesThreeWire(const AinConfig& from, const AinConfig& to);
    static bool entersThreeWire(const AbstractConfig& from, const AbstractConfig& to);
    static bool leavesThreeWire(const AbstractConfig& from, const AbstractConfig& to);
    // The catalogue's user resistance thermometers, whose coefficients the device stores.
    static bool isUserSensor(qint32 tsType);
    // What the device keeps of a value it stores in single precision (the sensor factor and the
    // coefficients among them): the nearest single, or the end of their range beyond it.
    static float toSingle(double value);

    static constexpr int BlockSize = 38;

    const AinConfig& config() const { return m_config; }
    const AinValue& value() const { return m_value; }

protected:
    QJsonObject settingsJson() const override;
    const std::vector<JsonField>& jsonFields() const override;

private:
    bool readSettings(const QJsonObject& settings);
    // The device block and the file may carry coefficients that are empty or stale; both rules
    // take the catalogue's A, B and C instead.
    static void fillCoefficients(AinConfig& config);
    static void reloadCoefficients(AinConfig& config);

    AinConfig m_config;
    AinValue m_value;
};
