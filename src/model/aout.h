#pragma once

#include "model/ioresource.h"

// An analogue output: its safe value, and live the output in millivolts, the value the configurator
// forces onto it and the device's overload flag.
class Aout : public IoResource
{
public:
    explicit Aout(const NodeId_t& id);

    int kind() const override;
    // 10 bytes: two spare words (zeros towards the device), the safe value and a block word that
    // only travels back to the device.
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;
    // Roles "aout" and "aout-over", one 16-bit register each.
    bool decodeValue(int role, const QByteArray& data) override;
    void encodeValue(int role, QByteArray* data) const override;
    QList<int> rolesA() const override;
    QList<int> rolesB() const override;
    QList<int> rolesC() const override;

    QString typeName() const override;
    void exportConfig(AbstractConfig& config) const override;
    void importConfig(const AbstractConfig& config) override;
    void exportValue(AbstractValue& value) const override;
    void importValue(const AbstractValue& value) override;
    // 0 the text id, 1 "overload" or empty, 2 the output in volts.
    QMap<int, QString> valueText() const override;
    // The overload flag; the resource only stores and shows it.
    bool statusFlag() const override;
    void setStatusFlag(quint8 status) override;
    void accept(ResourceVisitor& visitor) override;
    bool readJson(const QJsonObject& json) override;

    static constexpr int BlockSize = 10;

    const AoutConfig& config() const { return m_config; }
    const AoutValue& value() const { return m_value; }

protected:
    QJsonObject settingsJson() const override;
    const std::vector<JsonField>& jsonFields() const override;

private:
    bool readSettings(const QJsonObject& settings);

    AoutConfig m_config;
    AoutValue m_value;
};
