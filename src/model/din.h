#pragma once

#include "model/ioresource.h"

// A discrete input: its state, its pulse counter and the counter-reset request. A slow input
// (sub-type 1) keeps its filter switched on whatever an editor sends.
class Din : public IoResource
{
public:
    // Filter switch and window start from the catalogue's defaults when a catalogue is loaded.
    explicit Din(const NodeId_t& id);

    int kind() const override;
    // 4 bytes: a flag word (bit 0 filter on, bit 1 AC, bits 2 and 3 the polling switches) and the
    // filter window.
    bool decode(const QByteArray& data) override;
    void encode(QByteArray* data) const override;
    bool decodeValue(int role, const QByteArray& data) override;
    void encodeValue(int role, QByteArray* data) const override;
    QList<int> rolesA() const override;
    QList<int> rolesB() const override;
    QList<int> rolesC() const override;

    QString typeName() const override;
    void exportConfig(AbstractConfig& config) const override;
    void importConfig(const AbstractConfig& config) override;
    // Leaves the filter of a slow input as the record has it.
    void restoreConfig(const AbstractConfig& config) override;
    bool changesPolling(const AbstractConfig& config) const override;
    void exportValue(AbstractValue& value) const override;
    void importValue(const AbstractValue& value) override;
    // 0 the text id, 1 the state, 2 the counter.
    QMap<int, QString> valueText() const override;
    void accept(ResourceVisitor& visitor) override;
    bool readJson(const QJsonObject& json) override;

    static constexpr int BlockSize = 4;

    const DinConfig& config() const { return m_config; }
    bool isSlow() const { return subType() == 1; }
    quint16 state() const { return m_value; }
    quint32 counter() const { return m_counter; }
    quint32 frequency() const { return m_frequency; }
    bool resetRequested() const { return m_reset; }

protected:
    QJsonObject settingsJson() const override;
    const std::vector<JsonField>& jsonFields() const override;

private:
    bool readSettings(const QJsonObject& settings);

    DinConfig m_config;
    quint16 m_value = 0;
    quint32 m_counter = 0;
    // The device reports it, but this class never decodes it; only importValue changes it.
    quint32 m_frequency = 0;
    bool m_reset = false;
};
