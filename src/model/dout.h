#pragma once

#include "model/ioresource.h"

// A discrete output: its safe state, and live the output state and the override through which the
// configurator drives it.
class Dout : public IoResource
{
public:
    explicit Dout(const NodeId_t& id);

    int kind() const override;
    // 4 bytes: a spare word (zero towards the device) and the safe state.
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;
    // Roles "dout" and "dout-over", one coil each; only the override is ever written.
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
    // 0 the text id, 1 the output state.
    QMap<int, QString> valueText() const override;
    void accept(ResourceVisitor& visitor) override;
    bool readJson(const QJsonObject& json) override;

    static constexpr int BlockSize = 4;

    const DoutConfig& config() const { return m_config; }
    const DoutValue& value() const { return m_value; }

protected:
    QJsonObject settingsJson() const override;
    const std::vector<JsonField>& jsonFields() const override;

private:
    bool readSettings(const QJsonObject& settings);

    DoutConfig m_config;
    DoutValue m_value;
};
