#pragma once

#include "model/ioresource.h"

#include <array>

// The settings a controller applies to one of its own serial ports. It has no polled live value;
// its three live words only pass through AbstractValue.
class SerialPort : public IoResource
{
public:
    explicit SerialPort(const NodeId_t& id);

    int kind() const override;
    // 16 bytes: baud u32, parity u8, stop bits u8, block word u16, delay u16, mode u8,
    // address u8, safe time u32.
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;

    QString typeName() const override;
    void exportConfig(AbstractConfig& config) const override;
    void importConfig(const AbstractConfig& config) override;
    void exportValue(AbstractValue& value) const override;
    void importValue(const AbstractValue& value) override;
    QMap<int, QString> valueText() const override;
    void accept(ResourceVisitor& visitor) override;
    bool readJson(const QJsonObject& json) override;

    static constexpr int BlockSize = 16;

    const SerialPortConfig& config() const { return m_config; }
    const std::array<quint32, 3>& liveWords() const { return m_live; }

protected:
    QJsonObject settingsJson() const override;
    const std::vector<JsonField>& jsonFields() const override;

private:
    bool readSettings(const QJsonObject& settings);

    SerialPortConfig m_config;
    std::array<quint32, 3> m_live{};
};
